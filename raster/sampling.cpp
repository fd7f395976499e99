#include "raster/sampling.h"

#include <immintrin.h>

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

// The sample's nearest pixel and sub-pixel phase along one axis, from the position counted
// in 1/128 pixel: scaling by 128 is exact, so this is the truncation of the position and of
// its fraction times 128 for every position inside the level; before the level it rounds
// down, which keeps the phase within the table.
inline AxisTaps splitPosition(float normalised, float size) {
  float u = (normalised * size - 0.5f) + 0.5f;
  if (!(u >= -kPositionLimit)) u = u < 0.0f ? -kPositionLimit : 0.0f;  // NaN reads as 0
  if (u > kPositionLimit) u = kPositionLimit;
  const float steps = u * 128.0f;
  int32_t t = static_cast<int32_t>(steps);
  if (steps < static_cast<float>(t)) --t;
  return {t >> 7, t & 127};
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

// Five rows of five pixels, `bytesPerPixel` apart, and the phases that weigh them.
struct Neighbourhood {
  const uint8_t* rows[kTaps];
  int32_t phaseX, phaseY;
};

// Where a neighbourhood that does not lie inside one tile is gathered.
using Block = uint8_t[kTaps][kTaps * kMaxPixelBytes];

// Every pixel after the edge mode. `PixelBytes` is the format's pixel size, or 0 for the
// raster's own (format 0 with or without the border).
template <int PixelBytes>
[[gnu::noinline]] void gather(const Raster& raster, int32_t level, int32_t ix, int32_t iy,
                              bool wrapX, bool wrapY, Block& block, Neighbourhood& n) {
  int32_t xs[kTaps], ys[kTaps];
  edgeTaps(ix, raster.width[level], wrapX, xs);
  edgeTaps(iy, raster.height[level], wrapY, ys);
  const size_t bpp = PixelBytes ? size_t(PixelBytes) : size_t(raster.bytesPerPixel);
  // The five columns nearly always lie in one column of tiles (an edge only repeats a column
  // of the same tile); then each row's tile is looked up once instead of at every pixel.
  const int32_t tileColumn = xs[0] >> kTileShift;
  bool oneTileColumn = true;
  for (int t = 1; t < kTaps; ++t)
    oneTileColumn = oneTileColumn && xs[t] >> kTileShift == tileColumn;
  for (int k = 0; k < kTaps; ++k) {
    if (oneTileColumn) {
      const uint8_t* tileRow = pixelAddress(raster, level, tileColumn << kTileShift, ys[k]);
      for (int t = 0; t < kTaps; ++t)
        std::memcpy(block[k] + t * bpp, tileRow + size_t(xs[t] & (kTileSize - 1)) * bpp, bpp);
    } else {
      for (int t = 0; t < kTaps; ++t)
        std::memcpy(block[k] + t * bpp, pixelAddress(raster, level, xs[t], ys[k]), bpp);
    }
    n.rows[k] = block[k];
  }
}

// The neighbourhood of a sample: straight in the tile when it lies inside one, otherwise
// gathered into `block`.
template <int PixelBytes>
[[gnu::always_inline]] inline void locate(const Raster& raster, int32_t level, float x, float y,
                                          Block& block, Neighbourhood& n) {
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
  if (left < 0 || top < 0 || ax.index + 2 >= width || ay.index + 2 >= height ||
      (left & (kTileSize - 1)) > kLastFastOffset || (top & (kTileSize - 1)) > kLastFastOffset) {
    gather<PixelBytes>(raster, level, ax.index, ay.index, wrapX, wrapY, block, n);
    return;
  }
  const RasterTile& tile = tileAt(raster, level, left, top);
  const size_t bpp = PixelBytes ? size_t(PixelBytes) : size_t(raster.bytesPerPixel);
  const size_t rowBytes = size_t(tile.stride) * bpp;
  const uint8_t* first = static_cast<const uint8_t*>(tile.buffer.data) +
                         size_t(top & (kTileSize - 1)) * rowBytes +
                         size_t(left & (kTileSize - 1)) * bpp;
  for (int k = 0; k < kTaps; ++k) n.rows[k] = first + k * rowBytes;
}

// Two neighbouring 16-bit taps as one 32-bit lane: tap k in the low half, tap k + 1 in the
// high half, for one multiply-add over the pixels they weigh.
inline __m128i tapPair(const int16_t* taps, int k) {
  int32_t pair;
  std::memcpy(&pair, taps + k, sizeof pair);
  return _mm_set1_epi32(pair);
}

// The filters return red, green, blue and alpha in that order.

// Format 3: weights of 2048, the weighted sum times 2^-22. Pixel t of a row takes tap
// 4 - t. Every sum fits 32 bits (the absolute weights of a phase total at most 2430), so
// the vertical products need only their low 32 bits, which unsigned multiplies give.
struct Rgba8Weights {
  // Pixels 1 and 0 take taps 3 and 4, pixels 3 and 2 taps 1 and 2, and pixel 4 tap 0 (its
  // partner, pixel 3 again, weighs nothing).
  __m128i w10, w32, w4;
  // Row k's weight (tap 4 - k) in every 32-bit lane.
  __m128i rows[kTaps];
};

[[gnu::always_inline]] inline Rgba8Weights rgba8Weights(const Neighbourhood& n,
                                                        const KernelTables& kernels) {
  const int16_t* wx = kernels.weights2048[n.phaseX];
  const int16_t* wy = kernels.weights2048[n.phaseY];
  Rgba8Weights w;
  w.w10 = tapPair(wx, 3);
  w.w32 = tapPair(wx, 1);
  w.w4 = _mm_set1_epi32(uint16_t(wx[0]));
  const __m128i wy16 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(wy));
  const __m128i wy0123 = _mm_srai_epi32(_mm_unpacklo_epi16(wy16, wy16), 16);
  w.rows[0] = _mm_set1_epi32(wy[4]);
  w.rows[1] = _mm_shuffle_epi32(wy0123, _MM_SHUFFLE(3, 3, 3, 3));
  w.rows[2] = _mm_shuffle_epi32(wy0123, _MM_SHUFFLE(2, 2, 2, 2));
  w.rows[3] = _mm_shuffle_epi32(wy0123, _MM_SHUFFLE(1, 1, 1, 1));
  w.rows[4] = _mm_shuffle_epi32(wy0123, _MM_SHUFFLE(0, 0, 0, 0));
  return w;
}

[[gnu::always_inline]] inline __m128 filterRgba8(const Neighbourhood& n,
                                                 const KernelTables& kernels) {
  const Rgba8Weights weights = rgba8Weights(n, kernels);
  const __m128i zero = _mm_setzero_si128();
  const __m128i w10 = weights.w10, w32 = weights.w32, w4 = weights.w4;
  const __m128i* rowWeights = weights.rows;
  // Products of lanes 0 and 2, and of lanes 1 and 3, in 64-bit lanes; unrolled, the row
  // weights stay in registers.
  __m128i even = zero, odd = zero;
#pragma GCC unroll 5
  for (int k = 0; k < kTaps; ++k) {
    const __m128i p0123 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n.rows[k]));
    const __m128i p1234 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(n.rows[k] + 4));
    // Components of neighbouring pixels interleaved, then widened to 16 bits: (1, 0) from
    // the low halves, (3, 2) and (4, 3) from the high halves.
    const __m128i low = _mm_unpacklo_epi8(p1234, p0123);
    const __m128i high = _mm_unpackhi_epi8(p1234, p0123);
    const __m128i row =
        _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(low, zero), w10),
                                    _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), w32)),
                      _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), w4));
    even = _mm_add_epi64(even, _mm_mul_epu32(row, rowWeights[k]));
    odd = _mm_add_epi64(odd, _mm_mul_epu32(_mm_srli_epi64(row, 32), rowWeights[k]));
  }
  const __m128i total = _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                                           _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
  // Lanes hold the word's bytes in memory order: alpha, blue, green, red.
  const __m128 abgr = _mm_cvtepi32_ps(_mm_srai_epi32(total, 22));
  return _mm_shuffle_ps(abgr, abgr, _MM_SHUFFLE(0, 1, 2, 3));
}

// Format 0: as format 3 with one component.
inline __m128 filterGrey8(const Neighbourhood& n, const KernelTables& kernels, size_t step) {
  const int16_t* wx = kernels.weights2048[n.phaseX];
  const int16_t* wy = kernels.weights2048[n.phaseY];
  int32_t total = 0;
  for (int k = 0; k < kTaps; ++k) {
    int32_t row = 0;
    for (int t = 0; t < kTaps; ++t) row += wx[4 - t] * n.rows[k][t * step];
    total += wy[4 - k] * row;
  }
  float v = float(total >> 22);
  return _mm_setr_ps(v, v, v, 255.0f);
}

// Two taps side by side in one 32-bit lane, the first in the low half.
inline __m128i tapPair32(int32_t low, int32_t high) {
  return _mm_set1_epi32(int32_t(uint32_t(uint16_t(low)) | uint32_t(uint16_t(high)) << 16));
}

// Format 4: weights of 32768; each row's sum and the final sum are divided by 32768,
// rounding toward zero. Components are biased by -32768 to fit signed 16-bit multiply-adds;
// as the taps of a phase sum to 32768, the bias takes exactly 2^30 off each row's sum,
// which the division puts back as 32768. The rows are combined in doubles, exact for any
// 16-bit component.
inline __m128 filterRgba16(const Neighbourhood& n, const KernelTables& kernels) {
  const int32_t* wx = kernels.weights32768[n.phaseX];
  const int32_t* wy = kernels.weights32768[n.phaseY];
  const __m128i bias = _mm_set1_epi16(int16_t(0x8000));
  const __m128i zero = _mm_setzero_si128();
  const __m128i w01 = tapPair32(wx[4], wx[3]), w23 = tapPair32(wx[2], wx[1]);
  const __m128i w4 = tapPair32(wx[0], 0);
  const __m128i belowZero = _mm_set1_epi32(-(1 << 30));     // biased sums of negative rows
  __m128d low = _mm_setzero_pd(), high = _mm_setzero_pd();  // red, green / blue, alpha
  for (int k = 0; k < kTaps; ++k) {
    const uint8_t* row = n.rows[k];
    const __m128i p01 = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row)), bias);
    const __m128i p23 =
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 16)), bias);
    const __m128i p4 =
        _mm_xor_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + 32)), bias);
    // Components of neighbouring pixels interleaved.
    const __m128i pair01 = _mm_unpacklo_epi16(p01, _mm_srli_si128(p01, 8));
    const __m128i pair23 = _mm_unpacklo_epi16(p23, _mm_srli_si128(p23, 8));
    const __m128i biased =
        _mm_add_epi32(_mm_add_epi32(_mm_madd_epi16(pair01, w01), _mm_madd_epi16(pair23, w23)),
                      _mm_madd_epi16(_mm_unpacklo_epi16(p4, zero), w4));
    // Truncation toward zero: a negative sum rounds up.
    const __m128i rounding =
        _mm_and_si128(_mm_cmplt_epi32(biased, belowZero), _mm_set1_epi32(32767));
    const __m128i quotient =
        _mm_add_epi32(_mm_srai_epi32(_mm_add_epi32(biased, rounding), 15), _mm_set1_epi32(32768));
    const __m128d weight = _mm_set1_pd(double(wy[4 - k]));
    low = _mm_add_pd(low, _mm_mul_pd(_mm_cvtepi32_pd(quotient), weight));
    high = _mm_add_pd(high,
                      _mm_mul_pd(_mm_cvtepi32_pd(_mm_unpackhi_epi64(quotient, quotient)), weight));
  }
  const __m128d scale = _mm_set1_pd(1.0 / 32768.0);
  const __m128i lowInt = _mm_cvttpd_epi32(_mm_mul_pd(low, scale));
  const __m128i highInt = _mm_cvttpd_epi32(_mm_mul_pd(high, scale));
  return _mm_cvtepi32_ps(_mm_unpacklo_epi64(lowInt, highInt));
}

// Format 9: float weights; each row summed from the left, the rows from the top.
[[gnu::always_inline]] inline __m128 filterRgbaFloat(const Neighbourhood& n,
                                                     const KernelTables& kernels) {
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
  return total;
}

// The filter of a format over a located neighbourhood.
template <int32_t Format>
[[gnu::always_inline]] inline __m128 filter(const Raster& raster, const Neighbourhood& n) {
  const KernelTables& kernels = *raster.kernels;
  if constexpr (Format == kFormatRgba8) return filterRgba8(n, kernels);
  if constexpr (Format == kFormatRgba16) return filterRgba16(n, kernels);
  if constexpr (Format == kFormatRgbaFloat) return filterRgbaFloat(n, kernels);
  if constexpr (Format == kFormatGrey8)
    return filterGrey8(n, kernels, size_t(raster.bytesPerPixel));
}

template <int32_t Format>
constexpr int kPixelBytes = Format == kFormatRgba8       ? 4
                            : Format == kFormatRgba16    ? 8
                            : Format == kFormatRgbaFloat ? 16
                                                         : 0;

// One existing level of a raster of the given format.
template <int32_t Format>
[[gnu::always_inline]] inline __m128 sampleAt(const Raster& raster, int32_t level, float x,
                                              float y) {
  Block block;
  Neighbourhood n;
  locate<kPixelBytes<Format>>(raster, level, x, y, block, n);
  return filter<Format>(raster, n);
}

inline PixelValue toPixel(__m128 v) {
  PixelValue p;
  _mm_storeu_ps(&p.r, v);
  return p;
}

template <int32_t Format>
PixelValue oneLevel(const Raster& raster, int32_t level, float x, float y) {
  return toPixel(sampleAt<Format>(raster, std::clamp(level, 0, raster.lastLevel), x, y));
}

template <int32_t Format>
[[gnu::always_inline]] inline PixelValue trilinear(const Raster& raster, int32_t level,
                                                   float fraction, float x, float y) {
  level = std::clamp(level, 0, std::max(raster.lastLevel - 1, 0));
  if (!(fraction > 0.0f) || raster.lastLevel == 0)
    return toPixel(sampleAt<Format>(raster, level, x, y));
  // Both neighbourhoods first, so that the two levels' loads overlap.
  Block blocks[2];
  Neighbourhood n[2];
  locate<kPixelBytes<Format>>(raster, level, x, y, blocks[0], n[0]);
  locate<kPixelBytes<Format>>(raster, level + 1, x, y, blocks[1], n[1]);
  const __m128 a = filter<Format>(raster, n[0]);
  const __m128 b = filter<Format>(raster, n[1]);
  const __m128 f = _mm_set1_ps(std::min(fraction, 1.0f));
  return toPixel(_mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(b, a), f)));
}

// The two levels of a blended format-3 sample side by side, the lower level in the low half
// of every wide register: each half performs exactly the integer steps of filterRgba8, so
// the sums are the same.
#define WIDE [[gnu::target("avx2"), gnu::always_inline]] inline

WIDE __m256i bothHalves(__m128i low, __m128i high) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

WIDE __m256i loadBoth(const uint8_t* low, const uint8_t* high) {
  return bothHalves(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low)),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)));
}

WIDE __m256 filterRgba8Pair(const Neighbourhood& lower, const Neighbourhood& upper,
                            const KernelTables& kernels) {
  const Rgba8Weights a = rgba8Weights(lower, kernels), b = rgba8Weights(upper, kernels);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i w10 = bothHalves(a.w10, b.w10), w32 = bothHalves(a.w32, b.w32);
  const __m256i w4 = bothHalves(a.w4, b.w4);
  __m256i even = zero, odd = zero;
#pragma GCC unroll 5
  for (int k = 0; k < kTaps; ++k) {
    const __m256i rowWeight = bothHalves(a.rows[k], b.rows[k]);
    const __m256i p0123 = loadBoth(lower.rows[k], upper.rows[k]);
    const __m256i p1234 = loadBoth(lower.rows[k] + 4, upper.rows[k] + 4);
    const __m256i low = _mm256_unpacklo_epi8(p1234, p0123);
    const __m256i high = _mm256_unpackhi_epi8(p1234, p0123);
    const __m256i row = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi8(low, zero), w10),
                         _mm256_madd_epi16(_mm256_unpacklo_epi8(high, zero), w32)),
        _mm256_madd_epi16(_mm256_unpackhi_epi8(high, zero), w4));
    even = _mm256_add_epi64(even, _mm256_mul_epu32(row, rowWeight));
    odd = _mm256_add_epi64(odd, _mm256_mul_epu32(_mm256_srli_epi64(row, 32), rowWeight));
  }
  const __m256i total =
      _mm256_unpacklo_epi32(_mm256_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm256_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
  const __m256 abgr = _mm256_cvtepi32_ps(_mm256_srai_epi32(total, 22));
  return _mm256_shuffle_ps(abgr, abgr, _MM_SHUFFLE(0, 1, 2, 3));
}

WIDE PixelValue trilinearRgba8Wide(const Raster& raster, int32_t level, float fraction, float x,
                                   float y) {
  level = std::clamp(level, 0, std::max(raster.lastLevel - 1, 0));
  if (!(fraction > 0.0f) || raster.lastLevel == 0)
    return toPixel(sampleAt<kFormatRgba8>(raster, level, x, y));
  Block blocks[2];
  Neighbourhood n[2];
  locate<4>(raster, level, x, y, blocks[0], n[0]);
  locate<4>(raster, level + 1, x, y, blocks[1], n[1]);
  const __m256 both = filterRgba8Pair(n[0], n[1], *raster.kernels);
  const __m128 a = _mm256_castps256_ps128(both);
  const __m128 b = _mm256_extractf128_ps(both, 1);
  const __m128 f = _mm_set1_ps(std::min(fraction, 1.0f));
  return toPixel(_mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(b, a), f)));
}

// A whole run in one call: without a call per sample, the loads of one sample overlap the
// arithmetic of the one before.
[[gnu::target("avx2")]] void trilinearRgba8WideRun(const Raster& raster, const SamplePosition* at,
                                                    int32_t count, PixelValue* out) {
  for (int32_t i = 0; i < count; ++i)
    out[i] = trilinearRgba8Wide(raster, at[i].level, at[i].fraction, at[i].x, at[i].y);
}

#undef WIDE

template <int32_t Format>
void trilinearRun(const Raster& raster, const SamplePosition* at, int32_t count, PixelValue* out) {
  for (int32_t i = 0; i < count; ++i)
    out[i] = trilinear<Format>(raster, at[i].level, at[i].fraction, at[i].x, at[i].y);
}

// The sampler of a raster's format, or null when it has none or lacks kernels.
template <typename Sampler>
Sampler samplerFor(const Raster& raster, Sampler rgba8, Sampler grey8, Sampler rgba16,
                   Sampler rgbaFloat) {
  if (!rasterExists(raster) || !raster.kernels) return nullptr;
  switch (raster.format) {
    case kFormatRgba8: return rgba8;
    case kFormatGrey8: return grey8;
    case kFormatRgba16: return rgba16;
    case kFormatRgbaFloat: return rgbaFloat;
    default: return nullptr;
  }
}

auto trilinearSampler(const Raster& raster) {
  return samplerFor(raster, gWideSampling ? &trilinearRgba8WideRun : &trilinearRun<kFormatRgba8>,
                    &trilinearRun<kFormatGrey8>, &trilinearRun<kFormatRgba16>,
                    &trilinearRun<kFormatRgbaFloat>);
}

}  // namespace

bool gWideSampling = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}();

PixelValue sampleLevel(const Raster& raster, int32_t level, float x, float y) {
  auto sample = samplerFor(raster, &oneLevel<kFormatRgba8>, &oneLevel<kFormatGrey8>,
                           &oneLevel<kFormatRgba16>, &oneLevel<kFormatRgbaFloat>);
  return sample ? sample(raster, level, x, y) : PixelValue{};
}

PixelValue sampleTrilinear(const Raster& raster, int32_t level, float fraction, float x, float y) {
  const SamplePosition at = {level, fraction, x, y};
  PixelValue value;
  sampleTrilinearRun(raster, &at, 1, &value);
  return value;
}

void sampleTrilinearRun(const Raster& raster, const SamplePosition* at, int32_t count,
                        PixelValue* out) {
  if (auto sample = trilinearSampler(raster)) return sample(raster, at, count, out);
  std::fill_n(out, std::max(count, 0), PixelValue{});
}

void resample(const Raster& source, Raster& destination, const PixelRect& destRect,
              const PixelRect& sourceRect, float bias) {
  if (!trilinearSampler(source) || !rasterExists(destination)) return;
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
  const int32_t x1 =
      int32_t(std::min(int64_t(destRect.x) + destRect.width, int64_t(destination.width[0])));
  const int32_t y0 = std::max(destRect.y, 0);
  const int32_t y1 =
      int32_t(std::min(int64_t(destRect.y) + destRect.height, int64_t(destination.height[0])));
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
