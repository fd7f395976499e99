#include "dialog/preview.h"

#include <cmath>

#include "host/render_job.h"
#include "render/glue_modes.h"
#include "render/work_record.h"

bool previewZoomSupported(const FilterRecord& r) {
  return r.advanceState && r.displayPixels && r.samplingSupport != hostDoesNotSupportSampling;
}

static int32_t imageWidthOf(const PluginState& state) {
  return state.savedFilterRect.right - state.savedFilterRect.left;
}
static int32_t imageHeightOf(const PluginState& state) {
  return state.savedFilterRect.bottom - state.savedFilterRect.top;
}

int32_t previewWidth(const PluginState& state) {
  const Rect& o = state.filterRecord->outRect;
  return o.right - o.left;
}
int32_t previewHeight(const PluginState& state) {
  const Rect& o = state.filterRecord->outRect;
  return o.bottom - o.top;
}

static void previewOff(PluginState& state) {
  state.parameters->hostPreviewUsable = false;
  *state.result = noErr;
}

void startPreview(PluginState& state) {
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  if (!block.hostPreviewUsable) return;
  Rect reduced = {0, 0, kPreviewAreaHeight, kPreviewAreaWidth};
  block.previewScale = fitScale(state, r.filterRect, reduced);
  block.panOffset = {0, 0};
  block.previewOriginX = block.previewOriginY = 0;
  // The glue stage's table serves every preview; the final render makes its own.
  buildTriangleTable(state.work->triangle);
  if (block.sourceLoaded) {
    requestScaledRegion(state, block.previewScale);
  } else {
    acquireSource(state);  // ends by asking for the view at previewScale
  }
  if (*state.result != noErr) {
    previewOff(state);
    return;
  }
  renderPreview(state, true);
}

bool fetchPreview(PluginState& state) {
  ParameterBlock& block = *state.parameters;
  if (!block.hostPreviewUsable) return false;
  block.previewOriginX = block.panOffset.x;
  block.previewOriginY = block.panOffset.y;
  requestScaledRegion(state, block.previewScale);
  if (*state.result == noErr) return true;
  previewOff(state);
  return false;
}

void renderPreview(PluginState& state, bool prepare) {
  const FilterRecord& r = *state.filterRecord;
  if (!state.parameters->hostPreviewUsable || !r.advanceState || !r.displayPixels) return;
  renderScaledRegion(state, prepare);
}

bool zoomPreview(PluginState& state, int32_t command) {
  ParameterBlock& block = *state.parameters;
  if (!block.hostPreviewUsable || !previewZoomSupported(*state.filterRecord)) return false;
  const int32_t old = block.previewScale;
  int32_t scale = old;
  if (command == 33 && scale < state.fitScale) scale += 1;
  if (command == 32 && scale > 1) scale -= 1;
  if (command == 34) scale = 1;
  if (scale == old) return false;
  block.panOffset = scale == state.fitScale
                        ? PixelPoint{0, 0}
                        : zoomedPan(block.panOffset, imageWidthOf(state), imageHeightOf(state), old, scale);
  block.previewScale = scale;
  block.zoomChanged = true;
  return fetchPreview(state);
}

uint8_t displaySample16(uint16_t value) { return value >= 32768 ? 255 : static_cast<uint8_t>(value / 128); }

uint8_t displaySampleFloat(float value) {
  const float scaled = std::trunc(value * 255.0f);
  if (!(scaled > 0.0f)) return 0;  // also not-a-number
  return scaled >= 255.0f ? 255 : static_cast<uint8_t>(scaled);
}

int32_t previewSampleDepth(const FilterRecord& r) {
  if (r.depth == 32 || r.imageMode == plugInModeRGB96 || r.imageMode == plugInModeGray32) return 32;
  return r.depth == 16 ? 16 : 8;
}

OSErr displayPreview(PluginState& state, PixelPoint corner, void* context) {
  const FilterRecord& r = *state.filterRecord;
  if (!r.displayPixels || !r.outData) return noErr;
  const int32_t width = previewWidth(state), height = previewHeight(state);
  const int32_t planes = r.outHiPlane - r.outLoPlane + 1;
  PSPixelMap map{};
  map.version = 1;
  map.bounds = {r.outRect.top, r.outRect.left, r.outRect.bottom, r.outRect.right};
  map.imageMode = r.imageMode;
  map.rowBytes = r.outRowBytes;
  map.colBytes = planes;
  map.planeBytes = 1;
  map.baseAddr = r.outData;

  const int32_t depth = previewSampleDepth(r);
  const bool deep = depth != 8;
  HostBuffer reduced;
  if (deep) {
    const bool isFloat = depth == 32;
    const int32_t bytes = isFloat ? 4 : 2;
    map.rowBytes = r.outRowBytes / bytes;
    const bool grey = r.planes < 3;
    map.imageMode = grey ? plugInModeGrayScale : plugInModeRGBColor;
    if (!allocateBuffer(r.bufferProcs, static_cast<size_t>(map.rowBytes) * height, reduced)) return memFullErr;
    for (int32_t y = 0; y < height; ++y) {
      const auto* row = static_cast<const uint8_t*>(r.outData) + static_cast<size_t>(y) * r.outRowBytes;
      auto* out = static_cast<uint8_t*>(reduced.data) + static_cast<size_t>(y) * map.rowBytes;
      for (int32_t i = 0; i < width * planes; ++i) {
        if (isFloat)
          out[i] = displaySampleFloat(reinterpret_cast<const float*>(row)[i]);
        else
          out[i] = displaySample16(reinterpret_cast<const uint16_t*>(row)[i]);
      }
    }
    map.baseAddr = reduced.data;
  }
  const OSErr error = r.displayPixels(&map, &map.bounds, corner.y, corner.x, context);
  if (deep) freeBuffer(r.bufferProcs, reduced);
  return error;
}
