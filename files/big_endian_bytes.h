// Building the program's big-endian file structures in memory before they are written in
// one piece, so that a length always matches what follows it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

using ByteVector = std::vector<uint8_t>;

inline void appendBytes(ByteVector& out, const void* data, size_t count) {
  const size_t at = out.size();
  out.resize(at + count);
  if (count) std::memcpy(out.data() + at, data, count);
}

inline void appendBigEndian16(ByteVector& out, uint32_t value) {
  out.push_back(uint8_t(value >> 8));
  out.push_back(uint8_t(value));
}

inline void appendBigEndian32(ByteVector& out, uint32_t value) {
  appendBigEndian16(out, value >> 16);
  appendBigEndian16(out, value & 0xFFFF);
}
