// A PSD export of a 4000 x 3000 8-bit image from inside a run, as the dialog's export makes
// it: the render into a raster of that size, then the document written from it.
//
// Counters, in wall-clock and process processor time: render_s (the render into the raster)
// and write_s (the writer, from the header to the last merged plane). Run one benchmark at
// a time under /usr/bin/time -v for the peak memory.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/host/host.h"
#include "dialog/psd_export.h"
#include "host/render_job.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

constexpr int32_t kWidth = 4000, kHeight = 3000;

HostImage scene() {
  HostImage s = makeHostImage(kWidth, kHeight, 8, 3, false);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x) {
      uint8_t* p = s.at(x, y, 0);
      const bool ground = y > kHeight / 2 + (x / 40) % 30;
      p[0] = uint8_t(ground ? 40 + x % 60 : 90 + y * 120 / kHeight);
      p[1] = uint8_t(ground ? 90 : 140 + y * 80 / kHeight);
      p[2] = uint8_t(ground ? 50 : 230 - (x / 150) % 3 * 40);
    }
  return s;
}

double processSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void psdExport(benchmark::State& bench) {
  Host host;
  hostOpen(host, PluginMain, scene());
  if (hostCall(host, filterSelectorPrepare) != 0 || hostCall(host, filterSelectorStart) != 0)
    bench.SkipWithError("Start failed");
  PluginState& state = *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data));
  int16_t result = 0;
  state.result = &result;
  const std::string path = (std::filesystem::temp_directory_path() / "tarve-bench-export.psd").string();
  double renderWall = 0, renderCpu = 0, totalWall = 0, totalCpu = 0;
  for (auto _ : bench) {
    // The render alone, into a raster like the export's.
    Raster raster{};
    raster.memory = host.record.bufferProcs;
    createRaster(raster, kWidth, kHeight, kFormatRgba8, kEdgeNoPyramid, false);
    bool cancelled = false;
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = processSeconds();
    renderToRaster(state, &raster, cancelled);
    renderWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    renderCpu += processSeconds() - cpu0;
    releaseRaster(raster);

    // The whole export: the same render, then the file.
    ExportDescriptor d{kWidth, kHeight, 6, 1, -1};
    const auto wall1 = std::chrono::steady_clock::now();
    const double cpu1 = processSeconds();
    if (writePsdExport(state, path.c_str(), d, cancelled) != noErr) bench.SkipWithError("export failed");
    totalWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall1).count();
    totalCpu += processSeconds() - cpu1;
  }
  const double n = double(bench.iterations());
  bench.counters["render_s"] = renderWall / n;
  bench.counters["render_cpu_s"] = renderCpu / n;
  bench.counters["write_s"] = (totalWall - renderWall) / n;
  bench.counters["write_cpu_s"] = (totalCpu - renderCpu) / n;
  std::filesystem::remove(path);
  hostCall(host, filterSelectorContinue);
  hostClose(host);
}

}  // namespace

BENCHMARK(psdExport)->Unit(benchmark::kSecond)->Iterations(2);
BENCHMARK_MAIN();
