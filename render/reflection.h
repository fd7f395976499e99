// Reflection and shading: how sharply to sample the source (footprint, distance out of the
// picture, blur), the sample itself from the source pyramid, and its tint by the water
// colour. The result goes back to the band renderer on the pixel scale of the image.
#pragma once

#include <cstdint>

#include "raster/raster.h"

// The reflected position (u', v') one pixel had; the scratch row keeps the previous row's.
struct RowScratch {
  float u, v;
};

// log2 for l > 1 from the float's bits, within about 0.01 and exact at powers of two; 0 for
// l <= 1.
float fastLog2(float l);

// Where a reflected position is read: mirrored back horizontally, held at the edge
// vertically; `outside` is how far it lay out of the picture, at most 1.
struct FoldedPosition {
  float x, y, outside;
};
FoldedPosition foldIntoPicture(float u, float v);

// The pyramid level for a footprint of l full-image pixels, a position `outside` out of the
// picture and blur weight bw, limited to 0..lastLevel.
float pyramidLevel(float l, float outside, float bw, int32_t lastLevel);

// What stays the same along a row.
struct ReflectionRow {
  const Raster* source;
  float footprintU, footprintV;  // (Wf / Wc) x Wc and (Hf / Hc) x Hc
  bool firstRow;
  int32_t lastColumn;
  float waterR, waterG, waterB;  // the water colour on the pixel scale
  float scale;                   // M
  bool floatDepth;
  bool transparency;  // the host lets us edit the layer's transparency
  bool grey;
};

// What passes from pixel to pixel along a row: the neighbour's reflected position and the
// last colour, which a fully transparent sample keeps.
struct ReflectionCarry {
  RowScratch previous;
  float r, g, b;
};
inline ReflectionCarry startOfRow() { return {{0.0f, 0.0f}, 0.0f, 0.0f, 0.0f}; }

struct ShadedPixel {
  float r, g, b, alpha;  // colour clamped to 0..65535, alpha to 0..M
};

// Colour and alpha of a sample: mixed over the water colour by d for water pixels, the
// sample itself above the water line; a fully transparent sample keeps the carried colour.
ShadedPixel tintSample(const ReflectionRow& row, const PixelValue& sample, bool water, float d,
                       ReflectionCarry& carry);

// Steps of one pixel: footprint (reading and rewriting the scratch row), fold, level,
// sample, tint.
ShadedPixel reflectPixel(const ReflectionRow& row, RowScratch* scratch, int32_t x,
                         ReflectionCarry& carry, float u, float v, bool water, float d,
                         float bw);

// The same for pixels first..first+count-1 of a row, at (u[i], v[i]) with weights d[i].
void shadeRun(const ReflectionRow& row, RowScratch* scratch, int32_t first, int32_t count,
              ReflectionCarry& carry, const float* u, const float* v, bool water, const float* d,
              float bw, ShadedPixel* out);
