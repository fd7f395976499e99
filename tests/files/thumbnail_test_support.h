// Thumbnail rasters for tests: 128 x 128, 8-bit RGBA, with kernel tables for scaling.
#pragma once

#include "files/thumbnail.h"
#include "raster/kernels.h"
#include "raster/raster.h"

inline const KernelTables& testKernels() {
  static KernelTables* tables = [] {
    static KernelTables built;
    buildKernelTables(built);
    return &built;
  }();
  return *tables;
}

struct TestThumbnail {
  Raster raster{};
  TestThumbnail() {
    raster.kernels = &testKernels();
    createRaster(raster, kThumbnailSide, kThumbnailSide, kFormatRgba8, kEdgeClamp, false);
    resetToBlankThumbnail(raster);
  }
  ~TestThumbnail() { releaseRaster(raster); }
  TestThumbnail(const TestThumbnail&) = delete;
  TestThumbnail& operator=(const TestThumbnail&) = delete;
};

// Colour that changes across the picture, so that misplaced pixels show.
inline void paintPattern(Raster& raster) {
  for (int32_t y = 0; y < levelHeight(raster, 0); ++y)
    for (int32_t x = 0; x < levelWidth(raster, 0); ++x)
      setPixel(x, y, raster, 0, uint8_t(2 * x), uint8_t(255 - 2 * y), uint8_t(60 + x / 2), 255);
}

// Mean absolute difference of red, green and blue over level 0.
inline double meanDifference(const Raster& a, const Raster& b) {
  double sum = 0;
  const int32_t w = levelWidth(a, 0), h = levelHeight(a, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const PixelValue p = getPixel(x, y, a, 0), q = getPixel(x, y, b, 0);
      sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
    }
  return sum / (3.0 * w * h);
}
