#include "files/gif_writer.h"

#include <algorithm>

namespace {

constexpr int kColourBits = 4;  // 16 palette entries
constexpr int kMinimumCodeSize = kColourBits;
constexpr uint32_t kClearCode = 1u << kMinimumCodeSize;
constexpr uint32_t kEndCode = kClearCode + 1;
constexpr uint32_t kCodeLimit = 4096;  // codes are at most 12 bits
constexpr uint32_t kNoEntry = 0;  // no string extends to code 0: it is a single pixel

void put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value & 0xFF));
  out.push_back(uint8_t(value >> 8));
}

// Codes are packed lowest bit first; the bytes go out in sub-blocks of at most 255.
struct CodeStream {
  std::vector<uint8_t> bytes;
  uint32_t pending = 0;
  int pendingBits = 0;

  void put(uint32_t code, int bits) {
    pending |= code << pendingBits;
    pendingBits += bits;
    while (pendingBits >= 8) {
      bytes.push_back(uint8_t(pending & 0xFF));
      pending >>= 8;
      pendingBits -= 8;
    }
  }
  void finish(std::vector<uint8_t>& out) {
    if (pendingBits > 0) bytes.push_back(uint8_t(pending & 0xFF));
    for (size_t at = 0; at < bytes.size(); at += 255) {
      const size_t count = std::min<size_t>(255, bytes.size() - at);
      out.push_back(uint8_t(count));
      out.insert(out.end(), bytes.begin() + long(at), bytes.begin() + long(at + count));
    }
    out.push_back(0);
  }
};

// The string table as "code of the string extended by pixel p": 4096 x 16 entries.
struct StringTable {
  std::vector<uint16_t> next = std::vector<uint16_t>(kCodeLimit * 16, kNoEntry);
  uint32_t free = kEndCode + 1;
  int codeBits = kMinimumCodeSize + 1;

  void reset() {
    std::fill(next.begin(), next.end(), kNoEntry);
    free = kEndCode + 1;
    codeBits = kMinimumCodeSize + 1;
  }
};

void compress(const std::vector<uint8_t>& indices, CodeStream& codes) {
  StringTable table;
  codes.put(kClearCode, table.codeBits);
  uint32_t string = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    const uint8_t pixel = indices[i];
    const uint16_t extended = table.next[string * 16 + pixel];
    if (extended != kNoEntry) {
      string = extended;
      continue;
    }
    codes.put(string, table.codeBits);
    if (table.free < kCodeLimit) {
      table.next[string * 16 + pixel] = uint16_t(table.free++);
      // A reader widens its codes once the table reaches the next power of two.
      if (table.free > (1u << table.codeBits) && table.codeBits < 12) ++table.codeBits;
    } else {
      codes.put(kClearCode, table.codeBits);
      table.reset();
    }
    string = pixel;
  }
  codes.put(string, table.codeBits);
  codes.put(kEndCode, table.codeBits);
}

}  // namespace

std::vector<uint8_t> encodeGif(int32_t width, int32_t height, const GifPalette& palette,
                               const std::vector<uint8_t>& indices) {
  if (width < 1 || height < 1 || width > 65535 || height > 65535) return {};
  if (indices.size() != size_t(width) * size_t(height)) return {};
  if (std::any_of(indices.begin(), indices.end(), [](uint8_t i) { return i > 15; })) return {};

  std::vector<uint8_t> out{'G', 'I', 'F', '8', '9', 'a'};
  put16(out, uint32_t(width));
  put16(out, uint32_t(height));
  // A global palette of 2^(3 + 1) entries, 8 bits per primary, background 0, square pixels.
  out.push_back(0x80 | (7 << 4) | (kColourBits - 1));
  out.push_back(0);
  out.push_back(0);
  for (const auto& colour : palette) out.insert(out.end(), colour.begin(), colour.end());

  out.push_back(0x2C);  // the image descriptor: the whole screen, no local palette
  put16(out, 0);
  put16(out, 0);
  put16(out, uint32_t(width));
  put16(out, uint32_t(height));
  out.push_back(0);
  out.push_back(kMinimumCodeSize);
  CodeStream codes;
  compress(indices, codes);
  codes.finish(out);
  out.push_back(0x3B);
  return out;
}
