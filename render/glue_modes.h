// The sixty-two ways of combining the water pixel W with the image pixel I under it, at 8 and
// 16 bits per channel. Pure functions of the two pixels (and, for "procedural +" at 8 bits,
// the triangle table); 32-bit images do not come here, every mode is "normal" for them.
#pragma once

#include <cstdint>

#include "render/channels.h"

constexpr int32_t kTriangleSize = 256;

// tri[i] = 2i below 128 and 511 - 2i from 128 on: 0, 2, ..., 254, 255, 253, ..., 1.
void buildTriangleTable(uint8_t (&triangle)[kTriangleSize]);

// Water and image channels on the image's scale; the result, on the same scale, goes to `out`.
using GlueCombine = void (*)(const Channels& water, const Channels& image, const uint8_t* triangle,
                             Channels& out);

// The mode for an 8-bit (depth 8) or 16-bit (any other depth) image. Numbers outside 2..62,
// including 0, give "normal".
GlueCombine glueCombiner(int32_t depth, int32_t glue);
