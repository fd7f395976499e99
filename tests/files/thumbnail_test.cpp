#include "files/thumbnail.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "files/jpeg_writer.h"
#include "tests/files/thumbnail_test_support.h"

namespace {

std::vector<uint8_t> encoded(const Raster& thumbnail) {
  std::vector<uint8_t> out(jpegBufferSize(kThumbnailSide, kThumbnailSide));
  size_t length = 0;
  EXPECT_EQ(encodeThumbnail(thumbnail, out.data(), out.size(), length), noErr);
  out.resize(length);
  return out;
}

}  // namespace

TEST(Thumbnail, BlankIsAGreyFadeDownwards) {
  TestThumbnail t;
  paintPattern(t.raster);
  resetToBlankThumbnail(t.raster);
  for (int32_t y : {0, 1, 64, 127})
    for (int32_t x : {0, 77, 127}) {
      const PixelValue p = getPixel(x, y, t.raster, 0);
      EXPECT_EQ(p.r, 255 - y);
      EXPECT_EQ(p.g, 255 - y);
      EXPECT_EQ(p.b, 255 - y);
      EXPECT_EQ(p.a, 255);
    }
  // The reduced levels follow: the 2 x 2 level is a lighter top over a darker bottom.
  const int32_t last = t.raster.lastLevel;
  EXPECT_GT(getPixel(0, 0, t.raster, last - 1).r, getPixel(0, 1, t.raster, last - 1).r);
}

TEST(Thumbnail, RoundTripThroughJpeg) {
  TestThumbnail original, loaded;
  paintPattern(original.raster);
  const std::vector<uint8_t> jpeg = encoded(original.raster);
  ASSERT_GT(jpeg.size(), 100u);
  ASSERT_TRUE(decodeThumbnail(jpeg.data(), jpeg.size(), 128, 128, loaded.raster));
  EXPECT_LT(meanDifference(original.raster, loaded.raster), 2.0);
  EXPECT_EQ(getPixel(5, 5, loaded.raster, 0).a, 255);
}

TEST(Thumbnail, OtherSizesAreScaledToFill) {
  TestThumbnail loaded;
  // A 64 x 32 picture: left half red, right half blue.
  std::vector<uint8_t> rgba(64 * 32 * 4);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = &rgba[4 * size_t(y * 64 + x)];
      p[0] = x < 32 ? 250 : 0;
      p[1] = 0;
      p[2] = x < 32 ? 0 : 250;
      p[3] = 255;
    }
  Raster withoutKernels{};
  ASSERT_TRUE(createRaster(withoutKernels, kThumbnailSide, kThumbnailSide, kFormatRgba8, kEdgeClamp, false));
  EXPECT_FALSE(placeThumbnail(rgba.data(), 64, 32, withoutKernels));
  releaseRaster(withoutKernels);
  ASSERT_TRUE(placeThumbnail(rgba.data(), 64, 32, loaded.raster));
  for (int32_t y : {2, 64, 125}) {
    EXPECT_NEAR(getPixel(10, y, loaded.raster, 0).r, 250, 3) << y;
    EXPECT_NEAR(getPixel(10, y, loaded.raster, 0).b, 0, 3) << y;
    EXPECT_NEAR(getPixel(117, y, loaded.raster, 0).b, 250, 3) << y;
  }
}

TEST(Thumbnail, DamagedStreamKeepsWhatWasDecoded) {
  TestThumbnail original, loaded;
  paintPattern(original.raster);
  std::vector<uint8_t> jpeg = encoded(original.raster);
  jpeg.resize(jpeg.size() / 2);
  ASSERT_TRUE(decodeThumbnail(jpeg.data(), jpeg.size(), 128, 128, loaded.raster));
  // The top rows are the picture, the bottom row is still the blank fade.
  EXPECT_NEAR(getPixel(60, 0, loaded.raster, 0).r, 120, 6);
  EXPECT_NEAR(getPixel(60, 0, loaded.raster, 0).g, 255, 6);
  const PixelValue bottom = getPixel(60, 127, loaded.raster, 0);
  EXPECT_EQ(bottom.r, 128);
  EXPECT_EQ(bottom.g, 128);
}

TEST(Thumbnail, NothingDecodableChangesNothing) {
  TestThumbnail original, loaded;
  paintPattern(original.raster);
  const std::vector<uint8_t> jpeg = encoded(original.raster);
  const std::vector<uint8_t> garbage(500, 0x5A);
  struct Case {
    const std::vector<uint8_t>* data;
    int32_t width, height;
  } cases[] = {{&garbage, 128, 128}, {&jpeg, 0, 128}, {&jpeg, 128, -1}, {&jpeg, 129, 128}};
  for (const Case& c : cases) {
    EXPECT_FALSE(decodeThumbnail(c.data->data(), c.data->size(), c.width, c.height, loaded.raster));
    EXPECT_EQ(getPixel(60, 100, loaded.raster, 0).r, 155);  // still blank
  }
  Raster none{};
  EXPECT_FALSE(decodeThumbnail(jpeg.data(), jpeg.size(), 128, 128, none));
  size_t length = 1;
  std::vector<uint8_t> out(100000);
  EXPECT_EQ(encodeThumbnail(none, out.data(), out.size(), length), writErr);
}

TEST(Thumbnail, RasterPixelsOfEveryDepthBecomeBytes) {
  Raster deep{};
  ASSERT_TRUE(createRaster(deep, 3, 1, kFormatRgba16, kEdgeNoPyramid, false));
  setPixel16(0, 0, deep, 0, 32768, 16384, 0, 32768);
  setPixel16(1, 0, deep, 0, 40000, 1, 128, 32768);  // beyond full scale clamps
  Raster floats{};
  ASSERT_TRUE(createRaster(floats, 3, 1, kFormatRgbaFloat, kEdgeNoPyramid, false));
  setPixelFloat(0, 0, floats, 0, 1.0f, 0.5f, -0.25f, 1.0f);
  uint8_t rgb[9] = {};
  JpegSource source = rasterJpegSource(deep);
  EXPECT_EQ(source.width, 3);
  EXPECT_EQ(source.height, 1);
  source.readRow(source.context, 0, 2, rgb);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 127);
  EXPECT_EQ(rgb[2], 0);
  EXPECT_EQ(rgb[3], 255);
  EXPECT_EQ(rgb[4], 0);
  EXPECT_EQ(rgb[5], 0);
  source = rasterJpegSource(floats);
  source.readRow(source.context, 0, 1, rgb);
  EXPECT_EQ(rgb[0], 255);
  EXPECT_EQ(rgb[1], 127);
  EXPECT_EQ(rgb[2], 0);
  releaseRaster(deep);
  releaseRaster(floats);
}
