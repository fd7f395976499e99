#include "raster/raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A host buffer service that hands out junk-filled buffers (hosts give no zeroed memory) and
// refuses after `refuseAfter` of them; the system fallback can refuse too.
struct Buffers {
  int granted = 0, freed = 0, refuseAfter = 1 << 30, system = 0;
  bool systemRefuses = false;
} buffers;

OSErr hostAllocate(int32_t size, BufferID* id) {
  if (buffers.granted >= buffers.refuseAfter) return memFullErr;
  void* block = std::malloc(size_t(size));
  std::memset(block, 0xAB, size_t(size));
  *id = reinterpret_cast<BufferID>(block);
  ++buffers.granted;
  return noErr;
}
Ptr hostLock(BufferID id, Boolean) { return reinterpret_cast<Ptr>(id); }
void hostUnlock(BufferID) {}
void hostFree(BufferID id) {
  std::free(id);
  ++buffers.freed;
}
void* systemAllocateOrRefuse(size_t size) {
  if (buffers.systemRefuses) return nullptr;
  ++buffers.system;
  return std::calloc(1, size);
}

std::vector<int32_t> widths(const Raster& r) {
  return std::vector<int32_t>(r.width, r.width + r.lastLevel + 1);
}

TEST(Raster, LevelSizesHalveAndStayEvenAboveTwo) {
  const std::pair<int32_t, std::vector<int32_t>> cases[] = {
      {1000, {1000, 500, 250, 126, 64, 32, 16, 8, 4, 2, 1}},
      {5, {5, 4, 2, 1}},
      {6, {6, 4, 2, 1}},
      {1, {1}}};
  Raster r{};
  for (const auto& [width, expected] : cases) {
    ASSERT_TRUE(createRaster(r, width, 1, kFormatGrey8, kEdgeClamp, false));
    EXPECT_EQ(widths(r), expected) << width;
  }
  // Levels go on until both sides are 1, and stop at twenty.
  ASSERT_TRUE(createRaster(r, 5, 1000, kFormatRgba8, kEdgeClamp, false));
  EXPECT_EQ(widths(r), (std::vector<int32_t>{5, 4, 2, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(levelHeight(r, 3), 126);
  EXPECT_EQ(levelWidth(r, 99), 1);  // clamped to Lmax
  EXPECT_FLOAT_EQ(levelHeightReciprocal(r, -1), 0.001f);
  EXPECT_FLOAT_EQ(levelWidthReciprocal(r, 1), 0.25f);
  ASSERT_TRUE(createRaster(r, 1 << 21, 1, kFormatGrey8, kEdgeClamp, false));
  EXPECT_EQ(r.lastLevel, kMaxLevels - 1);
  EXPECT_EQ(r.width[kMaxLevels - 1], 4);
  releaseRaster(r);
}

TEST(Raster, TilesCoverTheLevelsRowByRow) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 513, 1030, kFormatRgba16, kEdgeClamp, false));
  EXPECT_EQ(levelTileCount(r, 0), 6);
  const PixelRect second = tileRect(r, 1), last = tileRect(r, 5), level1 = tileRect(r, 7);
  EXPECT_EQ((std::vector<int32_t>{second.x, second.width, second.height}),
            (std::vector<int32_t>{512, 1, 512}));
  EXPECT_EQ((std::vector<int32_t>{last.y, last.height}), (std::vector<int32_t>{1024, 6}));
  EXPECT_EQ(r.firstTile[1], 6);  // level 1 is 258 x 516
  EXPECT_EQ((std::vector<int32_t>{level1.y, level1.height}), (std::vector<int32_t>{512, 4}));
  EXPECT_EQ(tileRect(r, r.tileCount).width, 0);

  // The border widens the tiling only: a 511-wide level needs two tiles of which one is
  // all border.
  ASSERT_TRUE(createRaster(r, 511, 2, kFormatGrey8, kEdgeClamp, true));
  EXPECT_EQ(r.bytesPerPixel, 4);
  EXPECT_EQ(r.tiles[1].stride, 1);
  EXPECT_EQ(tileRect(r, 0).width, 511);
  EXPECT_EQ(tileRect(r, 1).width, 0);
  releaseRaster(r);
}

TEST(Raster, BadArgumentsLeaveItEmpty) {
  Raster r{};
  const int32_t bad[][4] = {{0, 5, kFormatRgba8, 0},
                            {5, -1, kFormatRgba8, 0},
                            {5, 5, 6, 0},
                            {5, 5, 10, 0},
                            {5, 5, 3, 3},
                            {kMaxRasterSide + 1, 1, 0, 0}};
  for (const auto& b : bad) {
    ASSERT_TRUE(createRaster(r, 10, 10, kFormatRgba8, kEdgeClamp, false));
    EXPECT_FALSE(createRaster(r, b[0], b[1], b[2], b[3], false));
    EXPECT_FALSE(rasterExists(r));
    EXPECT_EQ(r.width[0], 0);
    EXPECT_EQ(getPixel(0, 0, r, 0).a, 0.0f);
  }
  releaseRaster(r);  // safe on an empty raster
}

TEST(Raster, BuffersComeFromTheHostZeroedAndAllGoBackOnFailure) {
  void* (*previous)(size_t) = systemAllocate;
  systemAllocate = systemAllocateOrRefuse;
  BufferProcs procs{};
  procs.allocateProc = hostAllocate;
  procs.lockProc = hostLock;
  procs.unlockProc = hostUnlock;
  procs.freeProc = hostFree;
  struct Case {
    int refuseAfter;
    bool systemRefuses, created;
  };
  for (const Case& c : {Case{1 << 30, false, true}, Case{0, true, false}, Case{1, true, false},
                        Case{5, true, false}, Case{3, false, true}}) {
    buffers = {};
    buffers.refuseAfter = c.refuseAfter;
    buffers.systemRefuses = c.systemRefuses;
    Raster r{};
    r.memory = &procs;
    ASSERT_EQ(createRaster(r, 2000, 1500, kFormatRgba8, kEdgeClamp, false), c.created)
        << c.refuseAfter;
    if (c.created) {
      // The tiles and the table, from the host until it refuses, then from the system.
      EXPECT_EQ(buffers.granted + buffers.system, r.tileCount + 1);
      for (int32_t t = 0; t < r.tileCount; ++t) {
        const uint8_t* p = static_cast<const uint8_t*>(r.tiles[t].buffer.data);
        size_t bytes = size_t(r.tiles[t].stride) * size_t(r.tiles[t].height) * 4;
        ASSERT_EQ(std::count(p, p + bytes, 0), ptrdiff_t(bytes)) << "tile " << t;
      }
    }
    releaseRaster(r);
    EXPECT_FALSE(rasterExists(r));
    if (!c.created) {
      EXPECT_EQ(buffers.granted, c.refuseAfter);
    }
    EXPECT_EQ(buffers.freed, buffers.granted) << c.refuseAfter;
    EXPECT_EQ(r.memory, &procs);  // the owner's service stays for the next creation
  }
  systemAllocate = previous;
}

TEST(Raster, PixelsRoundTripInEveryFormat) {
  const std::pair<int32_t, PixelValue> cases[] = {{kFormatGrey8, {1, 1, 1, 255}},
                                                  {kFormatRgba8, {1, 2, 3, 4}},
                                                  {kFormatGrey16, {1000, 1000, 1000, 32768}},
                                                  {kFormatRgba16, {1000, 2000, 3000, 32768}},
                                                  {kFormatRgb16, {1000, 2000, 3000, 1}},
                                                  {kFormatGreyFloat, {0.25f, 0.25f, 0.25f, 1}},
                                                  {kFormatRgbaFloat, {0.25f, 0.5f, 0.75f, 1}}};
  for (const auto& [format, expected] : cases) {
    for (bool border : {false, true}) {
      Raster r{};
      ASSERT_TRUE(createRaster(r, 600, 3, format, kEdgeClamp, border));
      // Only the setter of the format's kind writes.
      setPixel(520, 2, r, 0, 1, 2, 3, 4);
      setPixel16(520, 2, r, 0, 1000, 2000, 3000, 32768);
      setPixelFloat(520, 2, r, 0, 0.25f, 0.5f, 0.75f, 1.0f);
      const PixelValue v = getPixel(520, 2, r, 0);
      EXPECT_EQ((std::vector<float>{v.r, v.g, v.b, v.a}),
                (std::vector<float>{expected.r, expected.g, expected.b, expected.a}))
          << "format " << format << " border " << border;
      EXPECT_EQ(getPixel(519, 2, r, 0).r, 0.0f) << format;
      if (format == kFormatRgba8) {
        uint32_t word;
        std::memcpy(&word, pixelAddress(r, 0, 520, 2), 4);
        EXPECT_EQ(word, 0x01020304u);
      }
      releaseRaster(r);
    }
  }
}

TEST(Raster, WritesOutsideAreIgnoredAndReadsClamped) {
  Raster r{};
  ASSERT_TRUE(createRaster(r, 3, 2, kFormatRgba8, kEdgeClamp, false));
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) setPixel(x, y, r, 0, uint8_t(10 * y + x), 0, 0, 255);
  const int32_t outside[][3] = {{-1, 0, 0}, {3, 0, 0}, {0, -1, 0},
                                {0, 2, 0},  {0, 0, 5}, {0, 0, -1}};
  for (const auto& o : outside) setPixel(o[0], o[1], r, o[2], 99, 99, 99, 99);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(getPixel(x, y, r, 0).r, float(10 * y + x));
  for (int32_t level = 1; level <= r.lastLevel; ++level)
    EXPECT_EQ(getPixel(0, 0, r, level).r, 0.0f);
  EXPECT_EQ(getPixel(-7, 1, r, 0).r, 10.0f);
  EXPECT_EQ(getPixel(40, -3, r, 0).r, 2.0f);
  EXPECT_EQ(getPixel(INT32_MAX, INT32_MAX, r, -4).r, 12.0f);
  releaseRaster(r);
}

TEST(Raster, LoadTileConvertsHostRows) {
  struct Case {
    int32_t depth, format, planes;
    bool grey, alpha;
    PixelValue expected;  // of host components 1, 2, 3, ...
  };
  const Case cases[] = {
      {8, kFormatRgba8, 3, false, false, {1, 2, 3, 255}},
      {8, kFormatRgba8, 5, false, true, {1, 2, 3, 4}},
      {8, kFormatRgba8, 2, true, true, {1, 1, 1, 2}},
      {16, kFormatRgba16, 3, false, false, {1, 2, 3, 32768}},
      {16, kFormatRgba16, 2, true, true, {1, 1, 1, 2}},
      {32, kFormatRgbaFloat, 1, true, false, {1, 1, 1, 1}},
      {32, kFormatRgbaFloat, 4, false, true, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    Raster r{};
    ASSERT_TRUE(createRaster(r, 600, 520, c.format, kEdgeClamp, false));
    const PixelRect rect = tileRect(r, 3);  // 88 x 8 at (512, 512)
    const int32_t size = c.depth / 8, rowBytes = rect.width * c.planes * size + 7;  // padded rows
    std::vector<uint8_t> host(size_t(rowBytes) * size_t(rect.height));
    for (int32_t y = 0; y < rect.height; ++y) {
      for (int32_t x = 0; x < rect.width; ++x) {
        for (int32_t p = 0; p < c.planes; ++p) {
          uint8_t* at = host.data() + y * rowBytes + (x * c.planes + p) * size;
          const float value = float(p + 1) + (x == 5 && y == 2 ? 10.0f : 0.0f);
          const uint16_t v16 = uint16_t(value);
          if (c.depth == 8) *at = uint8_t(value);
          if (c.depth == 16) std::memcpy(at, &v16, 2);
          if (c.depth == 32) std::memcpy(at, &value, 4);
        }
      }
    }
    const HostRows rows{host.data(), rowBytes, c.planes, c.depth, c.grey, c.alpha};
    ASSERT_TRUE(loadTile(r, 3, rows)) << c.depth << " " << c.planes;
    const PixelValue v = getPixel(599, 519, r, 0);
    EXPECT_EQ((std::vector<float>{v.r, v.g, v.b, v.a}),
              (std::vector<float>{c.expected.r, c.expected.g, c.expected.b, c.expected.a}))
        << c.depth << " " << c.planes;
    EXPECT_EQ(getPixel(517, 514, r, 0).r, c.expected.r + 10.0f);
    EXPECT_EQ(getPixel(511, 511, r, 0).r, 0.0f);

    // Another depth, or fewer planes than the rows claim, leave the tile alone.
    HostRows otherDepth = rows, fewPlanes = rows;
    otherDepth.depth = c.depth == 8 ? 16 : 8;
    fewPlanes.alpha = true;
    fewPlanes.planes = c.grey ? 1 : 3;
    host.assign(host.size(), 0x11);
    EXPECT_FALSE(loadTile(r, 3, otherDepth));
    EXPECT_FALSE(loadTile(r, 3, fewPlanes));
    EXPECT_EQ(getPixel(599, 519, r, 0).r, c.expected.r);
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
  for (Raster* r : {&a, &b, &c}) releaseRaster(*r);
}

}  // namespace
