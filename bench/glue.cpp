// The glue stage per pixel, for every mode on an 8-bit RGB image with editable transparency,
// the way a final render calls it: one row record, then the row's pixels left to right.
// Beside them, in the same program so that both see the same machine, the cost of sampling
// one water pixel in the reflection core, which the slowest mode should not exceed. On a busy
// machine run with --benchmark_enable_random_interleaving=true and repetitions.
#include "render/glue.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "raster/kernels.h"
#include "raster/pyramid.h"
#include "render/glue_names.h"
#include "render/reflection.h"

namespace {

constexpr int32_t kWidth = 1024;
constexpr int32_t kPlanes = 4;

struct Row {
  std::vector<WaterPixel> water;
  std::vector<uint8_t> in, out;
  uint8_t triangle[kTriangleSize];
};

// Varied water over a varied image; one pixel in sixteen overshoots the top, as bright
// edges do after sampling, so the light spill is paid where it would be.
Row makeRow() {
  Row row;
  std::mt19937 random(11);
  std::uniform_int_distribution<int> value(0, 255), over(256, 400);
  for (int32_t x = 0; x < kWidth; ++x) {
    const float r = float(x % 16 == 0 ? over(random) : value(random));
    row.water.push_back({r / 255.0f, float(value(random)) / 255.0f, float(value(random)) / 255.0f,
                         float(value(random)) / 255.0f});
  }
  for (int32_t i = 0; i < kWidth * kPlanes; ++i) row.in.push_back(uint8_t(value(random)));
  row.out.resize(row.in.size());
  buildTriangleTable(row.triangle);
  return row;
}

void perPixel(benchmark::State& state) {
  state.counters["per_pixel"] = benchmark::Counter(
      double(kWidth), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_GluePixel8(benchmark::State& state, int32_t glue) {
  Row row = makeRow();
  GlueFrame frame{};
  frame.renderMode = 0;
  frame.depth = 8;
  frame.layout = {false, true};
  frame.glue = glue;
  frame.triangle = row.triangle;
  frame.width = kWidth;
  frame.height = 1;
  frame.inData = row.in.data();
  frame.outData = row.out.data();
  frame.inStep = frame.outStep = kPlanes;
  for (auto _ : state) {
    const GlueRow glueRow = startGlueRow(frame, 0);
    for (int32_t x = 0; x < kWidth; ++x) gluePixel(x, row.water[x], glueRow);
    benchmark::ClobberMemory();
  }
  perPixel(state);
}

// The reflection core's whole sampling of a water pixel, as the band renderer asks for it: a
// row of reflected positions drifting across the middle of a 1024 x 1024 source with a little
// blur, footprint from the previous row, level choice, trilinear sample and tint.
void BM_SampleWaterPixel(benchmark::State& state) {
  static KernelTables kernels;
  buildKernelTables(kernels);
  Raster source{};
  source.kernels = &kernels;
  if (!createRaster(source, 1024, 1024, kFormatRgba8, kEdgeClamp, false)) {
    state.SkipWithError("no memory for the source");
    return;
  }
  std::mt19937 random(9);
  for (int32_t y = 0; y < 1024; ++y)
    for (int32_t x = 0; x < 1024; ++x) {
      const uint32_t bits = random();
      setPixel(x, y, source, 0, uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), 255);
    }
  buildPyramid(source);

  ReflectionRow row{};
  row.source = &source;
  row.footprintU = row.footprintV = 1024.0f;
  row.lastColumn = kWidth - 1;
  row.waterR = 40.0f, row.waterG = 90.0f, row.waterB = 120.0f;
  row.scale = 255.0f;
  std::uniform_real_distribution<float> ripple(-0.002f, 0.002f);
  std::vector<float> u, v;
  std::vector<RowScratch> previous;
  for (int32_t x = 0; x < kWidth; ++x) {
    u.push_back((x + 0.5f) / 1024.0f + ripple(random));
    v.push_back(0.3f + ripple(random));
    previous.push_back({u.back() + ripple(random), v.back() - 0.003f});
  }
  previous.push_back({0.0f, 0.0f});
  std::vector<RowScratch> scratch;
  for (auto _ : state) {
    state.PauseTiming();
    scratch = previous;
    state.ResumeTiming();
    ReflectionCarry carry = startOfRow();
    for (int32_t x = 0; x < kWidth; ++x)
      benchmark::DoNotOptimize(
          reflectPixel(row, scratch.data(), x, carry, u[x], v[x], true, 0.6f, 0.1f));
  }
  perPixel(state);
  releaseRaster(source);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("sample one water pixel", BM_SampleWaterPixel)
      ->Unit(benchmark::kMicrosecond);
  for (int32_t glue = 1; glue <= kGlueCount; ++glue) {
    const std::string name = "gluePixel8/" + std::to_string(glue) + " " + glueName(glue);
    benchmark::RegisterBenchmark(name.c_str(), BM_GluePixel8, glue)->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
