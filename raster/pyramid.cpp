#include "raster/pyramid.h"

#include <algorithm>
#include <functional>
#include <thread>
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

      for (int32_t j = 0; j < rect.width; ++j) {
        const Column* a = all + 2 * j * Lanes;
        const Column* i = inner + 2 * j * Lanes;
        for (int c = 0; c < Lanes; ++c) {
          sums[j * Lanes + c] = Row(i[c]) + Row(a[Lanes + c]) * 16 + Row(a[2 * Lanes + c]) * 64 +
                                Row(a[3 * Lanes + c]) * 64 + Row(a[4 * Lanes + c]) * 16 +
                                Row(i[5 * Lanes + c]);
        }
      }
      T* out = reinterpret_cast<T*>(static_cast<uint8_t*>(tile.buffer.data) +
                                    size_t(y - rect.y) * size_t(tile.stride) *
                                        size_t(raster.bytesPerPixel));
      for (int32_t e = 0; e < rect.width * Lanes; ++e) out[e] = finish(sums[e]);
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
