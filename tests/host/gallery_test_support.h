// Reading back the gallery pages and the pictures beside them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/jpeg_reader.h"
#include "tests/files/scratch_folder.h"

inline std::string pageText(const std::string& path) {
  const std::vector<uint8_t> bytes = readWholeFile(path);
  return {bytes.begin(), bytes.end()};
}

inline int countOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++count;
  return count;
}

// The grid as letters in page order: T a thumbnail cell, E an empty cell, S a spacer row,
// R the end of a row.
inline std::string gridOf(const std::string& page) {
  const struct {
    const char* marker;
    char letter;
  } kinds[] = {{"<table id=\"Table_01\"", 'T'}, {"<p></p>", 'E'}, {"<p>&nbsp;</p></td></tr>", 'S'}, {"</tr>\r\n<tr><td", 'R'}};
  std::string grid;
  for (size_t at = 0; at < page.size(); ++at)
    for (const auto& k : kinds)
      if (page.compare(at, std::char_traits<char>::length(k.marker), k.marker) == 0) grid += k.letter;
  return grid;
}

struct DecodedJpeg {
  int32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

// The picture's size from its frame header, and its pixels.
inline DecodedJpeg decodeJpegFile(const std::string& path) {
  const std::vector<uint8_t> bytes = readWholeFile(path);
  DecodedJpeg out;
  for (size_t at = 2; at + 9 < bytes.size(); ++at)
    if (bytes[at] == 0xFF && (bytes[at + 1] == 0xC0 || bytes[at + 1] == 0xC2)) {
      out.height = bytes[at + 5] << 8 | bytes[at + 6];
      out.width = bytes[at + 7] << 8 | bytes[at + 8];
      break;
    }
  if (out.width == 0) return out;
  out.rgba.resize(size_t(out.width) * size_t(out.height) * 4);
  int32_t rows = 0;
  decompressJpeg(bytes.data(), bytes.size(), {out.rgba.data(), out.width, out.height, 4, out.width * 4}, rows);
  if (rows != out.height) out.rgba.clear();
  return out;
}
