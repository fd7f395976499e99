// The artwork's pixels packed for carrying inside the module where they cannot be painted
// at run time (the Windows build has no Cairo). Pictures are flat colours, soft edges and
// gradients, so runs of one pixel and of the row above take most of them.
//
// A code byte, then what it needs:
//   0x00–0x7F  n + 1 pixels follow as they are (4 bytes each, R G B A)
//   0x80–0xBF  the previous pixel again, n − 0x80 + 1 times (before the first: transparent)
//   0xC0–0xFF  n − 0xC0 + 1 pixels as in the row above
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// `rgba` holds width × height pixels.
std::vector<uint8_t> packPixels(std::span<const uint8_t> rgba, int32_t width);
// Fills `rgba` (width × height pixels) from `packed`; false when the data does not make
// exactly that picture.
bool unpackPixels(std::span<const uint8_t> packed, int32_t width, std::span<uint8_t> rgba);
