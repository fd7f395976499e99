#include "render/reflection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "raster/pyramid.h"
#include "tests/render/raster_fixture.h"

namespace {

TEST(FastLog2, ExactAtPowersOfTwoAndCloseBetween) {
  for (float l : {-3.0f, 0.0f, 0.5f, 1.0f, NAN}) EXPECT_EQ(fastLog2(l), 0.0f) << l;
  for (int n = 1; n <= 30; ++n) EXPECT_EQ(fastLog2(std::ldexp(1.0f, n)), float(n)) << n;
  // Mantissa 1/2: E - 126.9 + 0.5 - 0.
  EXPECT_FLOAT_EQ(fastLog2(3.0f), 1.6f);
  EXPECT_FLOAT_EQ(fastLog2(1.5f), 0.6f);
  for (float l = 1.01f; l < 5000.0f; l *= 1.07f) EXPECT_NEAR(fastLog2(l), std::log2(l), 0.02f) << l;
}

TEST(FoldIntoPicture, MirrorsSidewaysAndHoldsVertically) {
  struct Case {
    float u, v;
    float x, y, outside;
  } cases[] = {
      {0.3f, 0.4f, 0.3f, 0.4f, 0.0f},      {-0.25f, 0.5f, 0.25f, 0.5f, 0.25f},
      {1.25f, 0.5f, 0.75f, 0.5f, 0.25f},   {0.5f, -0.25f, 0.5f, 0.0f, 0.25f},
      {0.5f, 1.5f, 0.5f, 1.0f, 0.5f},      {-0.25f, -0.5f, 0.25f, 0.0f, 0.5f},
      {-1.5f, 0.5f, 0.5f, 0.5f, 1.0f},     {3.0f, 0.5f, 0.0f, 0.5f, 1.0f},
      {0.0f, 1.0f, 0.0f, 1.0f, 0.0f},      {NAN, NAN, 0.0f, 0.0f, 0.0f},
      {INFINITY, -INFINITY, 0.0f, 0.0f, 1.0f},
  };
  for (const Case& c : cases) {
    const FoldedPosition p = foldIntoPicture(c.u, c.v);
    EXPECT_EQ(p.x, c.x) << c.u << " " << c.v;
    EXPECT_EQ(p.y, c.y) << c.u << " " << c.v;
    EXPECT_EQ(p.outside, c.outside) << c.u << " " << c.v;
  }
}

TEST(PyramidLevel, FootprintThenDistanceOutThenBlur) {
  struct Case {
    float l, outside, bw;
    int32_t lastLevel;
    float level;
  } cases[] = {
      {0.0f, 0.0f, 0.0f, 10, 0.0f},  {1.0f, 0.0f, 0.0f, 10, 0.0f},
      {4.0f, 0.0f, 0.0f, 10, 2.0f},  {4.0f, 0.5f, 0.0f, 10, 6.0f},   // half-way out from 2
      {0.5f, 0.5f, 0.0f, 8, 4.0f},   {4.0f, 0.5f, 0.5f, 10, 8.0f},   // then half-way again
      {0.0f, 0.0f, 1.0f, 7, 7.0f},   {1048576.0f, 0.0f, 0.0f, 5, 5.0f},
      {0.0f, 0.0f, -3.0f, 7, 0.0f},  {0.0f, 0.0f, NAN, 7, 0.0f},
      {0.0f, 0.0f, INFINITY, 7, 7.0f},
  };
  for (const Case& c : cases)
    EXPECT_EQ(pyramidLevel(c.l, c.outside, c.bw, c.lastLevel), c.level)
        << c.l << " " << c.outside << " " << c.bw;
}

ReflectionRow rowOf(int32_t depth, bool transparency, bool grey) {
  ReflectionRow row{};
  row.scale = depth == 32 ? 1.0f : (depth == 16 ? 32768.0f : 255.0f);
  row.floatDepth = depth == 32;
  row.transparency = transparency;
  row.grey = grey;
  row.waterR = depth == 32 ? 0.25f : 10.0f;
  row.waterG = depth == 32 ? 0.5f : 20.0f;
  row.waterB = depth == 32 ? 0.75f : 30.0f;
  return row;
}

TEST(TintSample, MixesOverTheWaterColourAndClamps) {
  struct Case {
    int32_t depth;
    bool grey, water;
    float d;
    PixelValue sample;
    ShadedPixel expected;
  } cases[] = {
      {8, false, true, 0.25f, {200, 100, 0, 255}, {57.5f, 40, 22.5f, 255}},
      {8, false, true, 1.0f, {200, 100, 0, 255}, {200, 100, 0, 255}},
      {8, false, true, 0.0f, {200, 100, 0, 255}, {10, 20, 30, 255}},
      {8, false, false, 0.0f, {200, 100, 0, 255}, {200, 100, 0, 255}},
      {8, true, true, 0.5f, {200, 90, 0, 255}, {105, 105, 105, 255}},
      {8, false, false, 1.0f, {-5, 300, 70000, 255}, {0, 300, 65535, 255}},
      {16, false, true, 0.5f, {30000, 0, 32768, 32768}, {15005, 10, 16399, 32768}},
      {32, false, true, 0.5f, {1.0f, 0.0f, 0.25f, 1}, {0.625f, 0.25f, 0.5f, 1}},
  };
  for (const Case& c : cases) {
    const ReflectionRow row = rowOf(c.depth, false, c.grey);
    ReflectionCarry carry = startOfRow();
    const ShadedPixel got = tintSample(row, c.sample, c.water, c.d, carry);
    EXPECT_FLOAT_EQ(got.r, c.expected.r) << c.depth << " " << c.d;
    EXPECT_FLOAT_EQ(got.g, c.expected.g) << c.depth << " " << c.d;
    EXPECT_FLOAT_EQ(got.b, c.expected.b) << c.depth << " " << c.d;
    EXPECT_EQ(got.alpha, c.expected.alpha) << c.depth << " " << c.d;
  }
}

TEST(TintSample, AlphaFromEditableTransparency) {
  struct Case {
    int32_t depth;
    float sampleAlpha;
    float alpha;
  } cases[] = {
      {8, 0.0f, 0.0f},        {8, 100.0f, 100.0f},     {8, 254.0f, 255.0f},
      {8, 255.0f, 255.0f},    {8, 0.9f, 0.0f},         {8, 1.0f, 1.0f},
      {16, 32768.0f, 32768.0f}, {16, 16384.0f, 16498.0f}, {16, -3.0f, 0.0f},
      // Float alpha is carried as it is, 1.007 times, up to 1.
      {32, 0.5f, 0.5f * 1.007f}, {32, 0.001f, 0.001f * 1.007f}, {32, 1.0f, 1.0f},
      {32, 0.0f, 0.0f},       {32, NAN, 0.0f},
  };
  for (const Case& c : cases) {
    const ReflectionRow row = rowOf(c.depth, true, false);
    ReflectionCarry carry = startOfRow();
    const ShadedPixel got = tintSample(row, {0, 0, 0, c.sampleAlpha}, false, 1.0f, carry);
    EXPECT_EQ(got.alpha, c.alpha) << c.depth << " " << c.sampleAlpha;
  }
}

TEST(TintSample, TransparentSampleKeepsThePreviousColour) {
  for (int32_t depth : {8, 16, 32}) {
    const ReflectionRow row = rowOf(depth, true, false);
    const float full = row.scale;
    ReflectionCarry carry = startOfRow();
    // Nothing before it in the row: black.
    ShadedPixel p = tintSample(row, {0.5f, 0.5f, 0.5f, 0}, true, 0.5f, carry);
    EXPECT_EQ(p.r, 0.0f);
    EXPECT_EQ(p.alpha, 0.0f);
    const ShadedPixel opaque = tintSample(row, {full, 0, full, full}, false, 1.0f, carry);
    p = tintSample(row, {0, full, 0, 0}, false, 1.0f, carry);
    EXPECT_EQ(p.r, opaque.r);
    EXPECT_EQ(p.g, opaque.g);
    EXPECT_EQ(p.b, opaque.b);
    EXPECT_EQ(p.alpha, 0.0f);
    // A faint float sample is not transparent: its own colour shows.
    if (depth == 32) {
      p = tintSample(row, {0, 1, 0, 0.02f}, false, 1.0f, carry);
      EXPECT_EQ(p.g, 1.0f);
      EXPECT_GT(p.alpha, 0.0f);
    }
  }
}

struct LevelledRaster : TestRaster {
  LevelledRaster() : TestRaster(64, 64, kFormatRgba8) { greyPerLevel(30.0f); }
};

ReflectionRow levelledRow(const Raster& source, bool firstRow) {
  ReflectionRow row = rowOf(8, false, false);
  row.source = &source;
  row.footprintU = row.footprintV = 64.0f;
  row.firstRow = firstRow;
  row.lastColumn = 63;
  return row;
}

TEST(ReflectPixel, FootprintChoosesTheLevel) {
  LevelledRaster source;
  ASSERT_EQ(source.raster.lastLevel, 6);
  std::vector<RowScratch> scratch(68, RowScratch{0.5f, 0.5f});
  struct Case {
    bool firstRow;
    int32_t x;
    RowScratch above, previous, here;
    float value;
  } cases[] = {
      // Neighbours one pixel apart: level 0, as sharp as the image.
      {false, 10, {0.5f, 0.4375f + 0.015625f}, {0.5f - 0.015625f, 0.453125f}, {0.5f, 0.4375f}, 0},
      // Four pixels apart vertically: level 2.
      {false, 10, {0.5f, 0.5f}, {0.5f, 0.4375f}, {0.5f, 0.4375f}, 60},
      // Two pixels apart sideways beats one vertically: level 1.
      {false, 10, {0.5f, 0.453125f}, {0.46875f, 0.4375f}, {0.5f, 0.4375f}, 30},
      // Three pixels: log2 3 is taken as 1.6.
      {false, 10, {0.5f, 0.484375f}, {0.5f, 0.4375f}, {0.5f, 0.4375f}, 30 + 0.6f * 30},
      // No footprint in the first row, the first column or the last.
      {true, 10, {0.5f, 0.5f}, {0.5f, 0.0f}, {0.5f, 0.4375f}, 0},
      {false, 0, {0.5f, 0.0f}, {0.5f, 0.0f}, {0.5f, 0.4375f}, 0},
      {false, 63, {0.5f, 0.0f}, {0.5f, 0.0f}, {0.5f, 0.4375f}, 0},
      // Half a picture out: half-way to the coarsest level (6), read as 3.
      {false, 10, {-0.5f, 0.4375f}, {-0.5f, 0.4375f}, {-0.5f, 0.4375f}, 90},
  };
  for (const Case& c : cases) {
    const ReflectionRow row = levelledRow(source.raster, c.firstRow);
    scratch[c.x + 1] = c.above;
    ReflectionCarry carry = startOfRow();
    carry.previous = c.previous;
    const ShadedPixel p =
        reflectPixel(row, scratch.data(), c.x, carry, c.here.u, c.here.v, false, 1.0f, 0.0f);
    EXPECT_NEAR(p.r, c.value, 0.5f) << c.x << " " << c.above.v;
    // The left neighbour's position moves into the scratch row, this pixel's into the carry.
    EXPECT_EQ(scratch[c.x].u, c.previous.u);
    EXPECT_EQ(scratch[c.x].v, c.previous.v);
    EXPECT_EQ(carry.previous.u, c.here.u);
    EXPECT_EQ(carry.previous.v, c.here.v);
  }
}

TEST(ReflectPixel, BlurPullsTowardsTheCoarsestLevel) {
  LevelledRaster source;
  std::vector<RowScratch> scratch(68, RowScratch{0.5f, 0.5f});
  const ReflectionRow row = levelledRow(source.raster, true);
  // Full blur asks for level 6, the last; the sampler reads it as level 5 alone.
  ReflectionCarry carry = startOfRow();
  EXPECT_EQ(reflectPixel(row, scratch.data(), 5, carry, 0.5f, 0.5f, false, 1.0f, 1.0f).r, 150.0f);
  carry = startOfRow();
  EXPECT_EQ(reflectPixel(row, scratch.data(), 5, carry, 0.5f, 0.5f, false, 1.0f, 0.25f).r, 45.0f);
}


// A run is cut into steps inside; across the cuts the scratch row, the neighbour and the
// colour kept over transparent samples must carry on as they do pixel by pixel.
TEST(ShadeRun, EqualsPixelByPixelAcrossTheWholeRun) {
  TestRaster source(200, 120, kFormatRgba8);
  source.fill(0, [](int32_t x, int32_t y) {
    // Every seventh column fully transparent.
    return PixelValue{float((x * 37 + y * 11) % 256), float((x * 5) % 256), float(y % 256),
                      x % 7 == 3 ? 0.0f : 255.0f};
  });
  buildPyramid(source.raster);
  ReflectionRow row = rowOf(8, true, false);
  row.source = &source.raster;
  row.footprintU = 200.0f;
  row.footprintV = 120.0f;
  row.lastColumn = 149;
  constexpr int32_t kCount = 150;
  std::vector<float> u(kCount), v(kCount), d(kCount);
  for (int32_t i = 0; i < kCount; ++i) {
    u[i] = (float(i) + 0.5f) / 200.0f + 0.02f * std::sin(float(i) * 0.3f);
    v[i] = 0.4f + 0.05f * std::cos(float(i) * 0.17f) - (i % 40 == 0 ? 0.6f : 0.0f);
    d[i] = float(i % 11) / 10.0f;
  }
  std::vector<RowScratch> byPixel(kCount + 4), byRun(kCount + 4);
  for (int32_t i = 0; i < kCount + 4; ++i) byPixel[i] = byRun[i] = {0.01f * float(i % 13), 0.3f};
  ReflectionCarry one = startOfRow(), run = startOfRow();
  std::vector<ShadedPixel> expected(kCount), got(kCount);
  for (int32_t x = 0; x < kCount; ++x)
    expected[x] = reflectPixel(row, byPixel.data(), x, one, u[x], v[x], true, d[x], 0.3f);
  shadeRun(row, byRun.data(), 0, kCount, run, u.data(), v.data(), true, d.data(), 0.3f, got.data());
  for (int32_t x = 0; x < kCount; ++x) {
    EXPECT_EQ(got[x].r, expected[x].r) << x;
    EXPECT_EQ(got[x].g, expected[x].g) << x;
    EXPECT_EQ(got[x].b, expected[x].b) << x;
    EXPECT_EQ(got[x].alpha, expected[x].alpha) << x;
    EXPECT_EQ(byRun[x].u, byPixel[x].u) << x;
    EXPECT_EQ(byRun[x].v, byPixel[x].v) << x;
  }
  EXPECT_EQ(run.previous.u, one.previous.u);
  EXPECT_EQ(run.r, one.r);
}

}  // namespace
