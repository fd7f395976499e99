// The work record: the renderer's tables and scratch, shared between the render job and the
// engine. It is one of the working buffers, allocated at Start through the host's buffer
// service and released with the others at the end of the row loop.
#pragma once

#include <cstdint>

#include "raster/kernels.h"
#include "raster/raster.h"
#include "render/band_workers.h"
#include "render/glue.h"
#include "render/surface.h"

struct WorkRecord {
  // Throttles of the host's progress and abort procedures.
  int32_t progressTick;
  int32_t abortTick;
  int32_t lastProgressRow;

  // Built when rendering is prepared, read-only while rows are rendered. The source
  // raster's `kernels` points at these.
  NoiseTables noise;
  KernelTables kernels;
  uint8_t triangle[kTriangleSize];  // the glue stage's (buildTriangleTable)

  // Where a render into a raster goes (render mode 2); null otherwise.
  Raster* target;

  // The threads rendering the current render's rows ahead, if any; stopped before anything
  // they read changes or goes.
  BandWorkers* bandWorkers;
  // The row the scratch row was last left ready for by rendering on the host's thread.
  int32_t nextInlineRow;
};
