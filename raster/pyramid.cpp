#include "raster/pyramid.h"

#include <immintrin.h>

#include <algorithm>
#include <functional>
#include <thread>
#include <type_traits>
#include <vector>

#include "raster/reduction_kernel.h"

namespace {

// Sixteen times the reduction kernel is the outer product of these weights with themselves,
// less 1 at the four corners. So each destination pixel takes one vertical and one
// horizontal pass of six taps instead of thirty-six products, and the integer result is
// exactly the same.
constexpr int32_t kOuter[kReductionTaps] = {1, 16, 64, 64, 16, 1};

constexpr bool outerProductMatchesKernel() {
  for (int i = 0; i < kReductionTaps; ++i) {
    for (int j = 0; j < kReductionTaps; ++j) {
      bool corner = (i == 0 || i == 5) && (j == 0 || j == 5);
      if (kOuter[i] * kOuter[j] - (corner ? 1 : 0) != 16 * kReductionKernel[i][j]) return false;
    }
  }
  return true;
}
static_assert(outerProductMatchesKernel());

// Source columns read by one row of a destination tile: two per pixel and four more.
constexpr int32_t kSpan = 2 * kTileSize + 4;

// Column sums and row sums wide enough for 162 x 162 times the largest component.
template <typename T>
struct Sums;
template <>
struct Sums<uint8_t> {
  using Column = uint16_t;
  using Row = int32_t;
};
template <>
struct Sums<uint16_t> {
  using Column = uint32_t;
  using Row = uint32_t;
};
template <>
struct Sums<float> {
  using Column = double;
  using Row = double;
};

// From sixteen times the weighted sum to the stored component: scaled, truncated and
// limited to the format's full scale.
inline uint8_t finish(int32_t sum16) {
  double v = double(sum16 >> 4) * kReductionScale;
  return v >= 255.0 ? 255 : static_cast<uint8_t>(v);
}
inline uint16_t finish(uint32_t sum16) {
  double v = double(sum16 >> 4) * kReductionScale;
  return v >= 32768.0 ? 32768 : static_cast<uint16_t>(v);
}
inline float finish(double sum16) {
  double v = sum16 / 16.0 * kReductionScale;
  return static_cast<float>(std::min(v, 1.0));
}

// The horizontal pass and the scaling of one destination row of packed 8-bit pixels, two
// pixels (eight components) at a time where the processor has AVX2: the same integer sums,
// and the same products in double, truncated and limited as finish() does. Returns how many
// pixels it made; the scalar pass makes the rest.
// Column c of a pixel pair: column c of the first pixel's window beside column c of the
// second's, which starts two source columns on.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i taps(const uint16_t* sums,
                                                               int32_t column) {
  const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + column * 4));
  const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(sums + (column + 2) * 4));
  return _mm256_cvtepu16_epi32(_mm_unpacklo_epi64(first, second));
}

[[gnu::target("avx2")]] int32_t reduceRowRgba8Wide(const uint16_t* all, const uint16_t* inner,
                                                   int32_t width, uint8_t* out) {
  const __m256d scale = _mm256_set1_pd(kReductionScale);
  const __m256d top = _mm256_set1_pd(255.0);
  int32_t j = 0;
  for (; j + 2 <= width; j += 2) {
    const int32_t c = 2 * j;
    const __m256i outer = _mm256_add_epi32(taps(inner, c), taps(inner, c + 5));
    const __m256i near = _mm256_add_epi32(taps(all, c + 1), taps(all, c + 4));
    const __m256i centre = _mm256_add_epi32(taps(all, c + 2), taps(all, c + 3));
    const __m256i sum16 = _mm256_add_epi32(
        outer, _mm256_add_epi32(_mm256_slli_epi32(near, 4), _mm256_slli_epi32(centre, 6)));
    const __m256i sum = _mm256_srai_epi32(sum16, 4);
    __m128i halves[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i part = h ? _mm256_extracti128_si256(sum, 1) : _mm256_castsi256_si128(sum);
      const __m256d v = _mm256_mul_pd(_mm256_cvtepi32_pd(part), scale);
      const __m256d full = _mm256_cmp_pd(v, top, _CMP_GE_OQ);
      halves[h] = _mm256_cvttpd_epi32(_mm256_blendv_pd(v, top, full));
    }
    const __m128i words = _mm_packus_epi32(halves[0], halves[1]);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + j * 4), _mm_packus_epi16(words, words));
  }
  return j;
}

// Tiles first, first + step, ... of level `level` + 1 from `level`, for pixels of `Lanes`
// components of type T. Every component is filtered on its own.
template <typename T, int Lanes>
void reduceTiles(Raster& raster, int32_t level, int32_t first, int32_t step) {
  using Column = typename Sums<T>::Column;
  using Row = typename Sums<T>::Row;
  const int32_t sourceWidth = raster.width[level];
  const int32_t sourceHeight = raster.height[level];
  const int32_t target = level + 1;
  // Per source column: all six rows, and the four inner rows (the corners' columns leave
  // out the outer rows).
  Column all[kSpan * Lanes];
  Column inner[kSpan * Lanes];
  Row sums[kTileSize * Lanes];

  for (int32_t n = first; n < levelTileCount(raster, target); n += step) {
    int32_t tileIndex = raster.firstTile[target] + n;
    PixelRect rect = tileRect(raster, tileIndex);
    if (rect.width == 0 || rect.height == 0) continue;
    const RasterTile& tile = raster.tiles[tileIndex];
    const int32_t first = 2 * rect.x - 2;
    const int32_t columns = 2 * rect.width + 4;
    const int32_t lo = std::max(first, 0);
    const int32_t hi = std::min(first + columns - 1, sourceWidth - 1);

    for (int32_t y = rect.y; y < rect.y + rect.height; ++y) {
      int32_t rows[kReductionTaps];
      for (int t = 0; t < kReductionTaps; ++t)
        rows[t] = std::clamp(2 * y - 2 + t, 0, sourceHeight - 1);

      for (int32_t x = lo; x <= hi;) {
        int32_t end = std::min(hi, x | (kTileSize - 1));  // the run stays in one source tile
        const T* p[kReductionTaps];
        for (int t = 0; t < kReductionTaps; ++t)
          p[t] = reinterpret_cast<const T*>(pixelAddress(raster, level, x, rows[t]));
        Column* outAll = all + (x - first) * Lanes;
        Column* outInner = inner + (x - first) * Lanes;
        const int32_t count = (end - x + 1) * Lanes;
        for (int32_t e = 0; e < count; ++e) {
          Column middle = Column(p[1][e]) * 16 + Column(p[2][e]) * 64 + Column(p[3][e]) * 64 +
                          Column(p[4][e]) * 16;
          outInner[e] = middle;
          outAll[e] = middle + Column(p[0][e]) + Column(p[5][e]);
        }
        x = end + 1;
      }
      // Columns outside the level repeat its edge.
      for (int32_t c = first; c < first + columns; ++c) {
        if (c >= lo && c <= hi) continue;
        int32_t from = (c < lo ? lo : hi) - first, to = c - first;
        std::copy_n(all + from * Lanes, Lanes, all + to * Lanes);
        std::copy_n(inner + from * Lanes, Lanes, inner + to * Lanes);
      }

      T* out = reinterpret_cast<T*>(static_cast<uint8_t*>(tile.buffer.data) +
                                    size_t(y - rect.y) * size_t(tile.stride) *
                                        size_t(raster.bytesPerPixel));
      int32_t j = 0;
      if constexpr (std::is_same_v<T, uint8_t> && Lanes == 4)
        if (gWidePyramid) j = reduceRowRgba8Wide(all, inner, rect.width, out);
      for (; j < rect.width; ++j) {
        const Column* a = all + 2 * j * Lanes;
        const Column* i = inner + 2 * j * Lanes;
        for (int c = 0; c < Lanes; ++c) {
          sums[j * Lanes + c] = Row(i[c]) + Row(a[Lanes + c]) * 16 + Row(a[2 * Lanes + c]) * 64 +
                                Row(a[3 * Lanes + c]) * 64 + Row(a[4 * Lanes + c]) * 16 +
                                Row(i[5 * Lanes + c]);
          out[j * Lanes + c] = finish(sums[j * Lanes + c]);
        }
      }
    }
  }
}

// The tiles of a level depend only on the level above, so they are shared out among the
// threads; the levels follow each other.
template <typename T>
void reduceLevels(Raster& raster, int32_t threads) {
  auto reduce = reduceTiles<T, 1>;
  switch (raster.bytesPerPixel / int32_t(sizeof(T))) {
    case 2: reduce = reduceTiles<T, 2>; break;
    case 3: reduce = reduceTiles<T, 3>; break;
    case 4: reduce = reduceTiles<T, 4>; break;
  }
  for (int32_t level = 0; level < raster.lastLevel; ++level) {
    const int32_t helpers = std::min(threads, levelTileCount(raster, level + 1)) - 1;
    std::vector<std::thread> others;
    for (int32_t t = 1; t <= helpers; ++t)
      others.emplace_back(reduce, std::ref(raster), level, t, helpers + 1);
    reduce(raster, level, 0, helpers + 1);
    for (std::thread& t : others) t.join();
  }
}

}  // namespace

bool gWidePyramid = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}();

void buildPyramid(Raster& raster) { buildPyramid(raster, 1); }

void buildPyramid(Raster& raster, int32_t threads) {
  if (!rasterExists(raster) || raster.edgeMode == kEdgeNoPyramid) return;
  threads = std::max(threads, 1);
  switch (raster.format) {
    case kFormatGrey8:
    case kFormatRgba8: reduceLevels<uint8_t>(raster, threads); break;
    case kFormatGrey16:
    case kFormatSingle16:
    case kFormatRgba16:
    case kFormatRgb16: reduceLevels<uint16_t>(raster, threads); break;
    case kFormatGreyFloat:
    case kFormatRgbaFloat: reduceLevels<float>(raster, threads); break;
  }
}
