// Source rasters for the renderer's tests, held in system memory.
#pragma once

#include <cstdint>
#include <functional>

#include "raster/kernels.h"
#include "raster/raster.h"

inline const KernelTables& sharedKernels() {
  static const KernelTables* tables = [] {
    auto* built = new KernelTables;
    buildKernelTables(*built);
    return built;
  }();
  return *tables;
}

struct TestRaster {
  Raster raster{};

  TestRaster(int32_t width, int32_t height, int32_t format) {
    raster.kernels = &sharedKernels();
    createRaster(raster, width, height, format, kEdgeClamp, false);
  }
  ~TestRaster() { releaseRaster(raster); }
  TestRaster(const TestRaster&) = delete;
  TestRaster& operator=(const TestRaster&) = delete;

  // Writes every pixel of a level on the raster's own scale.
  void fill(int32_t level, const std::function<PixelValue(int32_t x, int32_t y)>& value) {
    for (int32_t y = 0; y < raster.height[level]; ++y)
      for (int32_t x = 0; x < raster.width[level]; ++x) {
        const PixelValue p = value(x, y);
        if (raster.format == kFormatRgba8)
          setPixel(x, y, raster, level, uint8_t(p.r), uint8_t(p.g), uint8_t(p.b), uint8_t(p.a));
        else if (raster.format == kFormatRgba16)
          setPixel16(x, y, raster, level, uint16_t(p.r), uint16_t(p.g), uint16_t(p.b),
                     uint16_t(p.a));
        else
          setPixelFloat(x, y, raster, level, p.r, p.g, p.b, p.a);
      }
  }
  void flat(int32_t level, PixelValue p) {
    fill(level, [p](int32_t, int32_t) { return p; });
  }
  // Each level flat with its own grey, `step` times its number: a sample's value tells which
  // levels were read and how they were blended.
  void greyPerLevel(float step) {
    for (int32_t level = 0; level <= raster.lastLevel; ++level)
      flat(level, {step * level, step * level, step * level, 255});
  }
};
