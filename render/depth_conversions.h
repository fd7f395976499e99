// Moving one channel value between the three depths: 8 bits (0..255), 16 bits (0..32768) and
// float (0..1). The two conversions down to 8 bits are the ones used wherever the program
// shows or stores a deeper image at 8 bits.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Rounds to the nearest 8-bit value, with 32767 and 32768 both giving 255.
inline uint8_t to8From16(int32_t v) {
  return static_cast<uint8_t>((v + 1) & 32768 ? 255 : ((v + 1) >> 7) & 511);
}

// The square root brightens the dark end, where float images keep most of their detail.
inline uint8_t to8FromFloat(float v) {
  if (!(v > 0.0f)) return 0;
  v = std::min(v, 65535.0f);
  return static_cast<uint8_t>(std::min(std::sqrt(v) * 255.0f, 255.0f));
}

// Spreads 8-bit values over the 16-bit range; 255 is the top of it, 32768.
inline int32_t to16From8(int32_t v) { return v < 255 ? (v << 7) | (v >> 1) : 32768; }

inline int32_t to16FromFloat(float v) {
  if (!(v > 0.0f)) return 0;
  return static_cast<int32_t>(std::min(v, 1.0f) * 32768.0f);
}

inline float floatFrom8(int32_t v) { return static_cast<float>(v) / 255.0f; }
inline float floatFrom16(int32_t v) { return static_cast<float>(v) / 32768.0f; }
