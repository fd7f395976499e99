// Three channel values of one pixel (red, green, blue) on the image's integer scale:
// 0..255 for 8-bit images, 0..32768 for 16-bit images.
#pragma once

#include <array>
#include <cstdint>

using Channels = std::array<int32_t, 3>;
