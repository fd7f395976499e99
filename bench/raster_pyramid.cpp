// Building the pyramid of a 24-megapixel image, and what such a raster costs in memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>

#include "raster/pyramid.h"
#include "raster/raster.h"

namespace {

// A host buffer service that counts the bytes it hands out.
int64_t liveBytes = 0;
int64_t peakBytes = 0;

OSErr countingAllocate(int32_t size, BufferID* id) {
  auto* block = static_cast<int64_t*>(std::malloc(size_t(size) + sizeof(int64_t)));
  if (!block) return memFullErr;
  block[0] = size;
  liveBytes += size;
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  *id = reinterpret_cast<BufferID>(block);
  return noErr;
}
Ptr countingLock(BufferID id, Boolean) {
  return reinterpret_cast<Ptr>(reinterpret_cast<int64_t*>(id) + 1);
}
void countingUnlock(BufferID) {}
void countingFree(BufferID id) {
  liveBytes -= reinterpret_cast<int64_t*>(id)[0];
  std::free(id);
}

BufferProcs countingProcs() {
  BufferProcs procs{};
  procs.bufferProcsVersion = kCurrentBufferProcsVersion;
  procs.numBufferProcs = kCurrentBufferProcsCount;
  procs.allocateProc = countingAllocate;
  procs.lockProc = countingLock;
  procs.unlockProc = countingUnlock;
  procs.freeProc = countingFree;
  return procs;
}

// A picture with some structure: gradients and a coarse checker.
void paint(Raster& r) {
  for (int32_t y = 0; y < r.height[0]; ++y) {
    for (int32_t x = 0; x < r.width[0]; ++x) {
      uint8_t check = ((x >> 5) ^ (y >> 5)) & 1 ? 40 : 0;
      uint8_t red = uint8_t(x * 255 / r.width[0]), green = uint8_t(y * 255 / r.height[0]);
      setPixel(x, y, r, 0, uint8_t(red + check), green, uint8_t(check * 5), 255);
      setPixel16(x, y, r, 0, uint16_t(red * 128), uint16_t(green * 128), uint16_t(check * 500),
                 32768);
      setPixelFloat(x, y, r, 0, red / 255.0f, green / 255.0f, check / 50.0f, 1.0f);
    }
  }
}

void BM_BuildPyramid(benchmark::State& state) {
  const int32_t format = int32_t(state.range(0));
  BufferProcs procs = countingProcs();
  Raster r{};
  r.memory = &procs;
  liveBytes = peakBytes = 0;
  if (!createRaster(r, 6000, 4000, format, kEdgeClamp, false)) {
    state.SkipWithError("no memory for the raster");
    return;
  }
  paint(r);
  for (auto _ : state) {
    buildPyramid(r);
    benchmark::ClobberMemory();
  }
  const double levelZero = 6000.0 * 4000.0 * r.bytesPerPixel;
  state.counters["raster_MB"] = double(peakBytes) / 1e6;
  state.counters["table_bytes"] = double(r.tileCount) * sizeof(RasterTile);
  state.counters["of_level0"] = double(peakBytes) / levelZero;
  releaseRaster(r);
}
BENCHMARK(BM_BuildPyramid)
    ->ArgName("format")
    ->Arg(3)
    ->Arg(4)
    ->Arg(9)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
