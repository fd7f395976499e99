// The render job: turns a filter run into host image requests. It sizes the job, holds the
// working memory, reads the source image into the source raster and walks the filter
// rectangle one output row at a time.
#pragma once

#include "host/plugin_state.h"

void sizeJob(PluginState& state, const Rect& rect, int32_t scale);
void computeRowLengths(PluginState& state);
void announceBufferNeeds(PluginState& state);

// Returns false (with *result = 3 and the host's rectangles empty) when any buffer is missing.
bool allocateWorkingMemory(PluginState& state);
void releaseWorkingMemory(PluginState& state);

// The end of a run, for whatever reason: working memory released, the memory-dot map
// saved and the host's rectangles emptied, which ends the host's loop.
void finishRun(PluginState& state);

void setEmptyRect(Rect& rect);
