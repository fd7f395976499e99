// The render job: turns a filter run into host image requests. It sizes the job, holds the
// working memory, reads the source image into the source raster and walks the filter
// rectangle one output row at a time.
#pragma once

#include <algorithm>

#include "host/plugin_state.h"

// The dialog's preview area, in pixels.
constexpr int32_t kPreviewAreaWidth = 499;
constexpr int32_t kPreviewAreaHeight = 384;

void sizeJob(PluginState& state, const Rect& rect, int32_t scale);
void computeRowLengths(PluginState& state);
void announceBufferNeeds(PluginState& state);

// Returns false (with *result = 3 and the host's rectangles empty) when any buffer is missing.
bool allocateWorkingMemory(PluginState& state);
void releaseWorkingMemory(PluginState& state);

// Reads the whole filter rectangle into the source raster, tile by tile; sets *result to
// 999 when the raster cannot be made, or to the host's error.
void acquireSource(PluginState& state);
void prepareRender(PluginState& state);
void beginFinalRender(PluginState& state);
void continueRender(PluginState& state);

// The integer reduction at which a width x height image fits an area (each side at least 1).
inline int32_t reductionToFit(int32_t width, int32_t height, int32_t areaWidth, int32_t areaHeight) {
  auto ceilDiv = [](int32_t a, int32_t b) { return (a + b - 1) / b; };
  const int32_t across = ceilDiv(width, std::min(width, areaWidth)), down = ceilDiv(height, std::min(height, areaHeight));
  return std::max(across, down);
}

// Asks the host for the visible part of the image reduced by `scale` (the dialog preview).
void requestScaledRegion(PluginState& state, int32_t scale);
// Renders every row of the region the host delivered last into its output buffer (the
// dialog preview); `prepare` builds the tables from the current settings first, which a pan
// of the view does without.
void renderScaledRegion(PluginState& state, bool prepare);
// The reduction at which the filter rectangle fits `preview`, which becomes the reduced
// filter rectangle.
int32_t fitScale(PluginState& state, const Rect& filterRect, Rect& preview);

// The four-channel raster format that holds the host's samples of this depth unchanged.
int32_t sourceFormat(int32_t depth);

// Renders the whole image with the current settings into `target` (same aspect as the
// filter rectangle, any size); `cancelled` is set when the user stops it.
void renderToRaster(PluginState& state, Raster* target, bool& cancelled);

// The end of a run, for whatever reason: working memory released, the memory-dot map
// saved and the host's rectangles emptied, which ends the host's loop.
void finishRun(PluginState& state);

void setEmptyRect(Rect& rect);
