#include "files/metadata_blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

void append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) { out.insert(out.end(), more.begin(), more.end()); }

std::vector<uint8_t> dataset(uint8_t number, const std::string& text) {
  std::vector<uint8_t> d = {0x1C, 2, number, uint8_t(text.size() >> 8), uint8_t(text.size())};
  append(d, bytesOf(text));
  return d;
}

}  // namespace

TEST(ExifBlock, NamesTheSoftware) {
  const std::vector<uint8_t> tiff = {'M', 'M', 0, 0x2A, 0, 0, 0, 8,  0, 1,   0x01, 0x31, 0,   2,   0,   0,
                                     0,   6,   0, 0,    0, 26, 0, 0, 0, 0, 'T',  'a',  'r', 'v', 'e', 0};
  EXPECT_EQ(buildExifBlock(false), tiff);
  std::vector<uint8_t> prefixed = {'E', 'x', 'i', 'f', 0, 0};
  append(prefixed, tiff);
  EXPECT_EQ(buildExifBlock(true), prefixed);
}

TEST(IptcBlock, DatasetsInOrderWithPadding) {
  KeywordList keywords;
  clearKeywords(keywords);
  struct Case {
    std::vector<std::string> added;
    bool withPrefix;
  } cases[] = {{{}, false}, {{"HDR"}, true}, {{"glue"}, false}, {{"HDR", "high dynamic range"}, true}};
  for (const Case& c : cases) {
    clearKeywords(keywords);
    for (const std::string& k : c.added) ASSERT_TRUE(addKeyword(keywords, k.c_str()));
    std::vector<uint8_t> data = {0x1C, 2, 0, 0, 2, 0, 2};
    append(data, dataset(115, kMakerWebAddress));
    append(data, dataset(55, "20240307"));
    append(data, dataset(120, "Made with Tarve"));
    append(data, dataset(25, "Tarve"));
    for (const std::string& k : c.added) append(data, dataset(25, k));
    if (data.size() % 2) data.push_back(0);

    std::vector<uint8_t> expected;
    if (c.withPrefix) append(expected, bytesOf(std::string("Photoshop 3.0", 14)));
    append(expected, {'8', 'B', 'I', 'M', 4, 4, 0, 0, 0, 0, uint8_t(data.size() >> 8), uint8_t(data.size())});
    append(expected, data);
    EXPECT_EQ(buildIptcBlock(keywords, {2024, 3, 7}, c.withPrefix), expected) << c.added.size() << " keywords";
  }
}

TEST(KeywordList, Refusals) {
  KeywordList list;
  clearKeywords(list);
  ASSERT_TRUE(addKeyword(list, "HDR"));
  struct Case {
    std::string keyword;
    bool accepted;
  } cases[] = {
      {"", false},
      {"hdr", false},   // the same, ignoring case
      {"HD", false},    // matches over the new keyword's length
      {"HDRX", true},   // longer than the entry: no match
      {std::string(49, 'k'), true},
      {std::string(50, 'l'), false},
  };
  for (const Case& c : cases) EXPECT_EQ(addKeyword(list, c.keyword.c_str()), c.accepted) << c.keyword;
  EXPECT_FALSE(addKeyword(list, nullptr));
  EXPECT_EQ(list.count, 3);
  for (int i = list.count; i < kMaxKeywords; ++i) ASSERT_TRUE(addKeyword(list, ("word" + std::to_string(i)).c_str()));
  EXPECT_FALSE(addKeyword(list, "one too many"));
  EXPECT_EQ(list.count, kMaxKeywords);
  EXPECT_STREQ(list.entries[1], "HDRX");
}

TEST(IptcBlock, LongestKeywordListStillFits) {
  KeywordList list;
  clearKeywords(list);
  for (int i = 0; i < kMaxKeywords; ++i) {
    std::string k(49, char('a' + i));
    ASSERT_TRUE(addKeyword(list, k.c_str()));
  }
  const std::vector<uint8_t> block = buildIptcBlock(list, {1999, 12, 31}, false);
  const uint32_t length = uint32_t(block[8]) << 24 | uint32_t(block[9]) << 16 | uint32_t(block[10]) << 8 | block[11];
  EXPECT_EQ(length + 12, block.size());
  EXPECT_GT(block.size(), 1000u);  // beyond the 1000 bytes once reserved: sized by measuring
}
