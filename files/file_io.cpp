#include "files/file_io.h"

#include <cstring>

OSErr writeInt32(FileHandle file, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  return writeRaw(file, bytes, 4);
}

OSErr writeInt16(FileHandle file, int16_t value) {
  const uint16_t v = static_cast<uint16_t>(value);
  const uint8_t bytes[2] = {uint8_t(v >> 8), uint8_t(v)};
  return writeRaw(file, bytes, 2);
}

OSErr writeByte(FileHandle file, uint8_t value) { return writeRaw(file, &value, 1); }

OSErr writeZeros(FileHandle file, int16_t count) {
  static const uint8_t zeros[256] = {};
  int32_t left = count;
  while (left > 0) {
    const int32_t piece = left < 256 ? left : 256;
    if (writeRaw(file, zeros, static_cast<size_t>(piece)) != noErr) return writErr;
    left -= piece;
  }
  return noErr;
}

OSErr writeText(FileHandle file, const char* text) {
  if (!text) return kErrCannotOpen;
  return writeRaw(file, text, std::strlen(text));
}

OSErr readInt32(FileHandle file, int32_t& value) {
  uint8_t b[4];
  if (readRaw(file, b, 4) != noErr) return readErr;
  value = static_cast<int32_t>(uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]);
  return noErr;
}

OSErr readByte(FileHandle file, uint8_t& value) { return readRaw(file, &value, 1); }

int32_t readByteOrEnd(FileHandle file) {
  uint8_t value;
  return readByte(file, value) == noErr ? value : -1;
}

OSErr skipBytes(FileHandle file, int32_t count) {
  uint8_t scrap[256];
  while (count > 256) {
    if (readRaw(file, scrap, 256) != noErr) return readErr;
    count -= 256;
  }
  while (count > 0) {
    if (readRaw(file, scrap, 1) != noErr) return readErr;
    --count;
  }
  return noErr;
}
