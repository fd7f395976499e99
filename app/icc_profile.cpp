// The one check of a colour profile the program makes itself, on every build: whether its
// header and tag table fit in it.
#include <cstring>

#include "app/image_metadata.h"

static uint32_t bigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool iccProfileSound(const std::vector<uint8_t>& profile) {
  if (profile.size() < 132) return false;
  const uint8_t* p = profile.data();
  if (bigEndian32(p) != profile.size() || std::memcmp(p + 36, "acsp", 4) != 0) return false;
  const uint32_t tags = bigEndian32(p + 128);
  if (tags > (profile.size() - 132) / 12) return false;
  for (uint32_t t = 0; t < tags; ++t) {
    const uint8_t* entry = p + 132 + 12 * t;
    const uint64_t offset = bigEndian32(entry + 4), size = bigEndian32(entry + 8);
    if (offset + size > profile.size()) return false;
  }
  return true;
}
