// Thumbnails taken from the preview as the host holds it: which part is taken, and the same
// picture from every depth.
#include "dialog/thumbnail_capture.h"

#include <gtest/gtest.h>

#include <vector>

#include "render/depth_conversions.h"
#include "tests/files/thumbnail_test_support.h"

namespace {

// A 300 x 200 view whose top-left 200 x 200 square is a green-to-blue fade and whose other
// 100 columns are pure red, at every depth from the same 8-bit values.
struct View {
  int32_t width = 300, height = 200, planes;
  std::vector<uint8_t> bytes8;
  std::vector<uint16_t> bytes16;
  std::vector<float> floats;
  explicit View(int32_t planeCount) : planes(planeCount) {
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        for (int32_t p = 0; p < planes; ++p) {
          const bool square = x < 200;
          const uint8_t v = p == 0 ? (square ? uint8_t(x / 2) : 255) : square ? uint8_t(p == 1 ? y : 255 - y) : 0;
          bytes8.push_back(v);
          bytes16.push_back(uint16_t(to16From8(v)));
          // Half a step above the value: the display's truncation gives the value back.
          floats.push_back((float(v) + 0.5f) / 255.0f);
        }
  }
  PreviewPixels at(int32_t depth) const {
    const void* data = depth == 8 ? static_cast<const void*>(bytes8.data())
                       : depth == 16 ? static_cast<const void*>(bytes16.data())
                                     : static_cast<const void*>(floats.data());
    return {data, width * planes * (depth / 8), width, height, planes, depth};
  }
};

std::vector<uint8_t> pixels(const Raster& r) {
  std::vector<uint8_t> out(size_t(kThumbnailSide) * kThumbnailSide * 3);
  thumbnailRgb(r, out.data());
  return out;
}

TEST(ThumbnailCapture, TheTopLeftSquareOfAWideViewAtEveryDepth) {
  const View view(3);
  TestThumbnail eight, sixteen, floating;
  ASSERT_TRUE(captureThumbnail(view.at(8), eight.raster));
  ASSERT_TRUE(captureThumbnail(view.at(16), sixteen.raster));
  ASSERT_TRUE(captureThumbnail(view.at(32), floating.raster));
  // Nothing of the red columns right of the square; its corners where the fade puts them.
  for (int32_t y = 0; y < kThumbnailSide; y += 9)
    for (int32_t x = 0; x < kThumbnailSide; x += 9) ASSERT_LT(getPixel(x, y, eight.raster, 0).r, 110) << x << "," << y;
  EXPECT_LT(getPixel(0, 0, eight.raster, 0).g, 8);
  EXPECT_GT(getPixel(0, 127, eight.raster, 0).g, 190);
  EXPECT_GT(getPixel(127, 127, eight.raster, 0).r, 90);
  EXPECT_EQ(getPixel(60, 60, eight.raster, 0).a, 255);
  EXPECT_EQ(pixels(sixteen.raster), pixels(eight.raster));
  EXPECT_EQ(pixels(floating.raster), pixels(eight.raster));
}

TEST(ThumbnailCapture, GreyPreviewsAndTallViews) {
  View grey(1);
  TestThumbnail thumbnail;
  ASSERT_TRUE(captureThumbnail(grey.at(16), thumbnail.raster));
  for (int32_t x : {0, 64, 127}) {
    const PixelValue p = getPixel(x, 40, thumbnail.raster, 0);
    EXPECT_EQ(p.r, p.g);
    EXPECT_EQ(p.g, p.b);
  }
  // A view standing on end is taken from its top: the square is as wide as the view.
  std::vector<uint8_t> tall(size_t(50) * 120 * 3, 0);
  for (size_t i = size_t(50) * 50 * 3; i < tall.size(); ++i) tall[i] = 255;  // white below row 50
  ASSERT_TRUE(captureThumbnail({tall.data(), 150, 50, 120, 3, 8}, thumbnail.raster));
  EXPECT_LT(getPixel(64, 127, thumbnail.raster, 0).r, 30);

  // No preview: the blank gradient stays.
  paintPattern(thumbnail.raster);
  EXPECT_FALSE(captureThumbnail({nullptr, 0, 0, 0, 3, 8}, thumbnail.raster));
  EXPECT_EQ(getPixel(3, 10, thumbnail.raster, 0).r, 245);
}

}  // namespace
