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
// Bands are short so that they take little memory and the last one leaves no thread idle
// for long, long enough that the row above each (reflected positions, without sampling)
// adds only a few per cent.
constexpr int32_t kMaxBandRows = 8;
// What all bands in flight may hold together: little next to the image and its pyramid,
// which a host holds anyway.
constexpr int64_t kBandBytes = 2 << 20;

struct BandSlot {
  HostBuffer pixels;
  int32_t band;  // -1: free
  bool ready;
};

}  // namespace

struct BandWorkers {
  Settings settings;
  RenderFrame frame;
  bool glued;
  GlueFrame glue;           // with `glued`: the host's buffers left out
  size_t rowBytes;          // of a band's row
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

uint8_t* bandRow(const BandSlot& slot, const BandWorkers& w, int32_t index) {
  return static_cast<uint8_t*>(slot.pixels.data) + size_t(index) * w.rowBytes;
}

// What decides the bytes a glued row holds.
bool sameGlue(const GlueFrame& a, const GlueFrame& b) {
  return a.renderMode == b.renderMode && a.depth == b.depth && a.layout.grey == b.layout.grey &&
         a.layout.transparency == b.layout.transparency && a.glue == b.glue &&
         a.triangle == b.triangle && a.width == b.width && a.height == b.height &&
         a.outStep == b.outStep;
}

void renderBands(BandWorkers& w, RowScratch* scratch) {
  const int32_t height = w.frame.height;
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
    for (int32_t row = first; row < end && !w.stopping; ++row) {
      uint8_t* out = bandRow(slot, w, row - first);
      if (!w.glued) {
        renderPixels(w.settings, w.frame, *w.source, *w.noise, row, scratch,
                     reinterpret_cast<WaterPixel*>(out));
        continue;
      }
      GlueFrame frame = w.glue;
      frame.outData = out;
      frame.firstRow = row;
      renderGluedPixels(w.settings, w.frame, *w.source, *w.noise, row, scratch,
                        startGlueRow(frame, row));
    }

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
                              const BufferProcs* memory, const GlueFrame* glue) {
  if (threads < 2 || frame.height < 2 || frame.width < 1) return nullptr;
  auto* w = new BandWorkers;
  w->settings = settings;
  w->frame = frame;
  w->glued = glue != nullptr;
  if (glue) {
    w->glue = *glue;
    w->glue.inData = nullptr;
    w->glue.image = &source;
    w->glue.outRowBytes = 0;
  }
  w->source = &source;
  w->noise = &noise;
  w->memory = memory;
  threads = std::min(threads, frame.height);
  // One band more than workers, so that none waits while the host takes its rows.
  const size_t slotCount = size_t(threads) + 1;
  const int64_t pixelBytes =
      glue ? int64_t(glue->outStep) * (glue->depth / 8) : int64_t(sizeof(WaterPixel));
  const int64_t rowBytes = int64_t(frame.width) * pixelBytes;
  w->rowBytes = size_t(rowBytes);
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

BandRow takeRow(BandWorkers& w, const Settings& settings, const RenderFrame& frame,
                const GlueFrame& glue, int32_t row) {
  if (row != w.nextRow || !(frame == w.frame) ||
      std::memcmp(&settings, &w.settings, sizeof settings) != 0 ||
      (w.glued && !sameGlue(glue, w.glue)))
    return {};
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
  uint8_t* pixels = bandRow(slot, w, row - band * w.bandRows);
  if (w.glued) return {nullptr, pixels, w.rowBytes};
  return {reinterpret_cast<const WaterPixel*>(pixels), nullptr, 0};
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
