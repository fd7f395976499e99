#include "raster/pyramid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "raster/reduction_kernel.h"

namespace {

void fill(Raster& r, int32_t level, const PixelValue& v) {
  for (int32_t y = 0; y < r.height[level]; ++y) {
    for (int32_t x = 0; x < r.width[level]; ++x) {
      setPixel(x, y, r, level, uint8_t(v.r), uint8_t(v.g), uint8_t(v.b), uint8_t(v.a));
      setPixel16(x, y, r, level, uint16_t(v.r), uint16_t(v.g), uint16_t(v.b), uint16_t(v.a));
      setPixelFloat(x, y, r, level, v.r, v.g, v.b, v.a);
    }
  }
}

TEST(Pyramid, FlatAreasBrightenByTheScaleAndSaturate) {
  struct Case {
    int32_t format;
    float value;
    std::vector<float> levels;  // the value of levels 0, 1, 2, ...
  };
  const Case cases[] = {
      {kFormatRgba8, 200, {200, 201, 202, 203}},
      {kFormatGrey8, 200, {200, 201, 202}},
      {kFormatRgba16, 32768, {32768, 32768}},
      {kFormatRgba16, 10000, {10000, 10061, 10122}},
      {kFormatRgbaFloat, 1.0f, {1, 1}},
  };
  for (const Case& c : cases) {
    Raster r{};
    ASSERT_TRUE(createRaster(r, 700, 530, c.format, kEdgeClamp, false));
    fill(r, 0, {c.value, c.value, c.value, c.value});
    buildPyramid(r);
    for (size_t level = 0; level < c.levels.size(); ++level) {
      for (auto [x, y] : {std::pair{0, 0}, std::pair{r.largestX[level], r.largestY[level]}}) {
        PixelValue v = getPixel(x, y, r, int32_t(level));
        EXPECT_EQ(v.r, c.levels[level]) << "format " << c.format << " level " << level;
        if (c.format != kFormatGrey8) {
          EXPECT_EQ(v.a, c.levels[level]) << "format " << c.format;
        }
      }
    }
    releaseRaster(r);
  }
}

TEST(Pyramid, NearWhiteClimbsToWhiteAndStays) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 4000, 3, kFormatRgba8, kEdgeClamp, false));
  fill(r, 0, {250, 250, 250, 255});
  buildPyramid(r);
  ASSERT_EQ(r.lastLevel, 12);
  for (int32_t level = 0; level <= r.lastLevel; ++level) {
    EXPECT_EQ(getPixel(0, 1, r, level).r, float(std::min(250 + level, 255))) << level;
    EXPECT_EQ(getPixel(0, 1, r, level).a, 255.0f) << level;
  }
  releaseRaster(r);
}

// The pyramid written out as the kernel table reads: 36 products per component, each
// coordinate clamped into the level.
PixelValue reference(const Raster& r, int32_t level, int32_t j, int32_t i) {
  double sum[4] = {};
  for (int32_t dy = 0; dy < kReductionTaps; ++dy) {
    for (int32_t dx = 0; dx < kReductionTaps; ++dx) {
      PixelValue p = getPixel(2 * j - 2 + dx, 2 * i - 2 + dy, r, level);
      double w = kReductionKernel[dy][dx];
      sum[0] += w * p.r, sum[1] += w * p.g, sum[2] += w * p.b, sum[3] += w * p.a;
    }
  }
  float out[4];
  for (int c = 0; c < 4; ++c) {
    double v = sum[c] * kReductionScale;
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
    for (int32_t y = 0; y < r.height[0]; ++y) {
      for (int32_t x = 0; x < r.width[0]; ++x) {
        uint32_t bits = random();
        setPixel(x, y, r, 0, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24));
        setPixel16(x, y, r, 0, uint16_t(bits & 0x7FFF), uint16_t(bits >> 17), 32768,
                   uint16_t((bits >> 3) & 0x7FFF));
        // Multiples of 2^-16 keep the reference's sums exact.
        setPixelFloat(x, y, r, 0, float(bits & 0xFFFF) / 65536.0f, float(bits >> 16) / 65536.0f,
                      1.0f, 0.0f);
      }
    }
    buildPyramid(r);
    for (int32_t level = 0; level < r.lastLevel; ++level) {
      int32_t w = r.width[level + 1], h = r.height[level + 1];
      // Edges, tile seams of both levels, and a scatter of the rest.
      std::vector<int32_t> xs = {0, 1, 2, w - 2, w - 1, 255, 256, 257, 511, 512, 513};
      std::vector<int32_t> ys = {0, 1, h - 2, h - 1, 255, 256, 257, 511, 512, 513};
      for (int n = 0; n < 20; ++n) xs.push_back(int32_t(random() % uint32_t(w)));
      for (int n = 0; n < 20; ++n) ys.push_back(int32_t(random() % uint32_t(h)));
      for (int32_t y : ys) {
        for (int32_t x : xs) {
          if (x < 0 || y < 0 || x >= w || y >= h) continue;
          PixelValue got = getPixel(x, y, r, level + 1);
          PixelValue want = reference(r, level, x, y);
          ASSERT_EQ(got.r, want.r) << "format " << format << " level " << level + 1 << " at " << x << "," << y;
          ASSERT_EQ(got.g, want.g) << "format " << format << " level " << level + 1 << " at " << x << "," << y;
          ASSERT_EQ(got.b, want.b) << "format " << format << " level " << level + 1 << " at " << x << "," << y;
          ASSERT_EQ(got.a, want.a) << "format " << format << " level " << level + 1 << " at " << x << "," << y;
        }
      }
    }
    releaseRaster(r);
  }
}

TEST(Pyramid, RasterWithoutPyramidKeepsItsLevelsUntouched) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 64, 64, kFormatRgba8, kEdgeNoPyramid, false));
  fill(r, 0, {200, 200, 200, 255});
  buildPyramid(r);
  EXPECT_EQ(getPixel(3, 3, r, 1).r, 0.0f);
  releaseRaster(r);
}

}  // namespace
