// A final render of a 4000 x 3000 8-bit RGB image through the in-process host, from Start
// to the last Continue: Start reads the image tile by tile and builds the pyramid, the
// Continue walks the rows. Reading and writing image files are not part of it.
//
// Counters: start_s (acquisition, pyramid and preparation), rows_s (the row loop with the
// host's row deliveries) and rows_ns_per_pixel, in wall-clock time; the same in the
// processor time of all the process's threads (start_cpu_s, rows_cpu_s), which a busy
// machine disturbs less. The "dry" variant puts every pixel above the water line and the
// "water" variant every pixel below it, which gives the cost of each kind of pixel;
// the "four_lanes" variants keep the noise and the sampler on four lanes where the processor
// could take eight.
// TARVE_THREADS sets the render threads (1: the host's thread alone).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/host/host.h"
#include "app/host/procedures.h"
#include "raster/sampling.h"
#include "render/surface.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data,
                           int16_t* result);

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;

// Sky, a low sun, hills and a row of striped towers: enough structure above any horizon
// for the reflection to have something to show.
const HostImage& scene() {
  static const HostImage image = [] {
    HostImage s = makeHostImage(kWidth, kHeight, 8, 3, false);
    for (int32_t y = 0; y < kHeight; ++y)
      for (int32_t x = 0; x < kWidth; ++x) {
        const float u = (x + 0.5f) / kWidth, v = (y + 0.5f) / kHeight;
        float r = 90 + 120 * v, g = 140 + 80 * v, b = 230 - 40 * v;
        const float sun = std::hypot(u - 0.7f, v - 0.3f);
        if (sun < 0.06f) r = 255, g = 230, b = 150;
        const float hill = 0.52f - 0.06f * std::sin(u * 9.0f) - 0.03f * std::sin(u * 31.0f);
        if (v > hill) r = 40 + 30 * std::sin(u * 200.0f), g = 90, b = 50;
        const int32_t tower = x / 150;
        if (tower % 3 == 1 && v > 0.35f + 0.05f * (tower % 4) && v < 0.6f)
          r = (y / 20) % 2 ? 200 : 120, g = 60, b = 40;
        uint8_t* p = s.at(x, y, 0);
        p[0] = uint8_t(r), p[1] = uint8_t(g), p[2] = uint8_t(b);
      }
    return s;
  }();
  return image;
}

DescriptorKeyID key(const char (&code)[5]) {
  return DescriptorKeyID(code[0]) << 24 | DescriptorKeyID(code[1]) << 16 |
         DescriptorKeyID(code[2]) << 8 | DescriptorKeyID(code[3]);
}

double seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double processSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void finalRender(benchmark::State& state, const Descriptor& values, bool wide = true) {
  const HostImage& image = scene();
  const bool wideNoiseBefore = gWideNoise, wideSamplingBefore = gWideSampling;
  gWideNoise = gWideNoise && wide;
  gWideSampling = gWideSampling && wide;
  double start = 0, rows = 0, startCpu = 0, rowsCpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Host host;
    hostOpen(host, PluginMain, image);
    // Played without its dialog: the settings are the defaults changed by `values`.
    host.actions.play = values;
    host.actions.playInfo = plugInDialogDontDisplay;
    if (hostCall(host, filterSelectorPrepare) != 0) state.SkipWithError("Prepare failed");
    state.ResumeTiming();

    const auto t0 = std::chrono::steady_clock::now();
    const double c0 = processSeconds();
    int16_t result = hostCall(host, filterSelectorStart);
    const auto t1 = std::chrono::steady_clock::now();
    const double c1 = processSeconds();
    while (result == 0 && !hostRectsEmpty(host.record)) {
      result = hostDeliverIfChanged(host);
      if (result == 0) result = hostCall(host, filterSelectorContinue);
    }
    const auto t2 = std::chrono::steady_clock::now();
    const double c2 = processSeconds();

    state.PauseTiming();
    if (result != 0) state.SkipWithError("render failed");
    hostFinishRun(host, hostCall(host, filterSelectorFinish));
    hostClose(host);
    start += seconds(t1 - t0);
    rows += seconds(t2 - t1);
    startCpu += c1 - c0;
    rowsCpu += c2 - c1;
    state.ResumeTiming();
  }
  gWideNoise = wideNoiseBefore;
  gWideSampling = wideSamplingBefore;
  const double n = double(state.iterations());
  state.counters["start_s"] = start / n;
  state.counters["rows_s"] = rows / n;
  state.counters["rows_ns_per_pixel"] = rows / n / (double(kWidth) * kHeight) * 1e9;
  state.counters["start_cpu_s"] = startCpu / n;
  state.counters["rows_cpu_s"] = rowsCpu / n;
}

BENCHMARK_CAPTURE(finalRender, defaults, Descriptor{})
    ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(finalRender, defaults_four_lanes, Descriptor{}, false)
    ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(finalRender, dry, Descriptor{integerValue(key("0009"), 100)})
    ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(finalRender, water,
                  Descriptor{integerValue(key("0005"), 0), integerValue(key("0009"), 0)})
    ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(finalRender, water_four_lanes,
                  Descriptor{integerValue(key("0005"), 0), integerValue(key("0009"), 0)}, false)
    ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK_CAPTURE(finalRender, complexity100_rippleSize100,
                  Descriptor{integerValue(key("0012"), 100), integerValue(key("0008"), 100)})
    ->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // The module's state files go to a folder of their own, not the user's.
  const std::string folder = std::filesystem::temp_directory_path() / "tarve-bench-XXXXXX";
  std::string path = folder;
  if (!mkdtemp(path.data())) return 1;
  setenv("TMPDIR", path.c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(path);
  return 0;
}
