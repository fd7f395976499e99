// Samples between the depths of image files and the depths of the host. The host's 16-bit
// samples run from 0 to 32768 while files use 0 to 65535: every host value survives the trip
// to a file and back exactly; a file value comes back within one step (the host has half
// as many levels).
#pragma once

#include <cstdint>

#include "app/host/host.h"

// round(file * 32768 / 65535)
constexpr uint16_t hostFrom16(uint16_t file) { return static_cast<uint16_t>((uint32_t(file) * 32768u + 32767u) / 65535u); }

// round(host * 65535 / 32768); values above 32768 count as 32768
constexpr uint16_t fileFrom16(uint16_t host) {
  const uint32_t h = host > 32768 ? 32768u : host;
  return static_cast<uint16_t>((h * 65535u + 16384u) / 32768u);
}

// A 16-bit image just read from a file brought to the host's scale, in place; other depths
// are left as they are.
void samplesFromFile(HostImage& image);

// The image at another depth (8, 16 or 32). Floats are clamped to 0..1 when they go to
// integers; integers are scaled to the nearest level.
HostImage convertDepth(const HostImage& image, int32_t depth);
