#include "dialog/thumbnail_capture.h"

#include <algorithm>

#include "dialog/preview.h"
#include "files/thumbnail.h"
#include "raster/memory.h"

namespace {

uint8_t sampleAt(const uint8_t* row, int32_t index, int32_t depth) {
  if (depth == 16) return displaySample16(reinterpret_cast<const uint16_t*>(row)[index]);
  if (depth == 32) return displaySampleFloat(reinterpret_cast<const float*>(row)[index]);
  return row[index];
}

}  // namespace

bool captureThumbnail(const PreviewPixels& preview, Raster& thumbnail) {
  if (!rasterExists(thumbnail)) return false;
  resetToBlankThumbnail(thumbnail);
  const int32_t side = std::min(preview.width, preview.height);
  if (!preview.data || side < 1 || preview.planes < 1) return false;
  HostBuffer square;
  if (!allocateBuffer(thumbnail.memory, size_t(side) * size_t(side) * 4, square)) return false;
  auto* rgba = static_cast<uint8_t*>(square.data);
  const bool grey = preview.planes < 3;
  for (int32_t y = 0; y < side; ++y) {
    const auto* row = static_cast<const uint8_t*>(preview.data) + size_t(y) * size_t(preview.rowBytes);
    for (int32_t x = 0; x < side; ++x) {
      uint8_t* to = rgba + 4 * (size_t(y) * size_t(side) + size_t(x));
      const int32_t first = x * preview.planes;
      for (int32_t c = 0; c < 3; ++c) to[c] = sampleAt(row, grey ? first : first + c, preview.depth);
      to[3] = 255;
    }
  }
  const bool placed = placeThumbnail(rgba, side, side, thumbnail);
  freeBuffer(thumbnail.memory, square);
  return placed;
}

bool capturePreviewThumbnail(PluginState& state) {
  const FilterRecord& r = *state.filterRecord;
  // Without a preview on screen there is nothing to take: the blank gradient is stored.
  const bool shown = state.parameters->hostPreviewUsable && r.outData;
  const PreviewPixels preview{shown ? r.outData : nullptr, r.outRowBytes, previewWidth(state), previewHeight(state),
                              r.outHiPlane - r.outLoPlane + 1, previewSampleDepth(r)};
  return captureThumbnail(preview, state.thumbnail);
}
