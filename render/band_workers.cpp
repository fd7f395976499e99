#include "render/band_workers.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Far beyond any processor count, and far below what a typing slip might ask for.
constexpr int32_t kMaxThreads = 256;
// Bands are short enough that the first rows come soon and the last band does not leave
// threads idle for long, long enough that the row above each costs little.
constexpr int32_t kMaxBandRows = 32;
// What all bands in flight may hold together.
constexpr int64_t kBandBytes = 16 << 20;

struct BandSlot {
  HostBuffer pixels;
  int32_t band;  // -1: free
  bool ready;
};

}  // namespace

struct BandWorkers {
  Settings settings;
  RenderFrame frame;
  const Raster* source;
  const NoiseTables* noise;
  const BufferProcs* memory;
  int32_t bandRows, bandCount;

  // Band b goes to slot b % slots.size(), once the band before it there has been taken.
  std::vector<BandSlot> slots;
  std::vector<HostBuffer> scratch;  // one scratch row per worker
  std::vector<std::thread> threads;

  std::mutex mutex;
  std::condition_variable slotFreed, bandReady;
  std::atomic<bool> stopping{false};
  int32_t nextBand = 0;   // the next band a worker takes up
  int32_t nextRow = 0;    // the row the caller asks for next
  int32_t heldBand = -1;  // the band whose rows the caller is reading
};

namespace {

WaterPixel* bandPixels(const BandSlot& slot) { return static_cast<WaterPixel*>(slot.pixels.data); }

void renderBands(BandWorkers& w, RowScratch* scratch) {
  const int32_t width = w.frame.width, height = w.frame.height;
  std::unique_lock lock(w.mutex);
  for (;;) {
    w.slotFreed.wait(lock, [&] {
      return w.stopping || w.nextBand >= w.bandCount ||
             w.slots[size_t(w.nextBand) % w.slots.size()].band < 0;
    });
    if (w.stopping || w.nextBand >= w.bandCount) return;
    const int32_t band = w.nextBand++;
    BandSlot& slot = w.slots[size_t(band) % w.slots.size()];
    slot.band = band;
    slot.ready = false;
    lock.unlock();

    const int32_t first = band * w.bandRows, end = std::min(first + w.bandRows, height);
    if (first > 0) seedScratch(w.settings, w.frame, *w.noise, first - 1, scratch);
    for (int32_t row = first; row < end && !w.stopping; ++row)
      renderPixels(w.settings, w.frame, *w.source, *w.noise, row, scratch,
                   bandPixels(slot) + size_t(row - first) * size_t(width));

    lock.lock();
    slot.ready = true;
    w.bandReady.notify_all();
  }
}

}  // namespace

int32_t renderThreadCount() {
  if (const char* text = std::getenv("TARVE_THREADS")) {
    char* end = nullptr;
    const long count = std::strtol(text, &end, 10);
    if (end != text && *end == 0 && count >= 1) return int32_t(std::min<long>(count, kMaxThreads));
  }
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : int32_t(std::min<unsigned>(cores, kMaxThreads));
}

BandWorkers* startBandWorkers(const Settings& settings, const RenderFrame& frame,
                              const Raster& source, const NoiseTables& noise, int32_t threads,
                              const BufferProcs* memory) {
  if (threads < 2 || frame.height < 2 || frame.width < 1) return nullptr;
  auto* w = new BandWorkers;
  w->settings = settings;
  w->frame = frame;
  w->source = &source;
  w->noise = &noise;
  w->memory = memory;
  threads = std::min(threads, frame.height);
  // Two bands more than workers, so that none waits while the host takes its rows.
  const size_t slotCount = size_t(threads) + 2;
  const int64_t rowBytes = int64_t(frame.width) * int64_t(sizeof(WaterPixel));
  const int64_t affordable = std::max<int64_t>(1, kBandBytes / (int64_t(slotCount) * rowBytes));
  w->bandRows = int32_t(std::clamp<int64_t>(frame.height / (threads * 4), 1,
                                            std::min<int64_t>(kMaxBandRows, affordable)));
  w->bandCount = (frame.height + w->bandRows - 1) / w->bandRows;

  bool ok = true;
  w->slots.resize(slotCount, BandSlot{{}, -1, false});
  for (BandSlot& slot : w->slots)
    ok = ok && allocateBuffer(memory, size_t(rowBytes) * size_t(w->bandRows), slot.pixels);
  w->scratch.resize(size_t(threads));
  for (HostBuffer& s : w->scratch)
    ok = ok && allocateBuffer(memory, (size_t(frame.width) + 4) * sizeof(RowScratch), s);
  if (!ok) {
    stopBandWorkers(w);
    return nullptr;
  }
  for (HostBuffer& s : w->scratch)
    w->threads.emplace_back(renderBands, std::ref(*w), static_cast<RowScratch*>(s.data));
  return w;
}

const WaterPixel* takeRow(BandWorkers& w, const Settings& settings, const RenderFrame& frame,
                          int32_t row) {
  if (row != w.nextRow || !(frame == w.frame) ||
      std::memcmp(&settings, &w.settings, sizeof settings) != 0)
    return nullptr;
  const int32_t band = row / w.bandRows;
  std::unique_lock lock(w.mutex);
  if (w.heldBand >= 0 && w.heldBand != band) {
    w.slots[size_t(w.heldBand) % w.slots.size()].band = -1;
    w.heldBand = -1;
    w.slotFreed.notify_all();
  }
  const BandSlot& slot = w.slots[size_t(band) % w.slots.size()];
  w.bandReady.wait(lock, [&] { return slot.band == band && slot.ready; });
  w.heldBand = band;
  w.nextRow = row + 1;
  return bandPixels(slot) + size_t(row - band * w.bandRows) * size_t(w.frame.width);
}

void stopBandWorkers(BandWorkers*& workers) {
  if (!workers) return;
  BandWorkers& w = *workers;
  {
    std::lock_guard lock(w.mutex);
    w.stopping = true;
  }
  w.slotFreed.notify_all();
  for (std::thread& t : w.threads) t.join();
  for (BandSlot& slot : w.slots)
    if (slot.pixels.data) freeBuffer(w.memory, slot.pixels);
  for (HostBuffer& s : w.scratch)
    if (s.data) freeBuffer(w.memory, s);
  delete workers;
  workers = nullptr;
}
