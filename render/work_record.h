// The work record: the renderer's tables and scratch, shared between the render job and the
// engine. It is one of the working buffers, allocated at Start through the host's buffer
// service and released with the others at the end of the row loop.
#pragma once

#include <cstdint>

struct WorkRecord {
  // Throttles of the host's progress and abort procedures.
  int32_t progressTick;
  int32_t abortTick;
  int32_t lastProgressRow;
};
