// Where a glued pixel goes in each render mode: the host's output row (final), the host's
// output buffer over a checkerboard (dialog), or level 0 of a target raster (raster). Each
// store takes the address of one pixel; the caller steps through its rows.
#pragma once

#include <cstdint>

#include "raster/raster.h"
#include "render/channels.h"

// A 32-bit pixel after the glue: colour and the output alpha A, each nominally 0..1.
struct FloatPixel {
  float r, g, b, a;
};

// How the host lays out one pixel: one colour plane (grey) or three, and when transparency is
// editable the transparency plane right after them.
struct PixelLayout {
  bool grey;
  bool transparency;
};

// final: the channels at the depth's width (an 8-bit value keeps its low eight bits) and A in
// the transparency plane when it is editable. Sample is uint8_t or uint16_t. Defined here so
// that the glue stage, which stores every pixel of a final render through it, inlines it.
template <class Sample>
void storeFinal(Sample* pixel, Channels value, int32_t alpha, PixelLayout layout) {
  const int32_t planes = layout.grey ? 1 : 3;
  for (int32_t c = 0; c < planes; ++c) pixel[c] = static_cast<Sample>(value[c]);
  if (layout.transparency) pixel[planes] = static_cast<Sample>(alpha);
}
void storeFinal(float* pixel, const FloatPixel& value, PixelLayout layout);

// dialog: the pixel shown over a checkerboard of 8-pixel squares, where (x, row) picks the
// square and `mask` (0..255: the selection, 255 without one, 0 outside it) how much of the
// pixel covers it. With editable transparency A thins it further and the transparency plane
// becomes opaque (at 32 bits it takes the coverage instead).
void storeDialog(uint8_t* pixel, Channels value, int32_t alpha, int32_t mask, int32_t x,
                 int32_t row, PixelLayout layout);
void storeDialog(uint16_t* pixel, Channels value, int32_t alpha, int32_t mask, int32_t x,
                 int32_t row, PixelLayout layout);
void storeDialog(float* pixel, const FloatPixel& value, int32_t mask, int32_t x, int32_t row,
                 PixelLayout layout);

// raster: the image pixel under (x, y) of level 0 and the glued pixel into it, converted
// between the image's depth (8 or 16 here; 32-bit images need no image pixel) and the
// raster's format. Grey images were already made red = green = blue.
Channels loadRaster(const Raster& raster, int32_t x, int32_t y, int32_t depth);
void storeRaster(Raster& raster, int32_t x, int32_t y, int32_t depth, Channels value,
                 int32_t alpha);
void storeRaster(Raster& raster, int32_t x, int32_t y, const FloatPixel& value);
