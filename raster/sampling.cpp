#include "raster/sampling.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "raster/kernels.h"
#include "raster/pyramid.h"

namespace {

constexpr int kTaps = kKernelTaps;

// Positions are limited to this many pixels either side of a level: far enough that every
// tap of a clamped sample lies on the edge, near enough to convert to an integer exactly.
constexpr float kPositionLimit = 4194304.0f;  // 2^22

// The neighbourhood's first pixel must leave room for four more in the same tile.
constexpr int32_t kLastFastOffset = kTileSize - kTaps;

// The largest pixel a sampler reads: four floats.
constexpr int kMaxPixelBytes = 16;

struct AxisTaps {
  int32_t index;  // the pixel nearest the sample
  int32_t phase;  // 0..127
};

// The sample's nearest pixel and sub-pixel phase along one axis. The index is the floor of
// the position, which is its truncation for every position inside the level and keeps the
// phase within the table for positions before it.
inline AxisTaps splitPosition(float normalised, float size) {
  float pixel = normalised * size - 0.5f;
  float u = pixel + 0.5f;
  if (!(u >= -kPositionLimit)) u = u < 0.0f ? -kPositionLimit : 0.0f;  // NaN reads as 0
  if (u > kPositionLimit) u = kPositionLimit;
  int32_t index = static_cast<int32_t>(u);
  if (u < static_cast<float>(index)) --index;
  return {index, static_cast<int32_t>((u - static_cast<float>(index)) * 128.0f)};
}

inline int32_t wrapIndex(int32_t i, int32_t size) {
  int32_t r = i % size;
  return r < 0 ? r + size : r;
}

// The five pixel coordinates of one axis after the edge mode.
inline void edgeTaps(int32_t index, int32_t size, bool wrap, int32_t (&taps)[kTaps]) {
  for (int t = 0; t < kTaps; ++t) {
    int32_t i = index - 2 + t;
    taps[t] = wrap ? wrapIndex(i, size) : std::clamp(i, 0, size - 1);
  }
}

// Five rows of five pixels, `bytesPerPixel` apart: straight in a tile when the
// neighbourhood lies inside one, otherwise gathered pixel by pixel into `block`.
struct Neighbourhood {
  const uint8_t* rows[kTaps];
  int32_t phaseX, phaseY;
  uint8_t block[kTaps][kTaps * kMaxPixelBytes];
};

inline void locate(const Raster& raster, int32_t level, float x, float y, Neighbourhood& n) {
  const int32_t width = raster.width[level], height = raster.height[level];
  const bool wrapX = raster.edgeMode == kEdgeWrap || raster.edgeMode == kEdgeWrapHorizontal;
  const bool wrapY = raster.edgeMode == kEdgeWrap;
  AxisTaps ax = splitPosition(x, raster.widthF[level]);
  AxisTaps ay = splitPosition(y, raster.heightF[level]);
  n.phaseX = ax.phase;
  n.phaseY = ay.phase;
  if (wrapX) ax.index = wrapIndex(ax.index, width);
  if (wrapY) ay.index = wrapIndex(ay.index, height);
  const int32_t left = ax.index - 2, top = ay.index - 2;
  const size_t bpp = size_t(raster.bytesPerPixel);

  if (left >= 0 && top >= 0 && ax.index + 2 < width && ay.index + 2 < height &&
      (left & (kTileSize - 1)) <= kLastFastOffset && (top & (kTileSize - 1)) <= kLastFastOffset) {
    const uint8_t* first = pixelAddress(raster, level, left, top);
    const size_t rowBytes = size_t(tileAt(raster, level, left, top).stride) * bpp;
    for (int k = 0; k < kTaps; ++k) n.rows[k] = first + k * rowBytes;
    return;
  }

  int32_t xs[kTaps], ys[kTaps];
  edgeTaps(ax.index, width, wrapX, xs);
  edgeTaps(ay.index, height, wrapY, ys);
  for (int k = 0; k < kTaps; ++k) {
    for (int t = 0; t < kTaps; ++t)
      std::memcpy(n.block[k] + t * bpp, pixelAddress(raster, level, xs[t], ys[k]), bpp);
    n.rows[k] = n.block[k];
  }
}

// Two 16-bit weights side by side, the first in the low half, for one multiply-add over a
// pair of pixels.
inline int32_t weightPair(int16_t first, int16_t second) {
  return int32_t(uint32_t(uint16_t(first)) | uint32_t(uint16_t(second)) << 16);
}

// The low 32 bits of each lane times w; sums that fit 32 bits come out exact.
inline __m128i multiply32(__m128i a, int32_t w) {
  const __m128i b = _mm_set1_epi32(w);
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), b);
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Format 3: weights of 2048, the weighted sum times 2^-22. Pixel t of a row takes tap
// 4 - t. Every sum fits 32 bits: the absolute weights of a phase total at most 2430.
PixelValue filterRgba8(const Neighbourhood& n, const KernelTables& kernels) {
  const int16_t* wx = kernels.weights2048[n.phaseX];
  const int16_t* wy = kernels.weights2048[n.phaseY];
  const __m128i zero = _mm_setzero_si128();
  const __m128i w01 = _mm_set1_epi32(weightPair(wx[4], wx[3]));
  const __m128i w23 = _mm_set1_epi32(weightPair(wx[2], wx[1]));
  const __m128i w4 = _mm_set1_epi32(weightPair(wx[0], 0));
  __m128i total = zero;
  for (int k = 0; k < kTaps; ++k) {
    const __m128i p0123 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n.rows[k]));
    int32_t word4;
    std::memcpy(&word4, n.rows[k] + 16, 4);
    const __m128i p123 = _mm_srli_si128(p0123, 4);
    // Components of neighbouring pixels interleaved, widened to 16 bits.
    const __m128i pair01 = _mm_unpacklo_epi8(_mm_unpacklo_epi8(p0123, p123), zero);
    const __m128i pair23 = _mm_unpacklo_epi8(_mm_unpackhi_epi8(p0123, p123), zero);
    const __m128i pair4 =
        _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word4), zero), zero);
    const __m128i row = _mm_add_epi32(
        _mm_add_epi32(_mm_madd_epi16(pair01, w01), _mm_madd_epi16(pair23, w23)),
        _mm_madd_epi16(pair4, w4));
    total = _mm_add_epi32(total, multiply32(row, wy[4 - k]));
  }
  // Lanes hold the word's bytes in memory order: alpha, blue, green, red.
  alignas(16) int32_t c[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(c), _mm_srai_epi32(total, 22));
  return {float(c[3]), float(c[2]), float(c[1]), float(c[0])};
}

// Format 0: as format 3 with one component.
PixelValue filterGrey8(const Neighbourhood& n, const KernelTables& kernels, size_t step) {
  const int16_t* wx = kernels.weights2048[n.phaseX];
  const int16_t* wy = kernels.weights2048[n.phaseY];
  int32_t total = 0;
  for (int k = 0; k < kTaps; ++k) {
    int32_t row = 0;
    for (int t = 0; t < kTaps; ++t) row += wx[4 - t] * n.rows[k][t * step];
    total += wy[4 - k] * row;
  }
  float v = float(total >> 22);
  return {v, v, v, 255.0f};
}

// Format 4: weights of 32768; each row's sum and the final sum are divided by 32768,
// rounding toward zero. 64 bits leave room for components above the host's 32768.
PixelValue filterRgba16(const Neighbourhood& n, const KernelTables& kernels) {
  const int32_t* wx = kernels.weights32768[n.phaseX];
  const int32_t* wy = kernels.weights32768[n.phaseY];
  int64_t total[4] = {};
  for (int k = 0; k < kTaps; ++k) {
    int64_t row[4] = {};
    for (int t = 0; t < kTaps; ++t) {
      uint16_t p[4];
      std::memcpy(p, n.rows[k] + t * 8, sizeof p);
      for (int c = 0; c < 4; ++c) row[c] += int64_t(wx[4 - t]) * p[c];
    }
    for (int c = 0; c < 4; ++c) total[c] += int64_t(wy[4 - k]) * (row[c] / 32768);
  }
  return {float(total[0] / 32768), float(total[1] / 32768), float(total[2] / 32768),
          float(total[3] / 32768)};
}

// Format 9: float weights; each row summed from the left, the rows from the top.
PixelValue filterRgbaFloat(const Neighbourhood& n, const KernelTables& kernels) {
  const float* wx = kernels.weights[n.phaseX];
  const float* wy = kernels.weights[n.phaseY];
  __m128 total = _mm_setzero_ps();
  for (int k = 0; k < kTaps; ++k) {
    const float* p = reinterpret_cast<const float*>(n.rows[k]);
    __m128 row = _mm_setzero_ps();
    for (int t = 0; t < kTaps; ++t)
      row = _mm_add_ps(row, _mm_mul_ps(_mm_set1_ps(wx[4 - t]), _mm_loadu_ps(p + 4 * t)));
    total = _mm_add_ps(total, _mm_mul_ps(_mm_set1_ps(wy[4 - k]), row));
  }
  PixelValue v;
  _mm_storeu_ps(&v.r, total);
  return v;
}

bool hasSampler(const Raster& raster) {
  if (!rasterExists(raster) || !raster.kernels) return false;
  switch (raster.format) {
    case kFormatGrey8:
    case kFormatRgba8:
    case kFormatRgba16:
    case kFormatRgbaFloat: return true;
    default: return false;
  }
}

// One level of a raster that has a sampler; the level exists.
inline PixelValue sampleExistingLevel(const Raster& raster, int32_t level, float x, float y) {
  Neighbourhood n;
  locate(raster, level, x, y, n);
  const KernelTables& kernels = *raster.kernels;
  switch (raster.format) {
    case kFormatRgba8: return filterRgba8(n, kernels);
    case kFormatRgba16: return filterRgba16(n, kernels);
    case kFormatRgbaFloat: return filterRgbaFloat(n, kernels);
    default: return filterGrey8(n, kernels, size_t(raster.bytesPerPixel));
  }
}

}  // namespace

PixelValue sampleLevel(const Raster& raster, int32_t level, float x, float y) {
  if (!hasSampler(raster)) return {};
  return sampleExistingLevel(raster, std::clamp(level, 0, raster.lastLevel), x, y);
}

PixelValue sampleTrilinear(const Raster& raster, int32_t level, float fraction, float x,
                           float y) {
  if (!hasSampler(raster)) return {};
  level = std::clamp(level, 0, std::max(raster.lastLevel - 1, 0));
  PixelValue a = sampleExistingLevel(raster, level, x, y);
  if (!(fraction > 0.0f) || raster.lastLevel == 0) return a;
  float f = std::min(fraction, 1.0f);
  PixelValue b = sampleExistingLevel(raster, level + 1, x, y);
  return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f,
          a.a + (b.a - a.a) * f};
}

void resample(const Raster& source, Raster& destination, const PixelRect& destRect,
              const PixelRect& sourceRect, float bias) {
  if (!hasSampler(source) || !rasterExists(destination)) return;
  if (destination.format != kFormatRgba8 && destination.format != kFormatGrey8) return;
  if (destRect.width < 1 || destRect.height < 1 || sourceRect.width < 1 || sourceRect.height < 1)
    return;

  double lambda = std::log2(double(sourceRect.width) / double(destRect.width)) - double(bias);
  if (!(lambda > 0.0)) lambda = 0.0;
  lambda = std::min(lambda, double(source.lastLevel));
  const int32_t level = static_cast<int32_t>(lambda);
  const float fraction = static_cast<float>(lambda - level);

  const double stepX = double(sourceRect.width) / double(destRect.width);
  const double stepY = double(sourceRect.height) / double(destRect.height);
  const double width0 = source.width[0], height0 = source.height[0];
  // Multiplying by 255 / full scale keeps 8-bit values exact through the conversion.
  const float toByte = 255.0f / source.fullScale;
  auto byte = [toByte](float v) -> uint8_t {
    v *= toByte;
    if (!(v > 0.0f)) return 0;
    return v >= 255.0f ? 255 : static_cast<uint8_t>(v);
  };

  const int32_t x0 = std::max(destRect.x, 0);
  const int32_t x1 = int32_t(std::min(int64_t(destRect.x) + destRect.width, int64_t(destination.width[0])));
  const int32_t y0 = std::max(destRect.y, 0);
  const int32_t y1 = int32_t(std::min(int64_t(destRect.y) + destRect.height, int64_t(destination.height[0])));
  for (int32_t y = y0; y < y1; ++y) {
    float v = float((sourceRect.y + (double(y) - destRect.y + 0.5) * stepY) / height0);
    for (int32_t x = x0; x < x1; ++x) {
      float u = float((sourceRect.x + (double(x) - destRect.x + 0.5) * stepX) / width0);
      PixelValue s = sampleTrilinear(source, level, fraction, u, v);
      setPixel(x, y, destination, 0, byte(s.r), byte(s.g), byte(s.b), 255);
    }
  }
  buildPyramid(destination);
}
