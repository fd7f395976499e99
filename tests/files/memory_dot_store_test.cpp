#include "files/memory_dot_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/file_io.h"
#include "tests/files/scratch_folder.h"

namespace {

std::vector<uint8_t> bigEndian(const std::vector<int32_t>& values) {
  std::vector<uint8_t> bytes;
  for (int32_t v : values)
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(uint32_t(v) >> shift));
  return bytes;
}

MemoryDots allPinned(int32_t value) {
  MemoryDots dots{};
  for (int32_t& flag : dots.pinned) flag = value;
  return dots;
}

}  // namespace

TEST(MemoryDotStore, FileNamesInTheTemporaryFolder) {
  ScratchFolder temporary(true);
  struct Case {
    int32_t slot;
    std::string name;
  } cases[] = {{0, "Tarve memory dot 0.q8r"},
               {3, "Tarve memory dot 3.q8r"},
               {24, "Tarve memory dot 24.q8r"},
               {kScratchDotSlot, "Tarve memory dot 25.q8r"}};
  for (const Case& c : cases) EXPECT_EQ(std::string(memoryDotPath(c.slot).path), temporary.path + c.name);
  EXPECT_STREQ(memoryDotPath(26).path, "");
  EXPECT_STREQ(memoryDotPath(-1).path, "");
  EXPECT_EQ(std::string(memoryDotMapPath().path), temporary.path + "Tarve memdot map 2");
  EXPECT_EQ(std::string(cachedSettingsPath().path), temporary.path + "Tarve cached settings C");
}

TEST(MemoryDotStore, MapRoundTrip) {
  ScratchFolder temporary(true);
  MemoryDots saved{};
  for (int i = 0; i < kMemoryDotCount; ++i) saved.pinned[i] = i % 3 == 0 ? 1 : 0;
  saved.pinned[24] = -7;  // any non-zero value is kept as it is
  ASSERT_EQ(saveMemoryDotMap(saved), noErr);
  std::vector<int32_t> expected = {40};
  expected.insert(expected.end(), saved.pinned, saved.pinned + kMemoryDotCount);
  EXPECT_EQ(readWholeFile(memoryDotMapPath().path), bigEndian(expected));

  MemoryDots loaded = allPinned(5);
  ASSERT_EQ(loadMemoryDotMap(loaded), noErr);
  for (int i = 0; i < kMemoryDotCount; ++i) EXPECT_EQ(loaded.pinned[i], saved.pinned[i]) << i;
}

TEST(MemoryDotStore, MissingShortOrOddMaps) {
  ScratchFolder temporary(true);
  MemoryDots dots = allPinned(9);
  EXPECT_EQ(loadMemoryDotMap(dots), kErrCannotOpen);
  for (int32_t flag : dots.pinned) EXPECT_EQ(flag, 0);

  // The first value need not be 40.
  std::vector<int32_t> values(26, 1);
  values[0] = 12345;
  writeWholeFile(memoryDotMapPath().path, bigEndian(values));
  dots = allPinned(0);
  EXPECT_EQ(loadMemoryDotMap(dots), noErr);
  for (int32_t flag : dots.pinned) EXPECT_EQ(flag, 1);

  // Ten flags and half of the eleventh: the rest stay unpinned.
  std::vector<uint8_t> shortMap = bigEndian(std::vector<int32_t>(11, 1));
  shortMap.resize(shortMap.size() + 2, 0xFF);
  writeWholeFile(memoryDotMapPath().path, shortMap);
  dots = allPinned(3);
  EXPECT_EQ(loadMemoryDotMap(dots), readErr);
  for (int i = 0; i < kMemoryDotCount; ++i) EXPECT_EQ(dots.pinned[i], i < 10 ? 1 : 0) << i;
}

TEST(MemoryDotStore, SavingOverALongerFileCutsIt) {
  ScratchFolder temporary(true);
  writeWholeFile(memoryDotMapPath().path, std::vector<uint8_t>(1000, 0xEE));
  ASSERT_EQ(saveMemoryDotMap(allPinned(0)), noErr);
  EXPECT_EQ(readWholeFile(memoryDotMapPath().path).size(), 4u * 26u);
}
