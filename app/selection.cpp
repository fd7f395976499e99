#include "app/selection.h"

#include <cstring>
#include <type_traits>

#include "app/sample_depth.h"

std::vector<uint8_t> greyAsSelection(const HostImage& image) {
  const HostImage grey = convertDepth(image, 8);
  const size_t pixels = size_t(grey.width) * grey.height;
  std::vector<uint8_t> selection(pixels);
  for (size_t i = 0; i < pixels; ++i) selection[i] = grey.samples[i * grey.planes()];
  return selection;
}

namespace {

template <typename Sample>
Sample blend(Sample original, Sample result, uint32_t m) {
  if constexpr (std::is_floating_point_v<Sample>) {
    return original + (result - original) * (float(m) / 255.0f);
  } else {
    return Sample((uint32_t(original) * (255 - m) + uint32_t(result) * m + 127) / 255);
  }
}

template <typename Sample>
void blendAll(const HostImage& original, const std::vector<uint8_t>& selection, HostImage& result) {
  const size_t planes = size_t(result.planes());
  for (size_t pixel = 0; pixel < selection.size(); ++pixel) {
    const uint32_t m = selection[pixel];
    if (m == 255) continue;
    for (size_t p = 0; p < planes; ++p) {
      const size_t at = (pixel * planes + p) * sizeof(Sample);
      Sample o, r;
      std::memcpy(&o, original.samples.data() + at, sizeof o);
      std::memcpy(&r, result.samples.data() + at, sizeof r);
      r = blend(o, r, m);
      std::memcpy(result.samples.data() + at, &r, sizeof r);
    }
  }
}

}  // namespace

void applySelection(const HostImage& original, const std::vector<uint8_t>& selection, HostImage& result) {
  switch (result.depth) {
    case 8: blendAll<uint8_t>(original, selection, result); break;
    case 16: blendAll<uint16_t>(original, selection, result); break;
    default: blendAll<float>(original, selection, result); break;
  }
}
