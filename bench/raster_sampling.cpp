// Trilinear samples the way the renderer takes them: along rows, between two levels, on
// the single-tile fast path or at the picture's edge where every tap is looked up alone.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "raster/kernels.h"
#include "raster/pyramid.h"
#include "raster/sampling.h"

namespace {

constexpr int32_t kSize = 2048;
constexpr int kRows = 16;
constexpr int kPerRow = 1024;

struct Position {
  float x, y;
};

// Rows of positions drifting slowly across the picture, as reflected rows do. The fast path
// keeps well inside tiles at levels 0 and 1; the edge path hugs the left border.
std::vector<Position> positions(bool edge) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
  std::vector<Position> out;
  for (int row = 0; row < kRows; ++row) {
    float y = (700.0f + 3.0f * row) / kSize;
    for (int i = 0; i < kPerRow; ++i) {
      float pixel = edge ? 0.5f + (i % 3) * 0.5f : 520.0f + i * 0.45f + jitter(random);
      out.push_back({pixel / kSize, y + jitter(random) / kSize});
    }
  }
  return out;
}

void BM_SampleTrilinear(benchmark::State& state) {
  const int32_t format = int32_t(state.range(0));
  const bool edge = state.range(1) != 0;
  static KernelTables kernels;
  buildKernelTables(kernels);
  Raster r{};
  r.kernels = &kernels;
  if (!createRaster(r, kSize, kSize, format, kEdgeClamp, false)) {
    state.SkipWithError("no memory for the raster");
    return;
  }
  std::mt19937 random(9);
  for (int32_t y = 0; y < kSize; ++y) {
    for (int32_t x = 0; x < kSize; ++x) {
      uint32_t bits = random();
      setPixel(x, y, r, 0, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), 255);
      setPixel16(x, y, r, 0, uint16_t(bits & 0x7FFF), uint16_t(bits >> 17), 1000, 32768);
      setPixelFloat(x, y, r, 0, float(bits & 0xFFFF) / 65536.0f, 0.5f, 0.25f, 1.0f);
    }
  }
  buildPyramid(r);
  const std::vector<Position> at = positions(edge);
  for (auto _ : state) {
    for (const Position& p : at) benchmark::DoNotOptimize(sampleTrilinear(r, 0, 0.5f, p.x, p.y));
  }
  state.counters["per_sample"] =
      benchmark::Counter(double(at.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
  releaseRaster(r);
}
BENCHMARK(BM_SampleTrilinear)
    ->ArgNames({"format", "edge"})
    ->ArgsProduct({{3, 4, 9}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
