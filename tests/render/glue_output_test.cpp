// Where a glued pixel goes: the host's output row, the dialog's checkerboard, a target raster,
// and the conversions between depths that the raster and the thumbnails use.
#include "render/glue_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "raster_fixture.h"
#include "render/depth_conversions.h"

namespace {

constexpr PixelLayout kRgb = {false, false};
constexpr PixelLayout kRgbAlpha = {false, true};
constexpr PixelLayout kGrey = {true, false};
constexpr PixelLayout kGreyAlpha = {true, true};

// Untouched planes keep this, so a store that writes too much shows.
constexpr int kUntouched = 77;

TEST(GlueOutput, FinalStoresTheChannelsAndTheAlphaOnlyWhenEditable) {
  uint8_t p8[5];
  std::fill(std::begin(p8), std::end(p8), kUntouched);
  storeFinal(p8, {200, 100, 3}, 128, kRgbAlpha);
  EXPECT_EQ(std::vector<int>(p8, p8 + 5), (std::vector<int>{200, 100, 3, 128, kUntouched}));

  std::fill(std::begin(p8), std::end(p8), kUntouched);
  storeFinal(p8, {200, 100, 3}, 128, kGrey);
  EXPECT_EQ(std::vector<int>(p8, p8 + 2), (std::vector<int>{200, kUntouched}));

  uint16_t p16[3] = {kUntouched, kUntouched, kUntouched};
  storeFinal(p16, {32768, 5, 6}, 16384, kGreyAlpha);
  EXPECT_EQ(std::vector<int>(p16, p16 + 3), (std::vector<int>{32768, 16384, kUntouched}));

  float pf[5] = {kUntouched, kUntouched, kUntouched, kUntouched, kUntouched};
  storeFinal(pf, {0.25f, 1.5f, -0.5f, 0.75f}, kRgb);
  EXPECT_EQ(std::vector<float>(pf, pf + 4), (std::vector<float>{0.25f, 1.5f, -0.5f, kUntouched}));
}

// Squares of 8 pixels: light where (x xor row) & 8 is 0.
TEST(GlueOutput, DialogShowsTheMaskOverACheckerboard) {
  const struct {
    int32_t mask, alpha, x, row;
    PixelLayout layout;
    int expectedRed, expectedAlpha;
  } cases[] = {
      {255, 0, 0, 0, kRgb, 200, kUntouched},  // a full mask becomes 256: the value itself
      {0, 0, 0, 0, kRgb, 255, kUntouched},    // light square
      {0, 0, 8, 0, kRgb, 204, kUntouched},    // dark square
      {0, 0, 7, 8, kRgb, 204, kUntouched},    // dark: 7 xor 8 has bit 3
      {0, 0, 8, 8, kRgb, 255, kUntouched},    // light again
      {128, 0, 0, 0, kRgb, 227, kUntouched},  // (129 * 200 + 127 * 255) >> 8
      {127, 0, 0, 0, kRgb, 227, kUntouched},  // (127 * 200 + 129 * 255) >> 8
      {255, 128, 0, 0, kRgbAlpha, 227, 255},  // m = (256 * 128) >> 8
      {255, 0, 9, 1, kRgbAlpha, 204, 255},    // transparent water shows the board
  };
  for (const auto& c : cases) {
    uint8_t p[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    storeDialog(p, {200, 100, 0}, c.alpha, c.mask, c.x, c.row, c.layout);
    EXPECT_EQ(p[0], c.expectedRed) << c.mask << " " << c.alpha << " " << c.x << " " << c.row;
    EXPECT_EQ(p[3], c.expectedAlpha);
  }
  uint8_t grey[2] = {kUntouched, kUntouched};
  storeDialog(grey, {10, 99, 99}, 255, 255, 0, 0, kGreyAlpha);
  EXPECT_EQ(grey[0], 10);
  EXPECT_EQ(grey[1], 255);
}

TEST(GlueOutput, DialogAtSixteenBits) {
  const struct {
    int32_t mask, alpha, x;
    PixelLayout layout;
    int expectedRed, expectedAlpha;
  } cases[] = {
      {255, 0, 0, kRgb, 32640, kUntouched},      // (255 * 32768) >> 8
      {0, 0, 0, kRgb, 32512, kUntouched},        // light square: (255 * 32640) >> 8
      {0, 0, 8, kRgb, 26010, kUntouched},        // dark square: (255 * 26112) >> 8
      {255, 16384, 8, kRgbAlpha, 29312, 32768},  // m = (16384 * 255) >> 15 = 127
  };
  for (const auto& c : cases) {
    uint16_t p[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    storeDialog(p, {32768, 0, 0}, c.alpha, c.mask, c.x, 0, c.layout);
    EXPECT_EQ(p[0], c.expectedRed) << c.mask << " " << c.alpha << " " << c.x;
    EXPECT_EQ(p[3], c.expectedAlpha);
  }
}

TEST(GlueOutput, DialogAtThirtyTwoBitsPutsTheCoverageInTheAlphaPlane) {
  float p[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
  storeDialog(p, {0.5f, 0.0f, 1.0f, 1.0f}, 255, 0, 0, kRgb);
  EXPECT_FLOAT_EQ(p[0], 0.5f);
  EXPECT_FLOAT_EQ(p[2], 1.0f);
  EXPECT_EQ(p[3], kUntouched);

  storeDialog(p, {0.5f, 0.0f, 1.0f, 0.5f}, 255, 8, 0, kRgbAlpha);
  EXPECT_FLOAT_EQ(p[0], 0.5f * 0.5f + 0.5f * 0.8f);
  EXPECT_FLOAT_EQ(p[3], 0.5f);

  storeDialog(p, {0.5f, 0.0f, 1.0f, 1.0f}, 51, 0, 0, kRgb);
  EXPECT_FLOAT_EQ(p[0], 0.2f * 0.5f + 0.8f * 1.0f);
}

TEST(GlueOutput, ConversionsBetweenDepths) {
  const std::pair<int32_t, int> from16[] = {{0, 0},       {126, 0},     {127, 1},
                                            {16384, 128}, {32638, 254}, {32639, 255},
                                            {32766, 255}, {32767, 255}, {32768, 255}};
  for (auto [v, expected] : from16) EXPECT_EQ(to8From16(v), expected) << v;

  const std::pair<float, int> fromFloat[] = {
      {0.0f, 0},   {0.01f, 25}, {0.25f, 127}, {1.0f, 255},
      {4.0f, 255}, {-1.0f, 0},  {1e30f, 255}, {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (auto [v, expected] : fromFloat) EXPECT_EQ(to8FromFloat(v), expected) << v;

  const std::pair<int32_t, int32_t> widen[] = {
      {0, 0}, {1, 128}, {128, 16448}, {254, 32639}, {255, 32768}};
  for (auto [v, expected] : widen) EXPECT_EQ(to16From8(v), expected) << v;
  EXPECT_EQ(to16FromFloat(0.5f), 16384);
  EXPECT_EQ(to16FromFloat(2.0f), 32768);
  EXPECT_EQ(to16FromFloat(-2.0f), 0);
}

TEST(GlueOutput, RasterTakesThePixelInItsOwnFormat) {
  TestRaster r8(4, 2, kFormatRgba8), r16(4, 2, kFormatRgba16), rf(4, 2, kFormatRgbaFloat);

  storeRaster(r8.raster, 1, 1, 8, {1, 2, 3}, 4);
  EXPECT_EQ(*reinterpret_cast<uint32_t*>(pixelAddress(r8.raster, 0, 1, 1)), 0x01020304u);
  storeRaster(r8.raster, 2, 0, 16, {32767, 127, 0}, 16384);
  const PixelValue a = getPixel(2, 0, r8.raster, 0);
  EXPECT_EQ((std::vector<float>{a.r, a.g, a.b, a.a}), (std::vector<float>{255, 1, 0, 128}));
  storeRaster(r8.raster, 3, 0, {0.25f, 1.0f, 0.0f, 1.0f});
  const PixelValue b = getPixel(3, 0, r8.raster, 0);
  EXPECT_EQ((std::vector<float>{b.r, b.g, b.b, b.a}), (std::vector<float>{127, 255, 0, 255}));

  storeRaster(r16.raster, 0, 0, 8, {255, 1, 0}, 255);
  const PixelValue c = getPixel(0, 0, r16.raster, 0);
  EXPECT_EQ((std::vector<float>{c.r, c.g, c.b, c.a}), (std::vector<float>{32768, 128, 0, 32768}));
  storeRaster(rf.raster, 0, 0, 16, {16384, 32768, 0}, 8192);
  const PixelValue d = getPixel(0, 0, rf.raster, 0);
  EXPECT_EQ((std::vector<float>{d.r, d.g, d.b, d.a}),
            (std::vector<float>{0.5f, 1.0f, 0.0f, 0.25f}));

  // Reading the image pixel back brings it to the image's depth.
  EXPECT_EQ(loadRaster(r8.raster, 1, 1, 8), (Channels{1, 2, 3}));
  EXPECT_EQ(loadRaster(r8.raster, 1, 1, 16), (Channels{128, 257, 385}));
  EXPECT_EQ(loadRaster(r16.raster, 0, 0, 8), (Channels{255, 1, 0}));
  EXPECT_EQ(loadRaster(rf.raster, 0, 0, 16), (Channels{16384, 32768, 0}));
}

}  // namespace
