// The glue stage end to end: the water pixel's preparation (light spill, grey, limits, alpha),
// and gluePixel reading the image pixel and writing each render mode's destination.
#include "render/glue.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

#include "host/plugin_state.h"
#include "raster_fixture.h"
#include "render/glue_names.h"
#include "render/work_record.h"

namespace {

// The renderer hands over whole values divided by the pixel scale.
WaterPixel scaled(float r, float g, float b, float a, float m) {
  const float inverse = 1.0f / m;
  return {r * inverse, g * inverse, b * inverse, a * inverse};
}

TEST(GlueWater, PreparationSpillsLimitsAndGreys) {
  const struct {
    int32_t depth;
    bool grey;
    float r, g, b, a;
    Channels expected;
    int32_t alpha;
  } cases[] = {
      {8, false, 200, 100, 0, 255, {200, 100, 0}, 255},
      {8, false, 0, 0, 0, 254, {0, 0, 0}, 255},  // alpha a hair below full counts as full
      {8, false, 0, 0, 0, 100, {0, 0, 0}, 100},
      // Red alone over: 60/512 of the excess into green and blue.
      {8, false, 355, 100, 50, 255, {255, 111, 61}, 255},
      // ... and green pushed over in turn passes its excess to blue.
      {8, false, 455, 250, 10, 255, {255, 255, 51}, 255},
      // Blue alone over: red pushed over passes its excess to green.
      {8, false, 250, 10, 400, 255, {255, 37, 255}, 255},
      {8, false, 10, 300, 20, 255, {15, 255, 25}, 255},
      // Two over: 60/256 of their excess into the third.
      {8, false, 300, 280, 10, 255, {255, 255, 26}, 255},
      {8, false, 300, 0, 300, 255, {255, 21, 255}, 255},
      {8, false, 300, 400, 500, 255, {255, 255, 255}, 255},
      {8, false, -5, 10, 0, -3, {0, 10, 0}, 0},
      {8, true, 200, 100, 0, 255, {118, 118, 118}, 255},
      // Grey is taken after the spill and before the limit.
      {8, true, 355, 100, 50, 255, {178, 178, 178}, 255},
      {16, false, 32768, 16384, 0, 32768, {32768, 16384, 0}, 32768},
      {16, false, 40000, 1000, 0, 16384, {32768, 1847, 847}, 16498},
  };
  for (const auto& c : cases) {
    const float m = c.depth == 8 ? 255.0f : 32768.0f;
    const WaterChannels w = prepareWater(scaled(c.r, c.g, c.b, c.a, m), c.depth, c.grey);
    EXPECT_EQ(w.value, c.expected) << c.r << " " << c.g << " " << c.b;
    EXPECT_EQ(w.alpha, c.alpha) << c.a;
  }
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const WaterChannels undefined = prepareWater({nan, 0.5f, nan, nan}, 8, false);
  EXPECT_EQ(undefined.value, (Channels{0, 127, 0}));
  EXPECT_EQ(undefined.alpha, 0);
  EXPECT_EQ(prepareWater({1e30f, 0.0f, 0.0f, 1.0f}, 16, false).value,
            (Channels{32768, 32768, 32768}));
}

TEST(GlueWater, ThirtyTwoBitPixelsOnlyClampAlphaAndGrey) {
  const FloatPixel colour = prepareWaterFloat({0.5f, 2.0f, -0.25f, 1.5f}, false);
  EXPECT_EQ((std::vector<float>{colour.r, colour.g, colour.b, colour.a}),
            (std::vector<float>{0.5f, 2.0f, -0.25f, 1.0f}));
  const FloatPixel grey = prepareWaterFloat({0.5f, 2.0f, -0.25f, -1.0f}, true);
  EXPECT_FLOAT_EQ(grey.r, 331.5f / 255.0f);
  EXPECT_EQ(grey.g, grey.r);
  EXPECT_EQ(grey.b, grey.r);
  EXPECT_EQ(grey.a, 0.0f);
  EXPECT_EQ(prepareWaterFloat({70000.0f, 0.0f, 0.0f, 1.0f}, false).r, 65535.0f);
}

GlueFrame hostFrame(int32_t renderMode, int32_t depth, PixelLayout layout, int32_t glue,
                    int32_t width, int32_t height) {
  GlueFrame f{};
  f.renderMode = renderMode;
  f.depth = depth;
  f.layout = layout;
  f.glue = glue;
  f.width = width;
  f.height = height;
  f.inStep = f.outStep = (layout.grey ? 1 : 3) + (layout.transparency ? 1 : 0);
  return f;
}

TEST(GluePixel, EveryModeOnAThirtyTwoBitImageIsTheRenderedPixel) {
  float in[4] = {0.9f, 0.1f, 0.3f, 1.0f}, out[4];
  for (int32_t glue = -1; glue <= kGlueCount + 1; ++glue) {
    GlueFrame f = hostFrame(0, 32, {false, true}, glue, 1, 1);
    f.inData = in;
    f.outData = out;
    gluePixel(0, {0.25f, 0.5f, 1.25f, 0.75f}, startGlueRow(f, 0));
    EXPECT_EQ((std::vector<float>(out, out + 4)), (std::vector<float>{0.25f, 0.5f, 1.25f, 0.75f}))
        << glue;
  }
}

TEST(GluePixel, FinalRowAtEightBits) {
  uint8_t in[12] = {10, 20, 30, 255, 100, 200, 255, 255, 40, 50, 60, 0};
  uint8_t out[12] = {};
  GlueFrame f = hostFrame(0, 8, {false, true}, kGlueMultiply, 3, 5);
  f.inData = in;
  f.outData = out;
  f.firstRow = 4;  // the host delivers the one row being rendered
  const GlueRow row = startGlueRow(f, 4);
  gluePixel(1, scaled(255, 128, 2, 128, 255.0f), row);
  // (W * I) >> 8, and A = trunc(128 * 1.007)
  EXPECT_EQ(std::vector<int>(out + 4, out + 8), (std::vector<int>{99, 100, 1, 128}));
  gluePixel(7, scaled(255, 255, 255, 255, 255.0f), row);  // clamped to the last pixel
  EXPECT_EQ(std::vector<int>(out + 8, out + 12), (std::vector<int>{39, 49, 59, 255}));
  EXPECT_EQ(out[0], 0);
}

TEST(GluePixel, GreyFinalRowAtSixteenBits) {
  uint16_t in[2] = {8192, 32768}, out[2] = {};
  GlueFrame f = hostFrame(0, 16, {true, false}, kGlueScreen, 2, 1);
  f.inData = in;
  f.outData = out;
  gluePixel(0, scaled(16384, 16384, 16384, 32768, 32768.0f), startGlueRow(f, 0));
  // W grey = (255 * 16384) >> 8 = 16320; screen: W + ((32768 - W) * I >> 15)
  EXPECT_EQ(out[0], 16320 + ((32768 - 16320) * 8192 >> 15));
  EXPECT_EQ(out[1], 0);
}

TEST(GluePixel, DialogReadsItsRowOfTheRegionAndTheMask) {
  // Two rows of four RGB pixels; the mask covers only the first two columns of each row.
  std::vector<uint8_t> in(2 * 12, 0), out(2 * 12, 0);
  const uint8_t mask[2 * 4] = {255, 0, 9, 9, 255, 128, 9, 9};
  in[12] = 100;  // row 1, pixel 0
  GlueFrame f = hostFrame(1, 8, {false, false}, kGlueLighten, 4, 2);
  f.inData = in.data();
  f.inRowBytes = 12;
  f.outData = out.data();
  f.outRowBytes = 12;
  f.maskData = mask;
  f.maskRowBytes = 4;
  f.maskWidth = 2;
  f.maskHeight = 2;
  const GlueRow row = startGlueRow(f, 1);
  const WaterPixel water = scaled(50, 0, 0, 255, 255.0f);
  for (int32_t x = 0; x < 4; ++x) gluePixel(x, water, row);
  EXPECT_EQ(out[12], 100);                          // max(50, 100), fully selected
  EXPECT_EQ(out[15], (129 * 50 + 127 * 255) >> 8);  // mask 128 over a light square
  EXPECT_EQ(out[18], 255);                          // beyond the mask: the board
  EXPECT_EQ(std::vector<int>(out.begin(), out.begin() + 12), std::vector<int>(12, 0));

  // A row that the mask does not reach is outside the selection.
  f.maskHeight = 1;
  gluePixel(0, water, startGlueRow(f, 1));
  EXPECT_EQ(out[12], 255);
  // Without a selection everything is shown.
  f.maskData = nullptr;
  gluePixel(3, water, startGlueRow(f, 1));
  EXPECT_EQ(out[21], 50);
}

TEST(GluePixel, RasterModeReadsAndWritesTheTarget) {
  TestRaster target(3, 2, kFormatRgba8);
  target.flat(0, {120, 60, 30, 255});
  GlueFrame f = hostFrame(2, 8, {false, false}, kGlueDarken, 3, 2);
  f.target = &target.raster;
  gluePixel(2, scaled(100, 100, 100, 200, 255.0f), startGlueRow(f, 1));
  const PixelValue p = getPixel(2, 1, target.raster, 0);
  EXPECT_EQ((std::vector<float>{p.r, p.g, p.b, p.a}), (std::vector<float>{100, 60, 30, 201}));
  const PixelValue untouched = getPixel(2, 0, target.raster, 0);
  EXPECT_EQ(untouched.r, 120);
}

// The frame the band renderer takes from the whole plug-in state at every row.
TEST(GluePixel, FrameFromThePluginStateFollowsEachRowsBuffers) {
  FilterRecord host{};
  ParameterBlock block{};
  auto work = std::make_unique<WorkRecord>();
  PluginState state{};
  state.filterRecord = &host;
  state.parameters = &block;
  state.work = work.get();
  state.regionWidth = 2;
  state.regionHeight = 3;
  buildTriangleTable(work->triangle);
  block.renderMode = kRenderFinal;
  block.settings.glue = kGlueAdd;
  host.depth = 8;
  host.planes = 4;
  host.inHiPlane = host.outHiPlane = 3;
  host.filterCase = filterCaseEditableTransparencyNoSelection;

  uint8_t in[8] = {10, 20, 30, 40, 250, 250, 250, 250}, first[8] = {}, second[8] = {};
  host.inData = in;
  host.outData = first;
  const WaterPixel water = scaled(5, 6, 7, 255, 255.0f);
  const GlueRow firstRow = startGlueRow(glueFrameOf(state, 0), 0);
  gluePixel(0, water, firstRow);
  gluePixel(1, water, firstRow);
  host.outData = second;
  gluePixel(0, water, startGlueRow(glueFrameOf(state, 1), 1));
  EXPECT_EQ(std::vector<int>(first, first + 8),
            (std::vector<int>{15, 26, 37, 255, 255, 255, 255, 255}));
  EXPECT_EQ(std::vector<int>(second, second + 4), (std::vector<int>{15, 26, 37, 255}));
}

}  // namespace
