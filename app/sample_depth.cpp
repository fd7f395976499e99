#include "app/sample_depth.h"

#include <algorithm>
#include <cstring>

namespace {

// Every sample as a float of 0..1 (or beyond, for float images), then back.
float sampleAt(const HostImage& image, size_t index) {
  const uint8_t* p = image.samples.data() + index * image.bytesPerSample();
  switch (image.depth) {
    case 8: return *p / 255.0f;
    case 16: {
      uint16_t v;
      std::memcpy(&v, p, 2);
      return v / 32768.0f;
    }
    default: {
      float v;
      std::memcpy(&v, p, 4);
      return v;
    }
  }
}

void storeSample(HostImage& image, size_t index, float value) {
  uint8_t* p = image.samples.data() + index * image.bytesPerSample();
  const float clamped = std::clamp(value, 0.0f, 1.0f);
  switch (image.depth) {
    case 8: *p = static_cast<uint8_t>(clamped * 255.0f + 0.5f); break;
    case 16: {
      const uint16_t v = static_cast<uint16_t>(clamped * 32768.0f + 0.5f);
      std::memcpy(p, &v, 2);
      break;
    }
    default: std::memcpy(p, &value, 4); break;
  }
}

}  // namespace

HostImage convertDepth(const HostImage& image, int32_t depth) {
  if (image.depth == depth) return image;
  HostImage out = makeHostImage(image.width, image.height, depth, image.colourPlanes, image.transparency);
  const size_t count = static_cast<size_t>(image.width) * image.height * image.planes();
  // 8 to 16 bits is exact in integers; the float route would round the same way but slower.
  if (image.depth == 8 && depth == 16) {
    for (size_t i = 0; i < count; ++i) {
      const uint16_t v = static_cast<uint16_t>((image.samples[i] * 32768u + 127u) / 255u);
      std::memcpy(out.samples.data() + 2 * i, &v, 2);
    }
    return out;
  }
  if (image.depth == 16 && depth == 8) {
    for (size_t i = 0; i < count; ++i) {
      uint16_t v;
      std::memcpy(&v, image.samples.data() + 2 * i, 2);
      out.samples[i] = static_cast<uint8_t>((std::min<uint32_t>(v, 32768u) * 255u + 16384u) / 32768u);
    }
    return out;
  }
  for (size_t i = 0; i < count; ++i) storeSample(out, i, sampleAt(image, i));
  return out;
}

void samplesFromFile(HostImage& image) {
  if (image.depth != 16) return;
  auto* samples = reinterpret_cast<uint16_t*>(image.samples.data());
  for (size_t i = 0, n = image.samples.size() / 2; i < n; ++i) samples[i] = hostFrom16(samples[i]);
}
