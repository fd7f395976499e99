#include "files/metadata_blocks.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/big_endian_bytes.h"

void clearKeywords(KeywordList& list) { std::memset(&list, 0, sizeof list); }

static bool sameIgnoringCase(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
    if (!x) return true;
  }
  return true;
}

bool addKeyword(KeywordList& list, const char* keyword) {
  if (!keyword || list.count >= kMaxKeywords || list.count < 0) return false;
  const size_t length = std::strlen(keyword);
  if (length == 0 || length >= static_cast<size_t>(kKeywordSize)) return false;
  for (int32_t i = 0; i < list.count; ++i)
    if (sameIgnoringCase(list.entries[i], keyword, length)) return false;
  std::memcpy(list.entries[list.count], keyword, length + 1);
  ++list.count;
  return true;
}

CalendarDate currentUtcDate() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  return {utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday};
}

static void putDataset(std::vector<uint8_t>& out, uint8_t dataset, const void* data, size_t count) {
  out.push_back(0x1C);
  out.push_back(2);
  out.push_back(dataset);
  appendBigEndian16(out, static_cast<uint32_t>(count));
  appendBytes(out, data, count);
}

static void putTextDataset(std::vector<uint8_t>& out, uint8_t dataset, const char* text) {
  putDataset(out, dataset, text, std::strlen(text));
}

std::vector<uint8_t> buildIptcBlock(const KeywordList& keywords, const CalendarDate& date, bool withPrefix) {
  std::vector<uint8_t> data;
  static const uint8_t recordVersion[2] = {0, 2};
  putDataset(data, 0, recordVersion, 2);
  putTextDataset(data, 115, kMakerWebAddress);
  char created[32];
  std::snprintf(created, sizeof created, "%04d%02d%02d", int(date.year), int(date.month), int(date.day));
  putTextDataset(data, 55, created);
  putTextDataset(data, 120, "Made with Tarve");
  putTextDataset(data, 25, "Tarve");
  for (int32_t i = 0; i < keywords.count && i < kKeywordSlots; ++i)
    if (keywords.entries[i][0]) putDataset(data, 25, keywords.entries[i], strnlen(keywords.entries[i], kKeywordSize));
  if (data.size() % 2) data.push_back(0);

  std::vector<uint8_t> block;
  if (withPrefix) appendBytes(block, "Photoshop 3.0", 14);  // the terminating zero included
  appendBytes(block, "8BIM", 4);
  appendBigEndian16(block, 0x0404);
  appendBigEndian16(block, 0);  // empty name
  appendBigEndian32(block, static_cast<uint32_t>(data.size()));
  appendBytes(block, data.data(), data.size());
  return block;
}

std::vector<uint8_t> buildExifBlock(bool withPrefix) {
  std::vector<uint8_t> block;
  if (withPrefix) appendBytes(block, "Exif\0", 6);
  appendBytes(block, "MM", 2);
  appendBigEndian16(block, 0x002A);
  appendBigEndian32(block, 8);       // offset of the first directory
  appendBigEndian16(block, 1);       // one entry
  appendBigEndian16(block, 0x0131);  // Software
  appendBigEndian16(block, 2);       // ASCII
  appendBigEndian32(block, 6);
  appendBigEndian32(block, 26);      // where the text is, from the "MM"
  appendBigEndian32(block, 0);       // no further directory
  appendBytes(block, "Tarve", 6);
  return block;
}
