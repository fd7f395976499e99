#include "raster/sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "raster/kernels.h"
#include "raster/pyramid.h"
#include "raster_test_support.h"

namespace {

const KernelTables& kernels() {
  static KernelTables* tables = [] {
    static KernelTables built;
    buildKernelTables(built);
    return &built;
  }();
  return *tables;
}

Raster makeRaster(int32_t width, int32_t height, int32_t format, int32_t edgeMode) {
  Raster r{};
  r.kernels = &kernels();
  EXPECT_TRUE(createRaster(r, width, height, format, edgeMode, false));
  return r;
}

std::vector<float> channels(const PixelValue& v) { return {v.r, v.g, v.b, v.a}; }

// The sample computed the plain way, 25 pixels one by one, for positions inside the level.
PixelValue reference(const Raster& r, int32_t level, float x, float y) {
  const float u = (x * r.widthF[level] - 0.5f) + 0.5f, v = (y * r.heightF[level] - 0.5f) + 0.5f;
  const int32_t ix = int32_t(u), iy = int32_t(v);
  const int32_t fx = int32_t((u - float(ix)) * 128.0f), fy = int32_t((v - float(iy)) * 128.0f);
  const bool wrapX = r.edgeMode != kEdgeClamp, wrapY = r.edgeMode == kEdgeWrap;
  auto edge = [](int32_t i, int32_t size, bool wrap) {
    return wrap ? ((i % size) + size) % size : std::clamp(i, 0, size - 1);
  };
  const bool deep = r.format == kFormatRgba16;
  int64_t whole[4] = {};
  float real[4] = {};
  for (int32_t dy = -2; dy <= 2; ++dy) {
    int64_t row[4] = {};
    float realRow[4] = {};
    for (int32_t dx = -2; dx <= 2; ++dx) {
      const PixelValue p = getPixel(edge(ix + dx, r.width[level], wrapX),
                                    edge(iy + dy, r.height[level], wrapY), r, level);
      const float c[4] = {p.r, p.g, p.b, p.a};
      for (int k = 0; k < 4; ++k) {
        row[k] +=
            int64_t(deep ? kernels().weights32768[fx][2 - dx] : kernels().weights2048[fx][2 - dx]) *
            int64_t(c[k]);
        realRow[k] += kernels().weights[fx][2 - dx] * c[k];
      }
    }
    for (int k = 0; k < 4; ++k) {
      whole[k] += deep ? kernels().weights32768[fy][2 - dy] * (row[k] / 32768)
                       : kernels().weights2048[fy][2 - dy] * row[k];
      real[k] += kernels().weights[fy][2 - dy] * realRow[k];
    }
  }
  float out[4];
  for (int k = 0; k < 4; ++k) {
    out[k] = r.format == kFormatRgbaFloat ? real[k]
             : deep                       ? float(whole[k] / 32768)
                                          : float(whole[k] >> 22);
  }
  if (r.format == kFormatGrey8) return {out[0], out[0], out[0], 255};
  return {out[0], out[1], out[2], out[3]};
}

TEST(Sampling, FastAndEdgePathsComputeTheDescribedSum) {
  std::mt19937 random(11);
  for (int32_t format : {kFormatRgba8, kFormatGrey8, kFormatRgba16, kFormatRgbaFloat}) {
    for (int32_t edgeMode : {kEdgeClamp, kEdgeWrap, kEdgeWrapHorizontal}) {
      Raster r = makeRaster(1100, 600, format, edgeMode);
      fillNoise(r, 5);
      buildPyramid(r);
      // Around the level's edges and the tile seams at several phases, and random positions.
      std::vector<float> xs, ys;
      for (float pixel : {0.0f, 0.5f, 1.3f, 2.0f, 3.9f, 505.2f, 507.7f, 508.1f, 511.5f, 512.0f,
                          514.6f, 597.9f, 598.5f, 599.99f, 1097.9f, 1099.99f, 1100.0f}) {
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
            ASSERT_EQ(channels(sampleLevel(r, level, x, y)), channels(reference(r, level, x, y)))
                << "format " << format << " edges " << edgeMode << " level " << level << " at " << x
                << "," << y;
          }
        }
      }
      releaseRaster(r);
    }
  }
}

TEST(Sampling, AtTheLeftEdgeClampRepeatsColumnZeroAndWrapReadsTheLastColumns) {
  // At x = 0 the nearest pixel is column 0 with phase 0; pixel 2 - k takes tap k.
  auto expected = [](const int32_t(&columns)[5]) {
    int32_t sum = 0;
    for (int t = 0; t < 5; ++t) sum += kernels().weights2048[0][4 - t] * (10 * columns[t] + 5);
    return float((sum * 2048) >> 22);
  };
  const int32_t clamped[5] = {0, 0, 0, 1, 2}, wrapped[5] = {6, 7, 0, 1, 2};
  ASSERT_NE(expected(clamped), expected(wrapped));
  for (int32_t edgeMode : {kEdgeClamp, kEdgeWrap}) {
    Raster r = makeRaster(8, 8, kFormatRgba8, edgeMode);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) setPixel(x, y, r, 0, uint8_t(10 * x + 5), 0, 0, 255);
    EXPECT_EQ(sampleLevel(r, 0, 0.0f, 0.5f).r,
              expected(edgeMode == kEdgeClamp ? clamped : wrapped));
    releaseRaster(r);
  }
}

TEST(Sampling, FlatAreasStayFlatWhereverTheyAreRead) {
  const float nan = std::numeric_limits<float>::quiet_NaN(),
              inf = std::numeric_limits<float>::infinity();
  std::vector<float> positions = {nan,    inf,  -inf, 1e30f, -1e30f, -0.3f,
                                  -1e-7f, 1.0f, 1.7f, 5e6f,  -5e6f};
  for (int p = 0; p < 128; ++p) positions.push_back((300.0f + p / 128.0f) / 520.0f);
  const std::pair<int32_t, float> cases[] = {
      {kFormatRgba8, 200}, {kFormatGrey8, 77}, {kFormatRgba16, 12345}};
  for (const auto& [format, value] : cases) {
    for (int32_t edgeMode : {kEdgeClamp, kEdgeWrap, kEdgeWrapHorizontal}) {
      Raster r = makeRaster(520, 515, format, edgeMode);
      fillLevel(r, 0, value, format == kFormatGrey8 ? 255 : value);
      for (float x : positions) {
        for (float y : {positions[0], positions[2], positions[13], positions[40]}) {
          const PixelValue v = sampleLevel(r, 0, x, y);
          ASSERT_EQ(v.r, value) << format << " " << edgeMode << " at " << x << "," << y;
          ASSERT_EQ(v.b, value) << format << " " << edgeMode << " at " << x << "," << y;
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
  const float nan = std::nanf("");
  const float cases[][3] = {{0, 0.0f, 100},  {0, 0.25f, 125}, {1, 0.5f, 125}, {2, 0.0f, 50},
                            {2, 0.5f, 30},   {3, 0.0f, 50},   {9, 0.5f, 30},  {-4, 0.0f, 100},
                            {-4, 0.5f, 150}, {0, -1.0f, 100}, {0, 7.0f, 200}, {0, nan, 100}};
  for (const auto& c : cases) {
    const PixelValue v = sampleTrilinear(r, int32_t(c[0]), c[1], 0.4f, 0.6f);
    EXPECT_EQ(channels(v), (std::vector<float>{c[2], c[2], c[2], 255}))
        << "level " << c[0] << " fraction " << c[1];
  }
  releaseRaster(r);

  Raster single = makeRaster(1, 1, kFormatRgba8, kEdgeClamp);
  setPixel(0, 0, single, 0, 40, 40, 40, 255);
  EXPECT_EQ(sampleTrilinear(single, 3, 0.9f, 0.1f, 0.9f).g, 40.0f);
  releaseRaster(single);
}

// With AVX2 the two levels of an 8-bit blend are filtered side by side; each must come out
// as the four-lane filter gives it, at tile seams and level edges (gathered neighbourhoods)
// as much as inside, and with the two levels at different phases.
TEST(Sampling, TrilinearOnWideRegistersEqualsFourLanes) {
  if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
  const bool wideBefore = gWideSampling;
  std::mt19937 random(5);
  for (int32_t edgeMode : {kEdgeClamp, kEdgeWrap}) {
    Raster r = makeRaster(1100, 600, kFormatRgba8, edgeMode);
    fillNoise(r, 9);
    buildPyramid(r);
    std::vector<float> xs = {0.0f, 1.3f / 1100, 507.7f / 1100, 511.5f / 1100, 0.9999f, 1.2f, -0.3f};
    for (int n = 0; n < 60; ++n) xs.push_back(float(random() % 100000) / 100000.0f);
    for (int32_t level = -1; level <= r.lastLevel; ++level)
      for (float fraction : {0.0f, 1e-6f, 0.37f, 0.999f, 1.5f})
        for (size_t i = 0; i < xs.size(); ++i) {
          const float x = xs[i], y = xs[(i * 7 + 3) % xs.size()];
          gWideSampling = false;
          const PixelValue narrow = sampleTrilinear(r, level, fraction, x, y);
          gWideSampling = true;
          const PixelValue wide = sampleTrilinear(r, level, fraction, x, y);
          ASSERT_EQ(channels(wide), channels(narrow))
              << "edges " << edgeMode << " level " << level << " fraction " << fraction << " at "
              << x << "," << y;
        }
    releaseRaster(r);
  }
  gWideSampling = wideBefore;
}

TEST(Sampling, OnlyFormatsWithASamplerAndKernelsGiveValues) {
  Raster grey = makeRaster(16, 16, kFormatGrey8, kEdgeClamp),
         grey16 = makeRaster(16, 16, kFormatGrey16, kEdgeClamp);
  fillLevel(grey, 0, 90, 255);
  fillLevel(grey16, 0, 900, 900);
  EXPECT_EQ(channels(sampleTrilinear(grey, 0, 0.0f, 0.5f, 0.5f)),
            (std::vector<float>{90, 90, 90, 255}));
  EXPECT_EQ(channels(sampleTrilinear(grey16, 0, 0.0f, 0.5f, 0.5f)),
            (std::vector<float>{0, 0, 0, 0}));
  EXPECT_EQ(sampleLevel(grey16, 0, 0.5f, 0.5f).a, 0.0f);
  grey.kernels = nullptr;
  EXPECT_EQ(sampleTrilinear(grey, 0, 0.0f, 0.5f, 0.5f).r, 0.0f);
  Raster empty{};
  empty.kernels = &kernels();
  EXPECT_EQ(sampleTrilinear(empty, 0, 0.0f, 0.5f, 0.5f).r, 0.0f);
  releaseRaster(grey);
  releaseRaster(grey16);
}

TEST(Sampling, ResampleReadsTheLevelOfTheScaleAndBuildsTheDestinationPyramid) {
  Raster source = makeRaster(64, 64, kFormatRgba8, kEdgeClamp);  // 7 levels
  fillLevel(source, 0, 200, 0);
  buildPyramid(source);
  fillLevel(source, 2, 7, 0);  // a quarter of the size reads level 2 ...
  fillLevel(source, 1, 9, 0);  // ... or level 1 with a bias of 1
  struct Case {
    int32_t size;
    float bias, expected;
  };
  // A single pixel asks for the last level; trilinear sampling reads the one before it.
  const float beforeLast = getPixel(0, 0, source, source.lastLevel - 1).r;
  for (const Case& c : {Case{16, 0.0f, 7}, Case{16, 1.0f, 9}, Case{64, 0.0f, 200},
                        Case{128, 0.0f, 200}, Case{16, 9.0f, 200}, Case{1, -30.0f, beforeLast}}) {
    Raster destination = makeRaster(c.size, c.size, kFormatRgba8, kEdgeClamp);
    resample(source, destination, {0, 0, c.size, c.size}, {0, 0, 64, 64}, c.bias);
    EXPECT_EQ(channels(getPixel(c.size / 3, c.size - 1, destination, 0)),
              (std::vector<float>{c.expected, c.expected, c.expected, 255}))
        << "size " << c.size << " bias " << c.bias;
    if (c.size > 1) {
      EXPECT_EQ(getPixel(0, 0, destination, 1).g, c.expected == 200 ? 201.0f : c.expected + 0.0f)
          << c.size;
    }
    releaseRaster(destination);
  }
  // Between two levels the sample blends them: 2^1.415 smaller reads level 1.415.
  Raster between = makeRaster(24, 24, kFormatRgba8, kEdgeClamp);
  resample(source, between, {0, 0, 24, 24}, {0, 0, 64, 64}, 0.0f);
  EXPECT_EQ(getPixel(10, 10, between, 0).r, 8.0f);
  releaseRaster(between);
  releaseRaster(source);
}

TEST(Sampling, ResampleConvertsDeepSourcesAndStaysInsideTheDestination) {
  Raster deep = makeRaster(40, 40, kFormatRgba16, kEdgeClamp),
         bright = makeRaster(40, 40, kFormatRgbaFloat, kEdgeClamp);
  fillLevel(deep, 0, 16384, 32768);
  fillLevel(bright, 0, 3.0f, 1.0f);
  buildPyramid(deep);
  buildPyramid(bright);
  Raster destination = makeRaster(30, 30, kFormatRgba8, kEdgeClamp);
  // Half of the rectangle lies outside the destination.
  resample(deep, destination, {15, -15, 30, 30}, {0, 0, 40, 40}, 0.0f);
  EXPECT_EQ(channels(getPixel(20, 5, destination, 0)),
            (std::vector<float>{127, 127, 127, 255}));  // 16384 * 255 / 32768
  EXPECT_EQ(getPixel(14, 5, destination, 0).a, 0.0f);
  EXPECT_EQ(getPixel(20, 15, destination, 0).a, 0.0f);
  resample(bright, destination, {0, 0, 30, 30}, {0, 0, 40, 40}, 0.0f);
  EXPECT_EQ(getPixel(29, 29, destination, 0).r, 255.0f);
  for (Raster* r : {&deep, &bright, &destination}) releaseRaster(*r);
}

}  // namespace
