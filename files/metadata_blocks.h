// The metadata that travels with exported pictures: an IPTC record (source, date, caption,
// keywords) and a minimal EXIF block naming the software. The same bytes go into PSD
// image resources and JPEG application segments; the JPEG forms carry a prefix.
#pragma once

#include <cstdint>
#include <vector>

// The maker's web address, written as the IPTC source, the PSD URL resource and the JPEG
// comment.
inline constexpr char kMakerWebAddress[] = "https://www.cobaltfinch.example/tarve";

constexpr int kMaxKeywords = 19;
constexpr int kKeywordSlots = 21;
constexpr int kKeywordSize = 50;  // a keyword is shorter than this

struct KeywordList {
  char entries[kKeywordSlots][kKeywordSize];
  int32_t count;
};

void clearKeywords(KeywordList& list);

// Refused (false) when the list is full, the text is empty or too long, or an entry
// already matches it case-insensitively over the new keyword's length.
bool addKeyword(KeywordList& list, const char* keyword);

struct CalendarDate {
  int32_t year, month, day;
};

CalendarDate currentUtcDate();

// "8BIM" resource 1028 holding IPTC datasets: record version, source, date created,
// caption "Made with Tarve", the keyword "Tarve" and then the list's keywords. With the
// prefix it starts with "Photoshop 3.0" and a zero byte, as JPEG APP13 wants.
std::vector<uint8_t> buildIptcBlock(const KeywordList& keywords, const CalendarDate& date, bool withPrefix);

// A 32-byte big-endian TIFF structure with the single tag Software = "Tarve"; with the
// prefix it starts with "Exif" and two zero bytes, as JPEG APP1 wants.
std::vector<uint8_t> buildExifBlock(bool withPrefix);
