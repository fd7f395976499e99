// Reading a raster between its pixels and between its levels, and scaling one raster into
// another. Sampling needs the raster's kernel tables (`Raster::kernels`); without them, and
// for formats that have no filtered sampler (1, 2, 5, 7), samples are zero.
#pragma once

#include "raster/raster.h"

// A filtered sample of one level at (x, y), 0..1 across the level, on the raster's own
// scale (0..255 for formats 0 and 3, 0..32768 for format 4, floats for format 9). Any
// position is safe: out-of-level taps follow the edge mode, NaN reads as 0.
PixelValue sampleLevel(const Raster& raster, int32_t level, float x, float y);

// The sample the renderer uses: `level` clamped into 0..Lmax - 1, blended with the next
// level by `fraction` (0..1) unless the fraction is 0 or the raster has a single level.
PixelValue sampleTrilinear(const Raster& raster, int32_t level, float fraction, float x, float y);

struct SamplePosition {
  int32_t level;
  float fraction, x, y;
};

// `count` samples, each exactly as sampleTrilinear gives it.
void sampleTrilinearRun(const Raster& raster, const SamplePosition* at, int32_t count,
                        PixelValue* out);

// Blended 8-bit samples filter their two levels side by side while this is set (from the
// start, where the processor has AVX2); the values are the same either way.
extern bool gWideSampling;

// Fills `destRect` of the destination's level 0 (format 3, or 0) with `sourceRect` of the
// source, read at the level log2(source width / destination width) - bias, then rebuilds the
// destination's pyramid. Pixels come out opaque.
void resample(const Raster& source, Raster& destination, const PixelRect& destRect,
              const PixelRect& sourceRect, float bias);
