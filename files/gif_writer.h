// GIF89a pictures of up to 16 colours: a global palette, one image, LZW-coded pixels. Only
// the gallery's small frame pictures are written this way.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

using GifPalette = std::array<std::array<uint8_t, 3>, 16>;

// `indices` holds width x height palette indices (0..15), row by row. An empty result for
// sides outside 1..65535 or an index above 15.
std::vector<uint8_t> encodeGif(int32_t width, int32_t height, const GifPalette& palette,
                               const std::vector<uint8_t>& indices);
