// Decoding the JPEG thumbnails embedded in settings files, with IJG libjpeg, from memory.
// The data comes from files that travel between people: a damaged or hostile stream must
// end in an orderly return, within bounded time and memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/host_interface.h"

// Where decoded pixels go: one byte per pixel (grey) or four (red, green, blue, alpha).
struct PixelTarget {
  uint8_t* pixels;
  int32_t width, height;
  int32_t channels;  // 1 or 4
  ptrdiff_t stride;  // bytes from one row to the next
};

// Decodes data[0, size) into the target from its top-left corner, dropping pixels that fall
// outside it. Colour into grey is (77 r + 150 g + 28 b) >> 8; grey into colour repeats the
// value; alpha is 255. `rows` tells how many target rows were written. noErr when the
// picture was read to its end (or to the target's last row), readErr when the stream was
// unusable or broke off; rows already written stay.
OSErr decompressJpeg(const uint8_t* data, size_t size, const PixelTarget& target, int32_t& rows);
