#include "raster/sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "raster/kernels.h"
#include "raster/pyramid.h"

namespace {

const KernelTables& kernels() {
  static KernelTables t = [] {
    KernelTables built;
    buildKernelTables(built);
    return built;
  }();
  return t;
}

void fillLevel(Raster& r, int32_t level, float v, float alpha) {
  for (int32_t y = 0; y < r.height[level]; ++y) {
    for (int32_t x = 0; x < r.width[level]; ++x) {
      setPixel(x, y, r, level, uint8_t(v), uint8_t(v), uint8_t(v), uint8_t(alpha));
      setPixel16(x, y, r, level, uint16_t(v), uint16_t(v), uint16_t(v), uint16_t(alpha));
      setPixelFloat(x, y, r, level, v, v, v, alpha);
    }
  }
}

Raster makeRaster(int32_t width, int32_t height, int32_t format, int32_t edgeMode) {
  Raster r{};
  r.kernels = &kernels();
  EXPECT_TRUE(createRaster(r, width, height, format, edgeMode, false));
  return r;
}

int32_t edgeCoordinate(int32_t i, int32_t size, bool wrap) {
  if (wrap) return ((i % size) + size) % size;
  return std::clamp(i, 0, size - 1);
}

// The sample computed as described, 25 pixels one by one, for positions inside the level.
PixelValue reference(const Raster& r, int32_t level, float x, float y) {
  float u = (x * r.widthF[level] - 0.5f) + 0.5f;
  float v = (y * r.heightF[level] - 0.5f) + 0.5f;
  int32_t ix = int32_t(u), iy = int32_t(v);
  int32_t fx = int32_t((u - float(ix)) * 128.0f), fy = int32_t((v - float(iy)) * 128.0f);
  bool wrapX = r.edgeMode == kEdgeWrap || r.edgeMode == kEdgeWrapHorizontal;
  bool wrapY = r.edgeMode == kEdgeWrap;
  int64_t whole[4] = {};
  float real[4] = {};
  for (int32_t dy = -2; dy <= 2; ++dy) {
    int64_t row[4] = {};
    float realRow[4] = {};
    for (int32_t dx = -2; dx <= 2; ++dx) {
      PixelValue p = getPixel(edgeCoordinate(ix + dx, r.width[level], wrapX),
                              edgeCoordinate(iy + dy, r.height[level], wrapY), r, level);
      const float c[4] = {p.r, p.g, p.b, p.a};
      for (int k = 0; k < 4; ++k) {
        if (r.format == kFormatRgba16)
          row[k] += int64_t(kernels().weights32768[fx][2 - dx]) * int64_t(c[k]);
        else
          row[k] += int64_t(kernels().weights2048[fx][2 - dx]) * int64_t(c[k]);
        realRow[k] += kernels().weights[fx][2 - dx] * c[k];
      }
    }
    for (int k = 0; k < 4; ++k) {
      if (r.format == kFormatRgba16)
        whole[k] += kernels().weights32768[fy][2 - dy] * (row[k] / 32768);
      else
        whole[k] += kernels().weights2048[fy][2 - dy] * row[k];
      real[k] += kernels().weights[fy][2 - dy] * realRow[k];
    }
  }
  float out[4];
  for (int k = 0; k < 4; ++k) {
    if (r.format == kFormatRgbaFloat) out[k] = real[k];
    if (r.format == kFormatRgba16) out[k] = float(whole[k] / 32768);
    if (r.format == kFormatRgba8) out[k] = float(whole[k] >> 22);
  }
  if (r.format == kFormatGrey8) {
    float g = float(whole[0] >> 22);
    return {g, g, g, 255};
  }
  return {out[0], out[1], out[2], out[3]};
}

void expectSame(const PixelValue& got, const PixelValue& want, const std::string& where) {
  ASSERT_EQ(got.r, want.r) << where;
  ASSERT_EQ(got.g, want.g) << where;
  ASSERT_EQ(got.b, want.b) << where;
  ASSERT_EQ(got.a, want.a) << where;
}

TEST(Sampling, EveryPathComputesTheDescribedSum) {
  std::mt19937 random(11);
  for (int32_t format : {kFormatRgba8, kFormatGrey8, kFormatRgba16, kFormatRgbaFloat}) {
    for (int32_t edgeMode : {kEdgeClamp, kEdgeWrap, kEdgeWrapHorizontal}) {
      Raster r = makeRaster(1100, 600, format, edgeMode);
      for (int32_t y = 0; y < r.height[0]; ++y) {
        for (int32_t x = 0; x < r.width[0]; ++x) {
          uint32_t bits = random();
          setPixel(x, y, r, 0, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), uint8_t(bits >> 24));
          // Alpha covers the whole 16-bit range, beyond the host's 32768.
          setPixel16(x, y, r, 0, uint16_t(bits & 0x7FFF), uint16_t(bits >> 17), 32768, uint16_t(bits >> 16));
          setPixelFloat(x, y, r, 0, float(bits & 0xFFFF) / 65536.0f, float(bits >> 16) / 65536.0f, 1.0f, 0.0f);
        }
      }
      buildPyramid(r);
      // Pixel columns around the level's edges and the tile seams, at several phases, and
      // random positions; the same for rows.
      std::vector<float> xs, ys;
      for (float pixel : {0.0f, 0.5f, 1.3f, 2.0f, 3.9f, 505.2f, 507.7f, 508.1f, 511.5f, 512.0f, 514.6f,
                          1095.4f, 1097.9f, 1098.5f, 1099.99f, 1100.0f}) {
        xs.push_back(pixel / 1100.0f);
        ys.push_back(std::min(pixel, 600.0f) / 600.0f);
      }
      for (int n = 0; n < 40; ++n) {
        xs.push_back(float(random() % 100000) / 100000.0f);
        ys.push_back(float(random() % 100000) / 100000.0f);
      }
      for (int32_t level : {0, 1, 4, r.lastLevel}) {
        for (float y : ys) {
          for (float x : xs) {
            expectSame(sampleLevel(r, level, x, y), reference(r, level, x, y),
                       "format " + std::to_string(format) + " edges " + std::to_string(edgeMode) +
                           " level " + std::to_string(level) + " at " + std::to_string(x) + "," +
                           std::to_string(y));
          }
        }
      }
      releaseRaster(r);
    }
  }
}

// Columns 5, 15, 25, ... in every row.
Raster columnRamp(int32_t edgeMode) {
  Raster r = makeRaster(8, 8, kFormatRgba8, edgeMode);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) setPixel(x, y, r, 0, uint8_t(10 * x + 5), 0, 0, 255);
  return r;
}

TEST(Sampling, AtTheLeftEdgeClampRepeatsColumnZeroAndWrapReadsTheLastColumns) {
  // x = 0 puts the nearest pixel at column 0 with phase 0; pixel 2 - k takes tap k.
  const int16_t* w = kernels().weights2048[0];
  auto expected = [&](const int32_t (&columns)[5]) {
    int32_t sum = 0;
    for (int t = 0; t < 5; ++t) sum += w[4 - t] * (10 * columns[t] + 5);
    return float((sum * 2048) >> 22);
  };
  const int32_t clamped[5] = {0, 0, 0, 1, 2};
  const int32_t wrapped[5] = {6, 7, 0, 1, 2};
  Raster clamp = columnRamp(kEdgeClamp);
  Raster wrap = columnRamp(kEdgeWrap);
  EXPECT_EQ(sampleLevel(clamp, 0, 0.0f, 0.5f).r, expected(clamped));
  EXPECT_EQ(sampleLevel(wrap, 0, 0.0f, 0.5f).r, expected(wrapped));
  EXPECT_NE(expected(clamped), expected(wrapped));
  EXPECT_EQ(sampleLevel(wrap, 0, 0.0f, 0.5f).a, 255.0f);
  releaseRaster(clamp);
  releaseRaster(wrap);
}

TEST(Sampling, FlatAreasStayFlatWhereverTheyAreRead) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  std::vector<float> positions = {nan, inf, -inf, 1e30f, -1e30f, -0.3f, -1e-7f, 1.0f, 1.7f, 5e6f, -5e6f};
  for (int p = 0; p < 128; ++p) positions.push_back((300.0f + p / 128.0f) / 520.0f);
  struct Case {
    int32_t format;
    float value;
  };
  for (const Case& c : {Case{kFormatRgba8, 200}, Case{kFormatGrey8, 77}, Case{kFormatRgba16, 12345}}) {
    for (int32_t edgeMode : {kEdgeClamp, kEdgeWrap, kEdgeWrapHorizontal}) {
      Raster r = makeRaster(520, 515, c.format, edgeMode);
      fillLevel(r, 0, c.value, c.format == kFormatGrey8 ? 255 : c.value);
      for (float x : positions) {
        for (float y : {positions[0], positions[2], positions[13], positions[40]}) {
          PixelValue v = sampleLevel(r, 0, x, y);
          ASSERT_EQ(v.r, c.value) << c.format << " " << edgeMode << " at " << x << "," << y;
          ASSERT_EQ(v.b, c.value) << c.format << " " << edgeMode << " at " << x << "," << y;
        }
      }
      releaseRaster(r);
    }
  }
}

TEST(Sampling, TrilinearBlendsTheClampedLevelWithTheNext) {
  Raster r = makeRaster(8, 8, kFormatRgba8, kEdgeClamp);  // levels 8, 4, 2, 1
  const float values[] = {100, 200, 50, 10};
  for (int32_t level = 0; level <= 3; ++level) fillLevel(r, level, values[level], 255);
  struct Case {
    int32_t level;
    float fraction, expected;
  };
  const Case cases[] = {
      {0, 0.0f, 100},  {0, 0.25f, 125}, {1, 0.5f, 125},  {2, 0.0f, 50},
      {2, 0.5f, 30},   {3, 0.0f, 50},   {9, 0.5f, 30},   {-4, 0.0f, 100},
      {-4, 0.5f, 150}, {0, -1.0f, 100}, {0, 7.0f, 200},  {0, std::nanf(""), 100},
  };
  for (const Case& c : cases) {
    PixelValue v = sampleTrilinear(r, c.level, c.fraction, 0.4f, 0.6f);
    EXPECT_EQ(v.r, c.expected) << "level " << c.level << " fraction " << c.fraction;
    EXPECT_EQ(v.a, 255.0f);
  }
  releaseRaster(r);

  Raster single = makeRaster(1, 1, kFormatRgba8, kEdgeClamp);
  setPixel(0, 0, single, 0, 40, 40, 40, 255);
  EXPECT_EQ(sampleTrilinear(single, 0, 0.5f, 0.5f, 0.5f).g, 40.0f);
  EXPECT_EQ(sampleTrilinear(single, 3, 0.9f, 0.1f, 0.9f).g, 40.0f);
  releaseRaster(single);
}

TEST(Sampling, OnlyFormatsWithASamplerAndKernelsGiveValues) {
  Raster grey = makeRaster(16, 16, kFormatGrey8, kEdgeClamp);
  fillLevel(grey, 0, 90, 255);
  PixelValue v = sampleTrilinear(grey, 0, 0.0f, 0.5f, 0.5f);
  EXPECT_EQ(v.r, 90.0f);
  EXPECT_EQ(v.g, 90.0f);
  EXPECT_EQ(v.b, 90.0f);
  EXPECT_EQ(v.a, 255.0f);
  grey.kernels = nullptr;
  EXPECT_EQ(sampleTrilinear(grey, 0, 0.0f, 0.5f, 0.5f).r, 0.0f);
  releaseRaster(grey);

  Raster grey16 = makeRaster(16, 16, kFormatGrey16, kEdgeClamp);
  fillLevel(grey16, 0, 900, 900);
  EXPECT_EQ(sampleTrilinear(grey16, 0, 0.0f, 0.5f, 0.5f).r, 0.0f);
  EXPECT_EQ(sampleLevel(grey16, 0, 0.5f, 0.5f).a, 0.0f);
  releaseRaster(grey16);

  Raster empty{};
  empty.kernels = &kernels();
  EXPECT_EQ(sampleTrilinear(empty, 0, 0.0f, 0.5f, 0.5f).r, 0.0f);
}

TEST(Sampling, ResampleReadsTheLevelOfTheScaleAndBuildsTheDestinationPyramid) {
  Raster source = makeRaster(64, 64, kFormatRgba8, kEdgeClamp);
  fillLevel(source, 0, 200, 0);
  buildPyramid(source);
  fillLevel(source, 2, 7, 0);  // a quarter of the size reads level 2 ...
  fillLevel(source, 1, 9, 0);  // ... or level 1 with a bias of 1

  struct Case {
    int32_t size;
    float bias;
    float expected;
  };
  for (const Case& c : {Case{16, 0.0f, 7}, Case{16, 1.0f, 9}, Case{64, 0.0f, 200}, Case{128, 0.0f, 200},
                        Case{16, 9.0f, 200}, Case{1, -30.0f, 0}}) {
    Raster destination = makeRaster(c.size, c.size, kFormatRgba8, kEdgeClamp);
    resample(source, destination, {0, 0, c.size, c.size}, {0, 0, 64, 64}, c.bias);
    PixelValue v = getPixel(c.size / 3, c.size - 1, destination, 0);
    // A single pixel asks for the last level, and trilinear sampling reads the one before.
    float expected = c.size == 1 ? getPixel(0, 0, source, source.lastLevel - 1).r : c.expected;
    EXPECT_EQ(v.r, expected) << "size " << c.size << " bias " << c.bias;
    EXPECT_EQ(v.a, 255.0f) << "size " << c.size;
    if (c.expected == 200 && c.size > 1) {
      EXPECT_EQ(getPixel(0, 0, destination, 1).g, 201.0f);
    }
    releaseRaster(destination);
  }

  // Between two levels the sample blends them.
  Raster between = makeRaster(24, 24, kFormatRgba8, kEdgeClamp);
  resample(source, between, {0, 0, 24, 24}, {0, 0, 64, 64}, 0.0f);
  float r = getPixel(10, 10, between, 0).r;
  EXPECT_GT(r, 7.0f);
  EXPECT_LT(r, 9.0f);
  releaseRaster(between);
  releaseRaster(source);
}

TEST(Sampling, ResampleConvertsDeepSourcesAndStaysInsideTheDestination) {
  Raster deep = makeRaster(40, 40, kFormatRgba16, kEdgeClamp);
  fillLevel(deep, 0, 16384, 32768);
  buildPyramid(deep);
  Raster destination = makeRaster(30, 30, kFormatRgba8, kEdgeClamp);
  // Half of the rectangle lies outside the destination.
  resample(deep, destination, {15, -15, 30, 30}, {0, 0, 40, 40}, 0.0f);
  EXPECT_EQ(getPixel(20, 5, destination, 0).r, 127.0f);  // 16384 * 255 / 32768, truncated
  EXPECT_EQ(getPixel(20, 5, destination, 0).a, 255.0f);
  EXPECT_EQ(getPixel(14, 5, destination, 0).a, 0.0f);
  EXPECT_EQ(getPixel(20, 15, destination, 0).a, 0.0f);
  releaseRaster(deep);

  Raster bright = makeRaster(40, 40, kFormatRgbaFloat, kEdgeClamp);
  fillLevel(bright, 0, 3.0f, 1.0f);
  buildPyramid(bright);
  resample(bright, destination, {0, 0, 30, 30}, {0, 0, 40, 40}, 0.0f);
  EXPECT_EQ(getPixel(29, 29, destination, 0).r, 255.0f);
  releaseRaster(bright);
  releaseRaster(destination);
}

}  // namespace
