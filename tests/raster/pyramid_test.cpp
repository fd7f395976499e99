#include "raster/pyramid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/reduction_kernel.h"
#include "raster_test_support.h"

namespace {

TEST(Pyramid, FlatAreasBrightenByTheScaleAndSaturate) {
  struct Case {
    int32_t format;
    float value;
    std::vector<float> levels;  // levels 0, 1, 2, ...
  };
  const Case cases[] = {{kFormatRgba8, 200, {200, 201, 202, 203}},
                        {kFormatGrey8, 200, {200, 201, 202}},
                        {kFormatRgba8, 250, {250, 251, 252, 253, 254, 255, 255, 255}},
                        {kFormatRgba16, 10000, {10000, 10061, 10122}},
                        {kFormatRgba16, 32768, {32768, 32768}},
                        {kFormatRgbaFloat, 1.0f, {1, 1}}};
  for (const Case& c : cases) {
    Raster r{};
    ASSERT_TRUE(createRaster(r, 700, 530, c.format, kEdgeClamp, false));
    fillLevel(r, 0, c.value, c.format == kFormatGrey8 ? 255 : c.value);
    buildPyramid(r);
    for (int32_t level = 0; level < int32_t(c.levels.size()); ++level) {
      for (int32_t corner : {0, 1}) {
        PixelValue v = getPixel(corner * r.largestX[level], corner * r.largestY[level], r, level);
        EXPECT_EQ(v.r, c.levels[level]) << c.format << " " << c.value << " level " << level;
        EXPECT_EQ(v.a, c.format == kFormatGrey8 ? 255 : c.levels[level])
            << c.format << " " << level;
      }
    }
    releaseRaster(r);
  }
}

// The pyramid as the kernel table reads: 36 products per component, each coordinate
// clamped into the level.
PixelValue reference(const Raster& r, int32_t level, int32_t j, int32_t i) {
  double sum[4] = {};
  for (int32_t dy = 0; dy < kReductionTaps; ++dy) {
    for (int32_t dx = 0; dx < kReductionTaps; ++dx) {
      const PixelValue p = getPixel(2 * j - 2 + dx, 2 * i - 2 + dy, r, level);
      const double w = kReductionKernel[dy][dx];
      sum[0] += w * p.r, sum[1] += w * p.g, sum[2] += w * p.b, sum[3] += w * p.a;
    }
  }
  float out[4];
  for (int c = 0; c < 4; ++c) {
    const double v = sum[c] * kReductionScale;
    if (r.format == kFormatRgba8) out[c] = float(std::min(255.0, std::trunc(v)));
    if (r.format == kFormatRgba16) out[c] = float(std::clamp(std::trunc(v), 0.0, 32768.0));
    if (r.format == kFormatRgbaFloat) out[c] = float(std::min(v, 1.0));
  }
  return {out[0], out[1], out[2], out[3]};
}

TEST(Pyramid, EveryLevelIsTheKernelOfTheOneAbove) {
  std::mt19937 random(7);
  for (int32_t format : {kFormatRgba8, kFormatRgba16, kFormatRgbaFloat}) {
    Raster r{};
    ASSERT_TRUE(createRaster(r, 1100, 1029, format, kEdgeClamp, false));
    fillNoise(r, 3);
    buildPyramid(r);
    for (int32_t level = 1; level <= r.lastLevel; ++level) {
      const int32_t w = r.width[level], h = r.height[level];
      // Edges, tile seams of both levels, and a scatter of the rest.
      std::vector<int32_t> xs = {0, 1, w - 2, w - 1, 255, 256, 257, 511, 512, 513};
      std::vector<int32_t> ys = xs;
      for (int n = 0; n < 20; ++n) xs.push_back(int32_t(random() % uint32_t(w)));
      for (int n = 0; n < 20; ++n) ys.push_back(int32_t(random() % uint32_t(h)));
      for (int32_t y : ys) {
        for (int32_t x : xs) {
          if (x < 0 || y < 0 || x >= w || y >= h) continue;
          const PixelValue got = getPixel(x, y, r, level), want = reference(r, level - 1, x, y);
          ASSERT_EQ((std::vector<float>{got.r, got.g, got.b, got.a}),
                    (std::vector<float>{want.r, want.g, want.b, want.a}))
              << "format " << format << " level " << level << " at " << x << "," << y;
        }
      }
    }
    releaseRaster(r);
  }
}

// With AVX2, 8-bit levels are made two pixels at a time; every pixel of every level must be
// what the one-pixel pass makes, for odd widths (a pixel left over), tile seams, and bright
// areas that saturate at 255.
TEST(Pyramid, EightComponentsAtATimeGiveTheSamePixels) {
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
  const bool wideBefore = gWidePyramid;
  for (const auto& [width, height] : {std::pair{1100, 1029}, std::pair{5, 3}, std::pair{1027, 9}}) {
    Raster levels[2] = {};
    for (int wide = 0; wide < 2; ++wide) {
      Raster& r = levels[wide];
      ASSERT_TRUE(createRaster(r, width, height, kFormatRgba8, kEdgeClamp, false));
      fillNoise(r, 11);
      for (int32_t y = 0; y < height / 3; ++y)
        for (int32_t x = 0; x < width / 2; ++x) setPixel(x, y, r, 0, 255, 250, 255, 255);
      gWidePyramid = wide == 1;
      buildPyramid(r);
    }
    for (int32_t level = 1; level <= levels[0].lastLevel; ++level)
      for (int32_t y = 0; y < levels[0].height[level]; ++y)
        for (int32_t x = 0; x < levels[0].width[level]; ++x) {
          const PixelValue narrow = getPixel(x, y, levels[0], level);
          const PixelValue wide = getPixel(x, y, levels[1], level);
          ASSERT_EQ((std::vector<float>{wide.r, wide.g, wide.b, wide.a}),
                    (std::vector<float>{narrow.r, narrow.g, narrow.b, narrow.a}))
              << width << " x " << height << " level " << level << " at " << x << "," << y;
        }
    releaseRaster(levels[0]);
    releaseRaster(levels[1]);
  }
  gWidePyramid = wideBefore;
}

TEST(Pyramid, RasterWithoutPyramidKeepsItsLevelsUntouched) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 64, 64, kFormatRgba8, kEdgeNoPyramid, false));
  fillLevel(r, 0, 200, 255);
  buildPyramid(r);
  EXPECT_EQ(getPixel(3, 3, r, 1).r, 0.0f);
  releaseRaster(r);
}

}  // namespace
