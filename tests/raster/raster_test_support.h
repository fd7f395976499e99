// Filling rasters of any format in tests.
#pragma once

#include <random>

#include "raster/raster.h"

// Sets every pixel of a level with whichever setter the format takes.
inline void fillLevel(Raster& r, int32_t level, float value, float alpha) {
  for (int32_t y = 0; y < r.height[level]; ++y) {
    for (int32_t x = 0; x < r.width[level]; ++x) {
      setPixel(x, y, r, level, uint8_t(value), uint8_t(value), uint8_t(value), uint8_t(alpha));
      setPixel16(x, y, r, level, uint16_t(value), uint16_t(value), uint16_t(value),
                 uint16_t(alpha));
      setPixelFloat(x, y, r, level, value, value, value, alpha);
    }
  }
}

// Noise in every channel. 16-bit alpha covers the whole 16-bit range, beyond the host's
// 32768; floats are multiples of 2^-16, which keeps sums of a few products exact.
inline void fillNoise(Raster& r, uint32_t seed) {
  std::mt19937 random(seed);
  for (int32_t y = 0; y < r.height[0]; ++y) {
    for (int32_t x = 0; x < r.width[0]; ++x) {
      uint32_t bits = random();
      setPixel(x, y, r, 0, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16),
               uint8_t(bits >> 24));
      setPixel16(x, y, r, 0, uint16_t(bits & 0x7FFF), uint16_t(bits >> 17), 32768,
                 uint16_t(bits >> 16));
      setPixelFloat(x, y, r, 0, float(bits & 0xFFFF) / 65536.0f, float(bits >> 16) / 65536.0f, 1.0f,
                    0.0f);
    }
  }
}
