#include "render/band_renderer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "tests/render/raster_fixture.h"

namespace {

// The fields the renderer reads, at their defaults.
Settings defaults() {
  Settings s{};
  s.horizon = 60;
  s.offset = 0;
  s.perspective = 57;
  s.altitude = 50;
  s.rippleSize = 0;
  s.rippleHeight = 33;
  s.undulation = 40;
  s.waviness = 40;
  s.blur = 25;
  s.complexity = 50;
  s.brilliance = 42;
  s.waterColour = {0x0101, 0x0202, 0x0303};
  s.centreX = 0.5f;
  s.centreY = 0.2f;
  s.glue = 1;
  s.randomSeed = 21;
  return s;
}

// Still water: no rings, no waves.
Settings still(Settings s) {
  s.rippleHeight = 0;
  s.rippleSize = 0;
  s.waviness = 0;
  return s;
}

RenderFrame frameFor(const Raster& source, int32_t depth) {
  RenderFrame f{};
  f.fullWidth = f.width = source.width[0];
  f.fullHeight = f.height = source.height[0];
  f.previewScale = 1;
  f.invW0 = source.widthReciprocal[0];
  f.invH0 = source.heightReciprocal[0];
  f.depth = depth;
  return f;
}

// An 8-bit value as the renderer hands it on: times 1/255.
float n8(float v) { return v * (1.0f / 255.0f); }

using Image = std::vector<std::vector<WaterPixel>>;

// Every row, top to bottom, as the driver renders them.
Image render(const Settings& s, const RenderFrame& frame, const Raster& source) {
  auto noise = std::make_unique<NoiseTables>();
  prepareNoiseTables(*noise, s.randomSeed);
  std::vector<RowScratch> scratch(frame.width + 4);
  Image image(frame.height, std::vector<WaterPixel>(frame.width));
  for (int32_t row = 0; row < frame.height; ++row)
    renderPixels(s, frame, source, *noise, row, scratch.data(), image[row].data());
  return image;
}

void expectPixel(const WaterPixel& p, float r, float g, float b, float a, const char* where) {
  EXPECT_EQ(p.r, r) << where;
  EXPECT_EQ(p.g, g) << where;
  EXPECT_EQ(p.b, b) << where;
  EXPECT_EQ(p.a, a) << where;
}

TEST(RowConstants, DefaultsWorkedByHand) {
  TestRaster source(64, 64, kFormatRgba8);
  const auto noise = std::make_unique<NoiseTables>();
  prepareNoiseTables(*noise, 21);
  Settings s = defaults();
  s.offset = 50;
  s.rippleSize = 50;
  const RowConstants k = computeRowConstants(s, frameFor(source.raster, 8), *noise);
  EXPECT_FLOAT_EQ(k.D, 0.594f);
  EXPECT_FLOAT_EQ(k.R, 0.797f);  // half-way from the horizon to the bottom
  EXPECT_EQ(k.horizonRow, 38);   // 64 x 0.594
  EXPECT_EQ(k.waterRow, 51);     // 64 x 0.797
  EXPECT_FLOAT_EQ(k.P, 0.10875f);
  EXPECT_FLOAT_EQ(k.A, 2.5f);
  EXPECT_FLOAT_EQ(k.F, 7.5f);
  EXPECT_FLOAT_EQ(k.invF, 1.0f / 7.5f);
  EXPECT_FLOAT_EQ(k.Hr, 0.066f);
  EXPECT_FLOAT_EQ(k.U, 16.0f);
  EXPECT_FLOAT_EQ(k.Wv, 0.4f);
  EXPECT_FLOAT_EQ(k.Bl, 0.25f);
  EXPECT_FLOAT_EQ(k.c, 4.01f);
  EXPECT_FLOAT_EQ(k.Blo, 0.84f);
  EXPECT_EQ(k.Bhi, 1.0f);
  EXPECT_EQ(k.aspectFix, 1.0f);
  EXPECT_EQ(k.waterR, 1.0f);
  EXPECT_EQ(k.waterG, 2.0f);
  EXPECT_EQ(k.waterB, 3.0f);
}

TEST(RowConstants, WaterColourByDepthAndBrillianceTerms) {
  TestRaster source(8, 8, kFormatRgba8);
  const auto noise = std::make_unique<NoiseTables>();
  prepareNoiseTables(*noise, 0);
  Settings s = defaults();
  s.waterColour = {0xFFFF, 0x8001, 0x0101};
  RenderFrame frame = frameFor(source.raster, 16);
  RowConstants k = computeRowConstants(s, frame, *noise);
  EXPECT_EQ(k.waterR, 32767.0f);
  EXPECT_EQ(k.waterG, 16384.0f);
  EXPECT_EQ(k.waterB, 128.0f);
  frame.depth = 32;
  k = computeRowConstants(s, frame, *noise);
  EXPECT_EQ(k.waterR, 1.0f);
  EXPECT_FLOAT_EQ(k.waterG, 32769.0f / 65535.0f);
  frame.depth = 8;
  k = computeRowConstants(s, frame, *noise);
  EXPECT_EQ(k.waterR, 255.0f);
  EXPECT_EQ(k.waterG, 128.0f);
  EXPECT_EQ(k.waterB, 1.0f);

  struct Case {
    int32_t brilliance;
    float Blo, Bhi;
  } cases[] = {{0, 0.0f, 1.0f}, {25, 0.5f, 1.0f}, {50, 1.0f, 1.0f}, {75, 1.0f, 0.5f},
               {100, 1.0f, 0.0f}};
  for (const Case& c : cases) {
    s.brilliance = c.brilliance;
    k = computeRowConstants(s, frame, *noise);
    EXPECT_FLOAT_EQ(k.Blo, c.Blo) << c.brilliance;
    EXPECT_NEAR(k.Bhi, c.Bhi, 1e-6f) << c.brilliance;
  }
}

// A reduced, panned view shows image row r x scale + originY as its row r. The water must
// begin on the view's row that samples the first water row of the whole image, and the
// marks must sit on the rows that hold the horizon and the water line, at every scale.
TEST(RenderPixels, ReducedViewsShowTheWaterWhereTheImageHasIt) {
  TestRaster source(16, 256, kFormatRgba8);
  for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
    source.flat(level, {200, 100, 50, 255});
  Settings s = still(defaults());
  s.brilliance = 0;
  s.waterColour = {0x1000, 0x2000, 0x3000};
  s.horizon = 40;
  s.offset = 30;
  auto isWater = [](const WaterPixel& p) { return p.r == n8(16) && p.b == n8(48); };

  const Image whole = render(s, frameFor(source.raster, 8), source.raster);
  int32_t firstWater = 0;
  while (!isWater(whole[firstWater][8])) ++firstWater;
  const auto noise = std::make_unique<NoiseTables>();
  prepareNoiseTables(*noise, s.randomSeed);
  const RowConstants wholeRows = computeRowConstants(s, frameFor(source.raster, 8), *noise);

  struct View {
    int32_t scale, originY, rows;
  } views[] = {{1, 0, 256}, {1, 37, 120}, {2, 0, 128}, {3, 30, 60}, {4, 60, 40}, {5, 5, 50}};
  for (const View& view : views) {
    RenderFrame frame = frameFor(source.raster, 8);
    frame.width = 16 / view.scale;
    frame.height = view.rows;
    frame.previewScale = view.scale;
    frame.previewOriginY = view.originY;
    frame.dialog = true;
    const RowConstants k = computeRowConstants(s, frame, *noise);
    EXPECT_EQ(k.aspectFix, 1.0f) << view.scale;
    // The row of the view that holds image row y.
    auto viewRow = [&](int32_t y) { return int32_t(std::floor(float(y - view.originY) / float(view.scale))); };
    EXPECT_EQ(k.horizonRow, viewRow(wholeRows.horizonRow)) << view.scale << " " << view.originY;
    EXPECT_EQ(k.waterRow, viewRow(wholeRows.waterRow)) << view.scale << " " << view.originY;

    const Image reduced = render(s, frame, source.raster);
    for (int32_t row = 0; row < view.rows; ++row) {
      if (std::abs(row - k.horizonRow) <= 2 || std::abs(row - k.waterRow) <= 2) continue;  // marks
      const bool water = row * view.scale + view.originY >= firstWater;
      EXPECT_EQ(isWater(reduced[row][frame.width / 2]), water) << view.scale << " row " << row;
    }
  }

  // A view that starts below the water line marks no row of its own.
  RenderFrame below = frameFor(source.raster, 8);
  below.height = 20;
  below.previewScale = 2;
  below.previewOriginY = 220;
  const RowConstants k = computeRowConstants(s, below, *noise);
  EXPECT_LT(k.horizonRow, -2);
  EXPECT_LT(k.waterRow, -2);
}

// A flat source and a water colour far from it: a pixel is water exactly when it shows the
// water colour (brilliance 0 and still water make d = 0).
TEST(RenderPixels, WaterLineSplitsTheImage) {
  TestRaster source(16, 64, kFormatRgba8);
  source.greyPerLevel(0.0f);
  for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
    source.flat(level, {200, 100, 50, 255});
  Settings s = still(defaults());
  s.brilliance = 0;
  s.waterColour = {0x1000, 0x2000, 0x3000};
  struct Case {
    int32_t horizon, offset;
    int32_t firstWaterRow;
  } cases[] = {{0, 0, 0}, {60, 100, 64}, {50, 50, 48}, {99, 0, 63}};
  for (const Case& c : cases) {
    s.horizon = c.horizon;
    s.offset = c.offset;
    const Image image = render(s, frameFor(source.raster, 8), source.raster);
    for (int32_t row = 0; row < 64; ++row)
      for (int32_t x = 0; x < 16; ++x) {
        if (row < c.firstWaterRow)
          expectPixel(image[row][x], n8(200), n8(100), n8(50), 1.0f, "dry");
        else
          expectPixel(image[row][x], n8(16), n8(32), n8(48), 1.0f, "water");
      }
  }
}

TEST(RenderPixels, BrillianceHundredIsPureReflection) {
  TestRaster source(32, 32, kFormatRgba8);
  for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
    source.flat(level, {10, 220, 130, 255});
  Settings s = defaults();
  s.brilliance = 100;
  s.rippleSize = 60;
  s.rippleHeight = 80;
  const Image image = render(s, frameFor(source.raster, 8), source.raster);
  for (const auto& row : image)
    for (const WaterPixel& p : row) expectPixel(p, n8(10), n8(220), n8(130), 1, "");
}

// Still water with the water line half-way down is a mirror: row 63 - k shows row k.
TEST(RenderPixels, StillWaterMirrorsAboutTheWaterLine) {
  TestRaster source(64, 64, kFormatRgba8);
  source.fill(0, [](int32_t x, int32_t y) {
    return PixelValue{float(4 * y), float(4 * x), float((x * y) & 255), 255};
  });
  Settings s = still(defaults());
  s.horizon = 0;
  s.offset = 50;
  s.brilliance = 100;
  s.blur = 0;
  const Image image = render(s, frameFor(source.raster, 8), source.raster);
  int32_t differing = 0;
  for (int32_t row = 0; row < 32; ++row)
    for (int32_t x = 0; x < 64; ++x) {
      const WaterPixel& dry = image[row][x];
      const WaterPixel& wet = image[63 - row][x];
      EXPECT_EQ(dry.r, wet.r) << row << " " << x;
      EXPECT_EQ(dry.g, wet.g) << row << " " << x;
      EXPECT_EQ(dry.b, wet.b) << row << " " << x;
      differing += dry.r != image[row + 1][x].r;
    }
  EXPECT_GT(differing, 1000);  // the image is no flat field
}

// d = (0 x 5 - depth x 2P) + 1 for still water at brilliance 50; the source is flat 200 and
// the water black, so the pixel is trunc(200 d).
TEST(RenderPixels, ReflectionWeightFallsWithDepth) {
  TestRaster source(16, 64, kFormatRgba8);
  for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
    source.flat(level, {200, 200, 200, 255});
  Settings s = still(defaults());
  s.horizon = 50;  // D = 0.495
  s.offset = 0;
  s.perspective = 99;  // P = 0.1875
  s.brilliance = 50;
  s.waterColour = {0, 0, 0};
  const Image image = render(s, frameFor(source.raster, 8), source.raster);
  struct Case {
    int32_t row;
    float value;
  } cases[] = {
      {63, 162},  // depth 63.5/64 - 0.495 = 0.4971875, d = 0.81355
      {40, 189},  // depth 0.1378125, d = 0.94832
      {31, 200},  // above the water line
  };
  for (const Case& c : cases)
    for (int32_t x : {0, 7, 15})
      EXPECT_EQ(image[c.row][x].r, n8(c.value)) << c.row << " " << x;
}

// Full blur with the water line on the horizon at the top: every reflected position lies
// above the picture, as far out as the pixel is down.
TEST(RenderPixels, BlurAndDistanceOutChooseCoarseLevels) {
  TestRaster source(64, 64, kFormatRgba8);
  source.greyPerLevel(30.0f);
  Settings s = still(defaults());
  s.horizon = 0;
  s.offset = 0;
  s.blur = 100;
  s.brilliance = 100;
  const Image image = render(s, frameFor(source.raster, 8), source.raster);
  // Row 31: v = h = bw = 0.4921875; level 6h = 2.953125, then pulled by bw to 4.45276:
  // 120 + 0.45276 x 30.
  EXPECT_EQ(image[31][20].r, n8(133));
  // The bottom row: level 5.99963, read from level 5 almost wholly towards 6.
  EXPECT_EQ(image[63][20].r, n8(179));
}

constexpr GuideMark kWater = GuideMark::waterLine, kHorizon = GuideMark::horizon,
                    kNone = GuideMark::none;

TEST(GuideMarks, DotsAndWedges) {
  const int32_t W = 40;
  struct Case {
    int32_t x, row;
    GuideMark mark;
  } cases[] = {
      // Water line on row 20, horizon on row 10.
      {4, 20, kWater},  {12, 20, kWater}, {0, 20, kWater},
      {2, 20, kWater},  {37, 20, kWater}, {8, 20, kNone},
      {1, 19, kWater},  {2, 21, kNone},       {38, 21, kWater},
      {0, 22, kWater},  {1, 18, kNone},       {39, 18, kWater},
      {0, 23, kNone},       {0, 10, kHorizon},    {8, 10, kHorizon},
      {4, 10, kNone},       {39, 12, kHorizon},
  };
  for (const Case& c : cases)
    EXPECT_EQ(guideMarkAt(c.x, c.row, W, 20, 10), c.mark) << c.x << " " << c.row;
  // On one row the horizon's dots and ends win; the water line keeps its own dots.
  EXPECT_EQ(guideMarkAt(0, 5, W, 5, 5), kHorizon);
  EXPECT_EQ(guideMarkAt(8, 5, W, 5, 5), kHorizon);
  EXPECT_EQ(guideMarkAt(39, 5, W, 5, 5), kHorizon);
  EXPECT_EQ(guideMarkAt(1, 6, W, 5, 5), kHorizon);
  EXPECT_EQ(guideMarkAt(4, 5, W, 5, 5), kWater);
  EXPECT_EQ(guideMarkAt(5, 5, W, 5, 5), kNone);
  EXPECT_EQ(guideMarkAt(0, 0, W, INT_MIN, INT_MAX), kNone);
}

TEST(RenderPixels, DialogRowsCarryTheMarks) {
  TestRaster source(24, 64, kFormatRgba8);
  for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
    source.flat(level, {200, 100, 50, 255});
  Settings s = defaults();
  s.offset = 0;  // water line on the horizon: row 38
  RenderFrame frame = frameFor(source.raster, 8);
  frame.dialog = true;
  const Image image = render(s, frame, source.raster);
  expectPixel(image[38][0], 0, 1, 0, 1, "end");
  expectPixel(image[38][8], 0, 1, 0, 1, "horizon dot");
  expectPixel(image[38][4], 1, 0, 1, 1, "water dot");
  expectPixel(image[40][23], 0, 1, 0, 1, "wedge");
  EXPECT_NE(image[38][5].g, 1.0f);
  // Without the dialog there are no marks.
  frame.dialog = false;
  EXPECT_NE(render(s, frame, source.raster)[38][0].g, 1.0f);
}

TEST(RenderPixels, FloatAlphaIsCarriedNotTruncated) {
  TestRaster source(16, 16, kFormatRgbaFloat);
  for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
    source.fill(level, [](int32_t x, int32_t) {
      return x < 8 ? PixelValue{1.0f, 0.0f, 0.0f, 1.0f} : PixelValue{0.0f, 0.0f, 1.0f, 0.5f};
    });
  Settings s = defaults();
  s.offset = 100;  // no water: the image itself
  RenderFrame frame = frameFor(source.raster, 32);
  frame.transparency = true;
  const Image image = render(s, frame, source.raster);
  // Far from the edge between the halves the samples are flat: blue at half alpha shows
  // blue, not the red on its left.
  const WaterPixel& p = image[8][13];
  EXPECT_NEAR(p.b, 1.0f, 1e-5f);
  EXPECT_NEAR(p.r, 0.0f, 1e-5f);
  EXPECT_NEAR(p.a, 0.5f * 1.007f, 1e-5f);
}

// Settings files and scripting may carry any 32-bit value in a percent field: the render
// must end, and every value it hands on must be a number in range.
TEST(RenderPixels, UnclampedSettingsNeitherHangNorBreak) {
  TestRaster source(12, 12, kFormatRgba8);
  source.fill(0, [](int32_t x, int32_t y) {
    return PixelValue{float(20 * x), float(20 * y), 90, 255};
  });
  int32_t Settings::*fields[] = {&Settings::horizon,      &Settings::offset,
                                 &Settings::perspective,  &Settings::altitude,
                                 &Settings::rippleSize,   &Settings::rippleHeight,
                                 &Settings::undulation,   &Settings::waviness,
                                 &Settings::blur,         &Settings::complexity,
                                 &Settings::brilliance,   &Settings::randomSeed};
  const int32_t wild[] = {INT_MAX, INT_MIN, 2000000000, -2000000000, 101, -1, 1000000};
  const auto start = std::chrono::steady_clock::now();
  auto check = [&](const Settings& s, const char* what) {
    for (int32_t depth : {8, 32}) {
      RenderFrame frame = frameFor(source.raster, depth);
      frame.dialog = true;
      frame.transparency = true;
      for (const auto& row : render(s, frame, source.raster))
        for (const WaterPixel& p : row) {
          const float top = depth == 8 ? n8(65535.0f) : 65535.0f;
          ASSERT_TRUE(p.r >= 0 && p.r <= top && p.g >= 0 && p.g <= top && p.b >= 0 &&
                      p.b <= top && p.a >= 0 && p.a <= 1)
              << what << " " << p.r << " " << p.g << " " << p.b << " " << p.a;
        }
    }
  };
  for (auto field : fields)
    for (int32_t value : wild) {
      Settings s = defaults();
      s.rippleSize = 50;
      s.*field = value;
      check(s, "one field");
    }
  for (int32_t value : wild) {
    Settings s = defaults();
    for (auto field : fields) s.*field = value;
    s.centreX = 1e30f;
    s.centreY = -1e30f;
    check(s, "all fields");
  }
  // Sixty-four octaves at most: the whole sweep is a matter of seconds, not of hours.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::minutes(2));
}

}  // namespace
