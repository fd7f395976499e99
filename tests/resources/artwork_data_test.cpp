// The artwork the Windows build carries as data against the pictures painted here, and the
// packing those data go through.
#include <gtest/gtest.h>

#include <vector>

#include "resources/artwork.h"
#include "resources/windows/artwork_packing.h"
#include "resources/windows/artwork_stored.h"

namespace {
std::vector<uint8_t> unpacked(const StoredArtwork& stored) {
  std::vector<uint8_t> rgba(size_t(stored.width) * size_t(stored.height) * 4, 0xEE);
  const std::span packed(reinterpret_cast<const uint8_t*>(stored.packed), stored.packedSize);
  if (!unpackPixels(packed, stored.width, rgba)) return {};
  return rgba;
}

std::vector<uint8_t> bytesOf(const UiPicture& p) { return {p.rgba, p.rgba + size_t(p.width) * size_t(p.height) * 4}; }

std::vector<uint8_t> roundTrip(const std::vector<uint8_t>& rgba, int32_t width) {
  std::vector<uint8_t> back(rgba.size(), 0xEE);
  if (!unpackPixels(packPixels(rgba, width), width, back)) return {};
  return back;
}

std::vector<uint8_t> pixels(std::initializer_list<uint32_t> values) {
  std::vector<uint8_t> rgba;
  for (uint32_t v : values) rgba.insert(rgba.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
  return rgba;
}
}  // namespace

TEST(ArtworkData, EveryPictureAndCursorIsThePaintedOneByteForByte) {
  const std::span<const int32_t> ids = artworkPictureIds();
  ASSERT_EQ(kStoredPictureCount, ids.size());
  for (size_t i = 0; i < ids.size(); ++i) {
    const StoredArtwork& stored = kStoredPictures[i];
    const UiPicture painted = artworkPicture(ids[i]);
    ASSERT_EQ(stored.id, ids[i]);
    ASSERT_EQ(stored.width, painted.width) << stored.id;
    ASSERT_EQ(stored.height, painted.height) << stored.id;
    EXPECT_TRUE(unpacked(stored) == bytesOf(painted)) << "picture " << stored.id;
  }
  ASSERT_EQ(kStoredCursorCount, 2u);
  for (size_t i = 0; i < kStoredCursorCount; ++i) {
    const StoredArtwork& stored = kStoredCursors[i];
    const ArtworkCursor painted = artworkCursor(stored.id);
    ASSERT_TRUE(painted.picture.rgba) << stored.id;
    EXPECT_EQ(stored.hotX, painted.hotX);
    EXPECT_EQ(stored.hotY, painted.hotY);
    EXPECT_TRUE(unpacked(stored) == bytesOf(painted.picture)) << "cursor " << stored.id;
  }
}

TEST(ArtworkData, PackingKeepsEveryKindOfRun) {
  // Long runs of one colour and long stretches of all-different pixels cross the longest
  // a code can say; a column one pixel wide is all row-above runs; the first pixel
  // transparent black is a run of "the previous pixel" before there was one.
  std::vector<uint8_t> wide;
  for (int i = 0; i < 300; ++i) wide.insert(wide.end(), {10, 20, 30, 255});
  for (int i = 0; i < 300; ++i) wide.insert(wide.end(), {uint8_t(i), uint8_t(i * 7), uint8_t(i >> 1), uint8_t(255 - i % 200)});
  const std::vector<uint8_t> twoRows = [&] {
    std::vector<uint8_t> rows = wide;
    rows.insert(rows.end(), wide.begin(), wide.end());
    return rows;
  }();
  EXPECT_EQ(roundTrip(wide, 600), wide);
  EXPECT_EQ(roundTrip(twoRows, 600), twoRows);
  EXPECT_EQ(roundTrip(twoRows, 1), twoRows);
  const std::vector<uint8_t> startsClear = pixels({0x00000000, 0x00000000, 0x01020304, 0x00000000});
  EXPECT_EQ(roundTrip(startsClear, 2), startsClear);
  // What no run covers goes as it is; the rest costs a code byte per run.
  EXPECT_LT(packPixels(twoRows, 600).size(), 300u * 4 + 40);
}

TEST(ArtworkData, DataThatDoesNotMakeThePictureIsRefused) {
  std::vector<uint8_t> out(4 * 4);
  // Two pixels as they are, but only one pixel's bytes follow.
  EXPECT_FALSE(unpackPixels(std::vector<uint8_t>{0x01, 1, 2, 3, 4}, 2, out));
  // A run past the picture's end.
  EXPECT_FALSE(unpackPixels(std::vector<uint8_t>{0x84}, 2, out));
  // Pixels from the row above while on the first row.
  EXPECT_FALSE(unpackPixels(std::vector<uint8_t>{0xC0}, 2, out));
  // Too few pixels.
  EXPECT_FALSE(unpackPixels(std::vector<uint8_t>{0x82}, 2, out));
  EXPECT_TRUE(unpackPixels(std::vector<uint8_t>{0x81, 0xC1}, 2, out));
}
