#include "host/render_job.h"

#include <algorithm>
#include <cstring>

#include "render/work_record.h"

void sizeJob(PluginState& state, const Rect& rect, int32_t scale) {
  state.parameters->previewScale = scale;
  state.regionWidth = rect.right - rect.left;
  state.regionHeight = rect.bottom - rect.top;
  state.regionFirstColumn = 0;
  state.regionFirstRow = 0;
  state.regionLastColumn = state.regionWidth - 1;
  state.regionLastRow = state.regionHeight - 1;
}

void computeRowLengths(PluginState& state) {
  const int32_t w = state.regionWidth, h = state.regionHeight;
  state.lineA = w + 3;
  state.lineB = 2 * w + 6;
  state.lineC = h + 3;
  state.lineD = w + 2178;
  state.rowUnits = std::max(2 * (std::max(w, h) + 4), 3 * w + 2184);
}

void announceBufferNeeds(PluginState& state) {
  for (int32_t& bytes : state.smallBufferBytes) bytes = 16;
  state.rowBufferBytes = 112 * state.rowUnits;
  state.filterRecord->bufferSpace = 112 * state.rowUnits + 1112;
}

void setEmptyRect(Rect& rect) { rect = {0, 0, 0, 0}; }

static void emptyHostRects(FilterRecord& record) {
  setEmptyRect(record.inRect);
  setEmptyRect(record.outRect);
  setEmptyRect(record.maskRect);
}

bool allocateWorkingMemory(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  const BufferProcs* procs = record.bufferProcs;
  state.rowBuffer = {};
  for (HostBuffer& b : state.smallBuffers) b = {};
  state.workBuffer = {};
  state.work = nullptr;

  // The order is the host's to see: row buffer, the 32-byte buffer, four small ones, the
  // work record, two more small ones.
  state.smallBufferBytes[0] = 32;
  bool ok = allocateBuffer(procs, state.rowBufferBytes, state.rowBuffer);
  for (int i = 0; i < 5 && ok; ++i) ok = allocateBuffer(procs, state.smallBufferBytes[i], state.smallBuffers[i]);
  if (ok) ok = allocateBuffer(procs, sizeof(WorkRecord), state.workBuffer);
  for (int i = 5; i < kSmallBufferCount && ok; ++i)
    ok = allocateBuffer(procs, state.smallBufferBytes[i], state.smallBuffers[i]);
  if (!ok) {
    releaseWorkingMemory(state);
    *state.result = 3;
    emptyHostRects(record);
    return false;
  }
  // Host buffers need not be zero-filled; the work record starts from zero.
  state.work = static_cast<WorkRecord*>(state.workBuffer.data);
  std::memset(state.work, 0, sizeof(WorkRecord));
  return true;
}

void releaseWorkingMemory(PluginState& state) {
  const BufferProcs* procs = state.filterRecord->bufferProcs;
  if (state.rowBuffer.data) freeBuffer(procs, state.rowBuffer);
  for (HostBuffer& b : state.smallBuffers)
    if (b.data) freeBuffer(procs, b);
  if (state.workBuffer.data) freeBuffer(procs, state.workBuffer);
  state.work = nullptr;
}

void finishRun(PluginState& state) {
  releaseWorkingMemory(state);
  emptyHostRects(*state.filterRecord);
}
