// The output's rows handed to a writer on another thread while the module still renders, so
// that a file is encoded as its rows come instead of after the last one. A row is finished
// once the module has written it as a whole single row with every row above it finished
// before: the order of a final render. A module that writes a finished row again spoils the
// stream: what the writer took may be stale, so the file must be written once more after the
// run.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "sdk/host_interface.h"

struct HostImage;

// Where a writer takes the picture's rows from while they are still being made: row y's
// samples, or null when they will not come (the writer then stops).
using RowSource = std::function<const uint8_t*(int32_t row)>;

struct FinishedRows {
  std::mutex lock;
  std::condition_variable changed;
  int32_t count = 0;  // rows 0..count-1 are finished
  bool spoiled = false;
  bool over = false;          // the run has ended: no row comes any more
  std::vector<uint8_t> copy;  // the row last handed to the writer
};

// Row `row` of `image` once it is finished, as a copy that stays the writer's until its next
// call; null when the run ends before, or the stream is spoiled.
const uint8_t* takeFinishedRow(FinishedRows& rows, const HostImage& image, int32_t row);

// The host's side: before the module's output for `written` goes into the image (a row
// written again spoils the stream first, so that the writer never reads a row while it
// changes) ...
void beforeRowsWritten(FinishedRows& rows, const Rect& written);
// ... and after it, with whether the whole width of every plane was written.
void afterRowsWritten(FinishedRows& rows, const Rect& written, bool wholeRows);

// The run is over, for better or worse: a writer still waiting gives up.
void endFinishedRows(FinishedRows& rows);
