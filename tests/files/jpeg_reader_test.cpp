#include "files/jpeg_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "tests/files/jpeg_test_support.h"

namespace {

struct Decoded {
  OSErr result;
  int32_t rows;
  std::vector<uint8_t> pixels;
};

// The target sits inside a larger block filled with 0xCD, with a gap after every row, so
// that any write outside it shows.
Decoded decode(const std::vector<uint8_t>& jpeg, int32_t width, int32_t height, int32_t channels) {
  const ptrdiff_t stride = width * channels + 8;
  std::vector<uint8_t> block(size_t(stride) * size_t(height) + 64, 0xCD);
  Decoded d{noErr, 0, {}};
  d.result = decompressJpeg(jpeg.data(), jpeg.size(), {block.data() + 32, width, height, channels, stride}, d.rows);
  for (size_t i = 0; i < block.size(); ++i) {
    const ptrdiff_t at = ptrdiff_t(i) - 32;
    const bool inside = at >= 0 && at < stride * height && at % stride < width * channels;
    if (!inside) EXPECT_EQ(block[i], 0xCD) << "written outside the target at " << at;
    else d.pixels.push_back(block[i]);
  }
  return d;
}

}  // namespace

TEST(JpegReader, ColourRoundTripIsClose) {
  const TestPicture picture = gradientPicture(64, 48);
  const Decoded d = decode(compressPicture(picture), 64, 48, 4);
  EXPECT_EQ(d.result, noErr);
  EXPECT_EQ(d.rows, 48);
  double error = 0;
  for (size_t i = 0; i < 64 * 48; ++i) {
    for (int c = 0; c < 3; ++c) error += std::abs(int(d.pixels[4 * i + size_t(c)]) - int(picture.rgb[3 * i + size_t(c)]));
    ASSERT_EQ(d.pixels[4 * i + 3], 255);
  }
  EXPECT_LT(error / (64 * 48 * 3), 2.0);
}

TEST(JpegReader, TheFourOutputCases) {
  const TestPicture picture = gradientPicture(40, 24);
  const std::vector<uint8_t> colour = compressPicture(picture), grey = stockJpeg(picture, true);
  const Decoded rgba = decode(colour, 40, 24, 4), colourToGrey = decode(colour, 40, 24, 1);
  const Decoded greyRgba = decode(grey, 40, 24, 4), greyGrey = decode(grey, 40, 24, 1);
  for (const Decoded* d : {&rgba, &colourToGrey, &greyRgba, &greyGrey}) {
    EXPECT_EQ(d->result, noErr);
    EXPECT_EQ(d->rows, 24);
  }
  for (size_t i = 0; i < 40 * 24; ++i) {
    const uint8_t* p = &rgba.pixels[4 * i];
    ASSERT_EQ(colourToGrey.pixels[i], (77 * p[0] + 150 * p[1] + 28 * p[2]) >> 8) << i;
    const uint8_t* g = &greyRgba.pixels[4 * i];
    ASSERT_EQ(g[0], greyGrey.pixels[i]) << i;
    ASSERT_EQ(g[1], g[0]);
    ASSERT_EQ(g[2], g[0]);
    ASSERT_EQ(g[3], 255);
    ASSERT_NEAR(greyGrey.pixels[i], picture.rgb[3 * i], 8) << i;
  }
}

TEST(JpegReader, PixelsOutsideTheTargetAreDropped) {
  const TestPicture picture = gradientPicture(64, 48);
  const std::vector<uint8_t> jpeg = compressPicture(picture);
  const Decoded full = decode(jpeg, 64, 48, 4);
  const Decoded small = decode(jpeg, 10, 7, 4);
  EXPECT_EQ(small.result, noErr);
  EXPECT_EQ(small.rows, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 10 * 4; ++x) ASSERT_EQ(small.pixels[size_t(y * 40 + x)], full.pixels[size_t(y * 256 + x)]);
  // A larger target keeps its own bytes where the picture does not reach.
  const Decoded large = decode(jpeg, 100, 60, 4);
  EXPECT_EQ(large.rows, 48);
  EXPECT_EQ(large.pixels[4 * 70], 0xCD);
  EXPECT_EQ(large.pixels[size_t(4 * (100 * 50))], 0xCD);
}

TEST(JpegReader, ABrokenOffStreamKeepsTheRowsBeforeTheBreak) {
  const TestPicture picture = gradientPicture(128, 128);
  const std::vector<uint8_t> jpeg = compressPicture(picture);
  const Decoded full = decode(jpeg, 128, 128, 4);
  const std::vector<uint8_t> half(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 6 / 10));
  const Decoded cut = decode(half, 128, 128, 4);
  EXPECT_EQ(cut.result, readErr);
  EXPECT_GT(cut.rows, 0);
  EXPECT_LT(cut.rows, 128);
  for (size_t i = 0; i < size_t(cut.rows) * 128 * 4; ++i) ASSERT_EQ(cut.pixels[i], full.pixels[i]) << i;
}

TEST(JpegReader, GarbageAndDamageEndInAnOrderlyWay) {
  const TestPicture picture = gradientPicture(128, 128);
  const std::vector<uint8_t> jpeg = compressPicture(picture);
  std::mt19937 random(8);
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> damaged = jpeg;
    const int flips = 1 + int(random() % 8);
    for (int f = 0; f < flips; ++f) damaged[random() % damaged.size()] = uint8_t(random());
    const Decoded d = decode(damaged, 128, 128, round % 2 ? 4 : 1);
    EXPECT_LE(d.rows, 128);
  }
  std::vector<uint8_t> noise(4000);
  for (uint8_t& b : noise) b = uint8_t(random());
  const Decoded d = decode(noise, 128, 128, 4);
  EXPECT_EQ(d.result, readErr);
  EXPECT_EQ(d.rows, 0);

  int32_t rows = 5;
  uint8_t pixel[4];
  EXPECT_EQ(decompressJpeg(nullptr, 0, {pixel, 1, 1, 4, 4}, rows), readErr);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(decompressJpeg(jpeg.data(), jpeg.size(), {pixel, 1, 1, 3, 3}, rows), readErr);
}

// A header that claims an enormous picture costs no more than the target's rows, or, when
// the whole picture must be held (progressive), is refused for its memory.
TEST(JpegReader, HugeClaimedSizeIsBounded) {
  const TestPicture small = gradientPicture(16, 16);
  struct Case {
    std::vector<uint8_t> jpeg;
    int32_t rows;
  } cases[] = {{compressPicture(small), 128}, {stockJpeg(small, false, true), 0}};
  for (const Case& c : cases) {
    const std::vector<uint8_t>& jpeg = c.jpeg;
    std::vector<uint8_t> huge = jpeg;
    for (size_t i = 2; i + 8 < huge.size(); ++i)
      if (huge[i] == 0xFF && (huge[i + 1] == 0xC0 || huge[i + 1] == 0xC2)) {  // length, precision, height, width
        huge[i + 5] = 0xFF, huge[i + 6] = 0xDC, huge[i + 7] = 0xFF, huge[i + 8] = 0xDC;
        break;
      }
    const Decoded d = decode(huge, 128, 128, 4);
    EXPECT_EQ(d.rows, c.rows);
  }
  const Decoded progressive = decode(stockJpeg(gradientPicture(64, 48), false, true), 64, 48, 4);
  EXPECT_EQ(progressive.result, noErr);
  EXPECT_EQ(progressive.rows, 48);
}
