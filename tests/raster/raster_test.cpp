#include "raster/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "fake_buffers.h"

namespace {

std::vector<int32_t> levelWidths(const Raster& r) {
  std::vector<int32_t> widths;
  for (int32_t l = 0; l <= r.lastLevel; ++l) widths.push_back(r.width[l]);
  return widths;
}

TEST(Raster, LevelSizesHalveAndStayEvenAboveTwo) {
  struct Case {
    int32_t width;
    std::vector<int32_t> widths;
  };
  const Case cases[] = {
      {1000, {1000, 500, 250, 126, 64, 32, 16, 8, 4, 2, 1}},
      {5, {5, 4, 2, 1}},
      {6, {6, 4, 2, 1}},
      {3, {3, 2, 1}},
      {1, {1}},
  };
  for (const Case& c : cases) {
    Raster r{};
    ASSERT_TRUE(createRaster(r, c.width, 1, kFormatGrey8, kEdgeClamp, false));
    EXPECT_EQ(levelWidths(r), c.widths) << "width " << c.width;
    releaseRaster(r);
  }
}

TEST(Raster, LevelsContinueUntilBothSidesReachOneAndStopAtTwenty) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 5, 1000, kFormatRgba8, kEdgeClamp, false));
  EXPECT_EQ(r.lastLevel, 10);
  EXPECT_EQ(levelWidths(r), (std::vector<int32_t>{5, 4, 2, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(r.height[3], 126);
  EXPECT_EQ(levelWidth(r, 99), 1);  // clamped to Lmax
  EXPECT_EQ(levelHeight(r, -1), 1000);
  EXPECT_FLOAT_EQ(levelHeightReciprocal(r, 0), 0.001f);
  EXPECT_FLOAT_EQ(levelWidthReciprocal(r, 1), 0.25f);

  ASSERT_TRUE(createRaster(r, 1 << 21, 1, kFormatGrey8, kEdgeClamp, false));
  EXPECT_EQ(r.lastLevel, kMaxLevels - 1);
  EXPECT_EQ(r.width[kMaxLevels - 1], 4);
  releaseRaster(r);
}

TEST(Raster, TilesCoverTheLevelRowByRow) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 513, 1030, kFormatRgba16, kEdgeClamp, false));
  EXPECT_EQ(r.tilesPerRow[0], 2);
  EXPECT_EQ(levelTileCount(r, 0), 6);
  PixelRect second = tileRect(r, 1);
  EXPECT_EQ(second.x, 512);
  EXPECT_EQ(second.width, 1);
  EXPECT_EQ(second.height, 512);
  PixelRect last = tileRect(r, 5);
  EXPECT_EQ(last.y, 1024);
  EXPECT_EQ(last.height, 6);
  // Level 1 (258 x 516) starts right after level 0.
  EXPECT_EQ(r.firstTile[1], 6);
  EXPECT_EQ(tileRect(r, 7).y, 512);
  EXPECT_EQ(tileRect(r, 7).height, 4);
  EXPECT_EQ(tileRect(r, r.tileCount).width, 0);

  // With the border a 511-wide level needs two tiles, but only 511 pixels are image.
  ASSERT_TRUE(createRaster(r, 511, 2, kFormatGrey8, kEdgeClamp, true));
  EXPECT_EQ(r.bytesPerPixel, 4);
  EXPECT_EQ(r.tilesPerRow[0], 2);
  EXPECT_EQ(r.tiles[1].stride, 1);
  EXPECT_EQ(tileRect(r, 0).width, 511);
  EXPECT_EQ(tileRect(r, 1).width, 0);
  releaseRaster(r);
}

TEST(Raster, BadArgumentsLeaveItEmpty) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 10, 10, kFormatRgba8, kEdgeClamp, false));
  const int32_t bad[][3] = {{0, 5, kFormatRgba8}, {5, -1, kFormatRgba8}, {5, 5, 6}, {5, 5, 10}};
  for (const auto& b : bad) {
    EXPECT_FALSE(createRaster(r, b[0], b[1], b[2], kEdgeClamp, false));
    EXPECT_FALSE(rasterExists(r));
    EXPECT_EQ(r.width[0], 0);
  }
  EXPECT_FALSE(createRaster(r, 5, 5, kFormatRgba8, 3, false));
  EXPECT_EQ(getPixel(0, 0, r, 0).a, 0.0f);
  releaseRaster(r);  // safe on an empty raster
}

TEST(Raster, EveryBufferGoesThroughTheHostAndComesBackZeroed) {
  FakeBufferScope scope;
  BufferProcs procs = fakeBufferProcs();
  Raster r{};
  r.memory = &procs;
  ASSERT_TRUE(createRaster(r, 1100, 600, kFormatRgba8, kEdgeClamp, false));
  EXPECT_EQ(fakeBuffers.allocated, r.tileCount + 1);  // the tiles and the tile table
  EXPECT_EQ(fakeBuffers.systemAllocated, 0);
  for (int32_t t = 0; t < r.tileCount; ++t) {
    const RasterTile& tile = r.tiles[t];
    const uint8_t* p = static_cast<const uint8_t*>(tile.buffer.data);
    size_t bytes = size_t(tile.stride) * size_t(tile.height) * 4;
    ASSERT_EQ(std::count(p, p + bytes, 0), ptrdiff_t(bytes)) << "tile " << t;
  }
  releaseRaster(r);
  EXPECT_EQ(fakeBuffers.live(), 0);
  EXPECT_EQ(r.memory, &procs);  // the owner's service stays for the next creation
}

TEST(Raster, AllocationFailingMidwayReleasesEverything) {
  FakeBufferScope scope;
  BufferProcs procs = fakeBufferProcs();
  for (int granted : {0, 1, 5}) {
    fakeBuffers = FakeBuffers{};
    fakeBuffers.refuseAfter = granted;
    fakeBuffers.systemRefuses = true;
    Raster r{};
    r.memory = &procs;
    EXPECT_FALSE(createRaster(r, 2000, 1500, kFormatRgba8, kEdgeClamp, false));
    EXPECT_FALSE(rasterExists(r));
    EXPECT_EQ(r.tiles, nullptr);
    EXPECT_EQ(fakeBuffers.allocated, granted);
    EXPECT_EQ(fakeBuffers.live(), 0) << granted << " buffers granted";
  }
  // Once the host refuses, the system's memory takes over.
  fakeBuffers = FakeBuffers{};
  fakeBuffers.refuseAfter = 3;
  Raster r{};
  r.memory = &procs;
  ASSERT_TRUE(createRaster(r, 2000, 1500, kFormatRgba8, kEdgeClamp, false));
  EXPECT_EQ(fakeBuffers.systemAllocated, r.tileCount + 1 - 3);
  releaseRaster(r);
  EXPECT_EQ(fakeBuffers.live(), 0);
}

TEST(Raster, PixelsRoundTripInEveryFormat) {
  struct Case {
    int32_t format;
    PixelValue expected;
  };
  const Case cases[] = {
      {kFormatGrey8, {1, 1, 1, 255}},
      {kFormatRgba8, {1, 2, 3, 4}},
      {kFormatGrey16, {1000, 1000, 1000, 32768}},
      {kFormatRgba16, {1000, 2000, 3000, 32768}},
      {kFormatRgb16, {1000, 2000, 3000, 1}},
      {kFormatGreyFloat, {0.25f, 0.25f, 0.25f, 1}},
      {kFormatRgbaFloat, {0.25f, 0.5f, 0.75f, 1}},
  };
  for (const Case& c : cases) {
    for (bool border : {false, true}) {
      Raster r{};
      ASSERT_TRUE(createRaster(r, 600, 3, c.format, kEdgeClamp, border));
      setPixel(520, 2, r, 0, 1, 2, 3, 4);
      setPixel16(520, 2, r, 0, 1000, 2000, 3000, 32768);
      setPixelFloat(520, 2, r, 0, 0.25f, 0.5f, 0.75f, 1.0f);
      PixelValue v = getPixel(520, 2, r, 0);
      EXPECT_EQ(v.r, c.expected.r) << "format " << c.format << " border " << border;
      EXPECT_EQ(v.g, c.expected.g) << "format " << c.format;
      EXPECT_EQ(v.b, c.expected.b) << "format " << c.format;
      EXPECT_EQ(v.a, c.expected.a) << "format " << c.format;
      EXPECT_EQ(getPixel(519, 2, r, 0).r, 0.0f) << "format " << c.format;
      releaseRaster(r);
    }
  }
}

TEST(Raster, PackedWordHasRedOnTop) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 4, 4, kFormatRgba8, kEdgeClamp, false));
  setPixel(1, 2, r, 0, 1, 2, 3, 4);
  uint32_t word;
  std::memcpy(&word, pixelAddress(r, 0, 1, 2), 4);
  EXPECT_EQ(word, 0x01020304u);
  releaseRaster(r);
}

TEST(Raster, WritesOutsideAreIgnoredAndReadsClamped) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 3, 2, kFormatRgba8, kEdgeClamp, false));
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) setPixel(x, y, r, 0, uint8_t(10 * y + x), 0, 0, 255);
  const int32_t outside[][3] = {{-1, 0, 0}, {3, 0, 0}, {0, -1, 0}, {0, 2, 0}, {0, 0, 5}, {0, 0, -1}};
  for (const auto& o : outside) setPixel(o[0], o[1], r, o[2], 99, 99, 99, 99);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(getPixel(x, y, r, 0).r, float(10 * y + x));
  for (int32_t level = 1; level <= r.lastLevel; ++level) EXPECT_EQ(getPixel(0, 0, r, level).r, 0.0f);

  EXPECT_EQ(getPixel(-7, 1, r, 0).r, 10.0f);
  EXPECT_EQ(getPixel(40, -3, r, 0).r, 2.0f);
  EXPECT_EQ(getPixel(INT32_MAX, INT32_MAX, r, -4).r, 12.0f);
  releaseRaster(r);
}

TEST(Raster, LoadTileConvertsHostRows) {
  struct Case {
    const char* name;
    int32_t depth, format, planes;
    bool grey, alpha;
    PixelValue expected;  // of the host pixel with components 1, 2, 3, 4, ...
  };
  const Case cases[] = {
      {"rgb 8", 8, kFormatRgba8, 3, false, false, {1, 2, 3, 255}},
      {"rgba 8 with an extra plane", 8, kFormatRgba8, 5, false, true, {1, 2, 3, 4}},
      {"grey 8 with alpha", 8, kFormatRgba8, 2, true, true, {1, 1, 1, 2}},
      {"rgb 16", 16, kFormatRgba16, 3, false, false, {1, 2, 3, 32768}},
      {"grey 16 with alpha", 16, kFormatRgba16, 2, true, true, {1, 1, 1, 2}},
      {"grey 32", 32, kFormatRgbaFloat, 1, true, false, {1, 1, 1, 1}},
      {"rgba 32", 32, kFormatRgbaFloat, 4, false, true, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    Raster r{};
    ASSERT_TRUE(createRaster(r, 600, 520, c.format, kEdgeClamp, false));
    PixelRect rect = tileRect(r, 3);  // 88 x 8 at (512, 512)
    int32_t component = c.depth / 8;
    int32_t rowBytes = rect.width * c.planes * component + 7;  // rows padded by the host
    std::vector<uint8_t> host(size_t(rowBytes) * size_t(rect.height));
    for (int32_t y = 0; y < rect.height; ++y) {
      for (int32_t x = 0; x < rect.width; ++x) {
        for (int32_t p = 0; p < c.planes; ++p) {
          uint8_t* at = host.data() + y * rowBytes + (x * c.planes + p) * component;
          float value = float(p + 1) + (x == 5 && y == 2 ? 10.0f : 0.0f);
          if (c.depth == 8) *at = uint8_t(value);
          if (c.depth == 16) {
            uint16_t v = uint16_t(value);
            std::memcpy(at, &v, 2);
          }
          if (c.depth == 32) std::memcpy(at, &value, 4);
        }
      }
    }
    HostRows rows{host.data(), rowBytes, c.planes, c.depth, c.grey, c.alpha};
    ASSERT_TRUE(loadTile(r, 3, rows)) << c.name;
    PixelValue v = getPixel(512 + 87, 512 + 7, r, 0);
    EXPECT_EQ(v.r, c.expected.r) << c.name;
    EXPECT_EQ(v.g, c.expected.g) << c.name;
    EXPECT_EQ(v.b, c.expected.b) << c.name;
    EXPECT_EQ(v.a, c.expected.a) << c.name;
    EXPECT_EQ(getPixel(512 + 5, 512 + 2, r, 0).r, c.expected.r + 10.0f) << c.name;
    EXPECT_EQ(getPixel(511, 511, r, 0).r, 0.0f) << c.name;

    // Another depth, or too few planes for what the rows claim, leave the tile alone.
    HostRows otherDepth = rows;
    otherDepth.depth = c.depth == 8 ? 16 : 8;
    HostRows fewPlanes = rows;
    fewPlanes.alpha = true;
    fewPlanes.planes = c.grey ? 1 : 3;
    setPixel(512, 512, r, 0, 0, 0, 0, 0);
    setPixel16(512, 512, r, 0, 0, 0, 0, 0);
    setPixelFloat(512, 512, r, 0, 0, 0, 0, 0);
    EXPECT_FALSE(loadTile(r, 3, otherDepth)) << c.name;
    EXPECT_FALSE(loadTile(r, 3, fewPlanes)) << c.name;
    EXPECT_EQ(getPixel(512, 512, r, 0).r, 0.0f) << c.name;
    releaseRaster(r);
  }
}

TEST(Raster, CopyNeedsTheSameLayout) {
  Raster a{}, b{}, c{};
  ASSERT_TRUE(createRaster(a, 600, 40, kFormatRgba8, kEdgeClamp, false));
  ASSERT_TRUE(createRaster(b, 600, 40, kFormatRgba8, kEdgeNoPyramid, false));
  ASSERT_TRUE(createRaster(c, 600, 41, kFormatRgba8, kEdgeClamp, false));
  setPixel(599, 39, a, 0, 9, 8, 7, 6);
  setPixel(1, 1, a, 3, 5, 5, 5, 5);
  ASSERT_TRUE(copyRaster(a, b));
  EXPECT_EQ(getPixel(599, 39, b, 0).g, 8.0f);
  EXPECT_EQ(getPixel(1, 1, b, 3).r, 5.0f);
  EXPECT_FALSE(copyRaster(a, c));
  EXPECT_EQ(getPixel(599, 39, c, 0).g, 0.0f);
  releaseRaster(a);
  releaseRaster(b);
  releaseRaster(c);
}

}  // namespace
