#include "render/reflection.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "raster/sampling.h"

namespace {

// Stored settings are not clamped, so positions and weights may be infinite or NaN. NaN goes
// to the low end here: no sample index or level may come of it. In-range values pass as a
// plain clamp would pass them.
inline float clampTo(float value, float low, float high) {
  return !(value > low) ? low : (value > high ? high : value);
}

inline float fastLog2Of(float l) {
  if (!(l > 1.0f)) return 0.0f;
  const uint32_t bits = std::bit_cast<uint32_t>(l);
  const int32_t exponent = static_cast<int32_t>((bits >> 23) & 255);
  // In double, so that powers of two come out whole once rounded to float: a footprint of
  // exactly 2^n pixels then reads level n alone.
  const double m = (bits & 0x7FFFFF) / 8388608.0;
  return static_cast<float>(exponent - 126.9 + m - 0.4 * (m - 0.5) * (m - 0.5));
}

inline FoldedPosition fold(float u, float v) {
  FoldedPosition p = {u, 0.0f, 0.0f};
  // Mirrored sideways: the scene continues beyond the frame as its own reflection.
  if (u < 0.0f) {
    p.x = -u;
    p.outside = -u;
  }
  if (p.x > 1.0f) {
    p.outside = std::max(p.outside, p.x - 1.0f);
    p.x = 2.0f - p.x;
  }
  p.x = clampTo(p.x, 0.0f, 1.0f);
  if (v < 0.0f) {
    p.outside = std::max(p.outside, -v);
    p.y = 0.0f;
  } else if (v > 1.0f) {
    p.outside = std::max(p.outside, v - 1.0f);
    p.y = 1.0f;
  } else {
    p.y = clampTo(v, 0.0f, 1.0f);
  }
  p.outside = std::min(p.outside, 1.0f);
  return p;
}

inline float levelFor(float l, float outside, float bw, int32_t lastLevel) {
  const float top = static_cast<float>(lastLevel);
  float level = l > 1.0f ? fastLog2Of(l) : 0.0f;
  level = (top - level) * outside + level;
  level = (top - level) * bw + level;
  return clampTo(level, 0.0f, top);
}

inline ShadedPixel tint(const ReflectionRow& row, const PixelValue& sample, bool water, float d,
                        ReflectionCarry& carry) {
  float alpha = row.scale;
  if (row.transparency) {
    const float a = sample.a * 1.007f;
    // A float sample is transparent only at 0; truncating it would make every partly
    // transparent pixel count as clear and smear the colour on its left over it.
    alpha = row.floatDepth ? clampTo(a, 0.0f, row.scale) : clampTo(std::trunc(a), 0.0f, row.scale);
  }
  if (alpha != 0.0f) {
    float r = sample.r, g = sample.g, b = sample.b;
    if (water) {
      r = (sample.r - row.waterR) * d + row.waterR;
      g = (sample.g - row.waterG) * d + row.waterG;
      b = (sample.b - row.waterB) * d + row.waterB;
    }
    if (row.grey) g = b = r;
    carry.r = clampTo(r, 0.0f, 65535.0f);
    carry.g = clampTo(g, 0.0f, 65535.0f);
    carry.b = clampTo(b, 0.0f, 65535.0f);
  }
  return {carry.r, carry.g, carry.b, alpha};
}

}  // namespace

float fastLog2(float l) { return fastLog2Of(l); }

FoldedPosition foldIntoPicture(float u, float v) { return fold(u, v); }

float pyramidLevel(float l, float outside, float bw, int32_t lastLevel) {
  return levelFor(l, outside, bw, lastLevel);
}

ShadedPixel tintSample(const ReflectionRow& row, const PixelValue& sample, bool water, float d,
                       ReflectionCarry& carry) {
  return tint(row, sample, water, d, carry);
}

void shadeRun(const ReflectionRow& row, RowScratch* scratch, int32_t first, int32_t count,
              ReflectionCarry& carry, const float* u, const float* v, bool water, const float* d,
              float bw, ShadedPixel* out) {
  // Footprints and levels of the whole run first, then its samples in one call, then the
  // tints: each pixel still takes its steps in order, and the carries run left to right.
  constexpr int32_t kStep = 64;
  SamplePosition at[kStep];
  PixelValue samples[kStep];
  for (int32_t done = 0; done < count; done += kStep) {
    const int32_t n = std::min(count - done, kStep);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t x = first + done + i;
      const float pu = u[done + i], pv = v[done + i];
      // The footprint is the larger step to the pixel above and to the one on the left, in
      // full-image pixels; the edges of the region have no reliable neighbour.
      float l = 0.0f;
      if (!row.firstRow && x != 0 && x != row.lastColumn) {
        const RowScratch above = scratch[x + 1];
        const float du = std::max(std::fabs(above.u - pu), std::fabs(carry.previous.u - pu));
        const float dv = std::max(std::fabs(above.v - pv), std::fabs(carry.previous.v - pv));
        l = std::max(row.footprintU * du, row.footprintV * dv);
      }
      scratch[x] = carry.previous;
      carry.previous = {pu, pv};

      const FoldedPosition p = fold(pu, pv);
      const float level = levelFor(l, p.outside, bw, row.source->lastLevel);
      // The level lies in 0..Lmax, where the conversion truncates.
      const int32_t whole = static_cast<int32_t>(level);
      at[i] = {whole, level - static_cast<float>(whole), p.x, p.y};
    }
    sampleTrilinearRun(*row.source, at, n, samples);
    for (int32_t i = 0; i < n; ++i) out[done + i] = tint(row, samples[i], water, d[done + i], carry);
  }
}

ShadedPixel reflectPixel(const ReflectionRow& row, RowScratch* scratch, int32_t x,
                         ReflectionCarry& carry, float u, float v, bool water, float d,
                         float bw) {
  ShadedPixel shaded;
  shadeRun(row, scratch, x, 1, carry, &u, &v, water, &d, bw, &shaded);
  return shaded;
}
