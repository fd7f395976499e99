#include "app/host/procedures.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

static Host* current = nullptr;

void hostMakeCurrent(Host& host) { current = &host; }

// ---- memory ---------------------------------------------------------------------------

namespace {
// Zeroed memory from calloc costs nothing until it is written: a module that asks for more
// than it uses (as row buffers sized for the worst case are) does not grow the process.
void* newBlock(size_t size) {
  if (!(current && current->switches.garbageMemory)) return std::calloc(size ? size : 1, 1);
  void* p = std::malloc(size ? size : 1);
  if (p) std::memset(p, 0xCD, size);
  return p;
}

bool allowAllocation(int32_t& remaining) {
  if (remaining == 0) return false;
  if (remaining > 0) --remaining;
  return true;
}

OSErr allocateBuffer(int32_t size, BufferID* id) {
  *id = nullptr;
  if (size < 0 || !allowAllocation(current->allocationsRemaining)) return memFullErr;
  void* p = newBlock(size);
  if (!p) return memFullErr;
  *id = static_cast<BufferID>(p);
  ++current->log.buffersAllocated;
  return noErr;
}
Ptr lockBuffer(BufferID id, Boolean) { return reinterpret_cast<Ptr>(id); }
void unlockBuffer(BufferID) {}
void freeBuffer(BufferID id) {
  std::free(id);
  ++current->log.buffersFreed;
}
int32_t bufferSpace() { return 1 << 30; }
void reserveSpace(int32_t) {}
OSErr allocateBuffer64(int64_t size, BufferID* id) {
  return size > INT32_MAX ? memFullErr : allocateBuffer(static_cast<int32_t>(size), id);
}
int64_t bufferSpace64() { return int64_t(1) << 30; }

Handle newHandle(int32_t size) {
  if (size < 0 || !allowAllocation(current->handlesRemaining)) return nullptr;
  auto* h = static_cast<HostHandle*>(std::malloc(sizeof(HostHandle)));
  if (!h) return nullptr;
  h->data = static_cast<char*>(newBlock(size));
  h->size = size;
  if (!h->data) {
    std::free(h);
    return nullptr;
  }
  ++current->log.handlesAllocated;
  return &h->data;
}
void disposeHandle(Handle handle) {
  if (!handle) return;
  auto* h = reinterpret_cast<HostHandle*>(handle);
  std::free(h->data);
  std::free(h);
  if (current) ++current->log.handlesDisposed;
}
int32_t handleSize(Handle handle) { return handle ? reinterpret_cast<HostHandle*>(handle)->size : 0; }
OSErr setHandleSize(Handle handle, int32_t size) {
  if (!handle || size < 0) return paramErr;
  auto* h = reinterpret_cast<HostHandle*>(handle);
  char* data = static_cast<char*>(std::realloc(h->data, size ? size : 1));
  if (!data) return memFullErr;
  if (size > h->size) std::memset(data + h->size, 0, size - h->size);
  h->data = data;
  h->size = size;
  return noErr;
}
Ptr lockHandle(Handle handle, Boolean) { return handle ? *handle : nullptr; }
void unlockHandle(Handle) {}
void recoverSpace(int32_t) {}

// ---- feedback -------------------------------------------------------------------------

void progress(int32_t done, int32_t total) {
  current->log.progress.emplace_back(done, total);
  if (current->onProgress) current->onProgress(current->progressContext, done, total);
}

Boolean testAbort() {
  const int32_t poll = ++current->log.abortPolls;
  if (current->interrupted && *current->interrupted) return true;
  return current->switches.abortAtPoll > 0 && poll >= current->switches.abortAtPoll;
}

// Takes the part srcRect of an 8-bit pixel map whose samples lie colBytes apart, grey or RGB.
OSErr displayPixels(const PSPixelMap* map, const VRect* srcRect, int32_t dstRow, int32_t dstCol,
                    void* platformContext) {
  ++current->log.displayPixelsCalls;
  if (!map || !srcRect || !map->baseAddr || map->planeBytes != 1) return paramErr;
  const bool grey = map->imageMode == plugInModeGrayScale;
  if (!grey && map->imageMode != plugInModeRGBColor) return paramErr;
  const int32_t planes = grey ? 1 : 3;
  const VRect& s = *srcRect;
  const VRect& b = map->bounds;
  if (s.top < b.top || s.left < b.left || s.bottom > b.bottom || s.right > b.right || s.bottom < s.top ||
      s.right < s.left || map->colBytes < planes)
    return paramErr;
  HostDisplay& shown = current->log.display;
  shown.row = dstRow;
  shown.col = dstCol;
  shown.imageMode = map->imageMode;
  shown.picture = makeHostImage(s.right - s.left, s.bottom - s.top, 8, planes, false);
  for (int32_t y = s.top; y < s.bottom; ++y) {
    const auto* row = static_cast<const uint8_t*>(map->baseAddr) + static_cast<size_t>(y - b.top) * map->rowBytes;
    for (int32_t x = s.left; x < s.right; ++x)
      std::memcpy(shown.picture.at(x - s.left, y - s.top, 0), row + static_cast<size_t>(x - b.left) * map->colBytes,
                  planes);
  }
  if (current->onDisplay) current->onDisplay(platformContext, shown);
  return noErr;
}

// Only colours chosen in RGB: what a filter's colour swatch asks for.
OSErr colorServices(ColorServicesInfo* info) {
  if (!info || !current->chooseColour) return paramErr;
  if (info->selector != plugIncolorServicesChooseColor) return paramErr;
  const bool rgb = (info->sourceSpace == plugIncolorServicesRGBSpace || info->sourceSpace == plugIncolorServicesChosenSpace) &&
                   (info->resultSpace == plugIncolorServicesRGBSpace || info->resultSpace == plugIncolorServicesChosenSpace);
  if (!rgb) return paramErr;
  uint8_t colour[3];
  for (int i = 0; i < 3; ++i) colour[i] = static_cast<uint8_t>(std::clamp<int16_t>(info->colorComponents[i], 0, 255));
  current->chooseColour(colour);
  for (int i = 0; i < 3; ++i) info->colorComponents[i] = colour[i];
  info->resultSpace = plugIncolorServicesRGBSpace;
  return noErr;
}

OSErr advanceState() {
  Host& host = *current;
  const int32_t call = host.log.advanceStateCalls + 1;
  if (host.switches.advanceStateErrorAt == call) {
    ++host.log.advanceStateCalls;
    return host.switches.advanceStateError;
  }
  return hostDeliver(host);
}

// ---- the basic suite: this host publishes no named suites ------------------------------

constexpr SPErr kSuiteNotFound = 0x21536E46;  // '!SnF'

SPErr acquireSuite(const char*, int32_t, const void** suite) {
  *suite = nullptr;
  return kSuiteNotFound;
}
SPErr releaseSuite(const char*, int32_t) { return 0; }
SPBoolean isEqual(const char* a, const char* b) { return std::strcmp(a, b) == 0; }
SPErr allocateBlock(size_t size, void** block) {
  *block = std::malloc(size ? size : 1);
  return *block ? 0 : memFullErr;
}
SPErr freeBlock(void* block) {
  std::free(block);
  return 0;
}
SPErr reallocateBlock(void* block, size_t size, void** out) {
  *out = std::realloc(block, size ? size : 1);
  return *out ? 0 : memFullErr;
}
SPErr undefined() { return 0; }
}  // namespace

void hostDisposeHandle(Handle handle) { disposeHandle(handle); }

void hostInstallProcedures(Host& host) {
  FilterRecord& r = host.record;
  host.bufferProcs = {kCurrentBufferProcsVersion, kCurrentBufferProcsCount, allocateBuffer, lockBuffer,
                      unlockBuffer, freeBuffer, bufferSpace, reserveSpace, allocateBuffer64, bufferSpace64};
  host.handleProcs = {kCurrentHandleProcsVersion, kCurrentHandleProcsCount, newHandle, disposeHandle, handleSize,
                      setHandleSize, lockHandle, unlockHandle, recoverSpace, disposeHandle};
  host.basicSuite = {acquireSuite, releaseSuite, isEqual, allocateBlock, freeBlock, reallocateBlock, undefined};
  const HostSwitches& s = host.switches;
  r.bufferProcs = s.noBufferProcs ? nullptr : &host.bufferProcs;
  r.handleProcs = s.noHandleProcs ? nullptr : &host.handleProcs;
  r.sSPBasic = s.noBasicSuite ? nullptr : &host.basicSuite;
  r.advanceState = s.noAdvanceState ? nullptr : advanceState;
  r.displayPixels = s.noDisplayPixels ? nullptr : displayPixels;
  r.colorServices = host.chooseColour ? colorServices : nullptr;
  r.errorString = &host.errorText;
  r.progressProc = progress;
  r.abortProc = testAbort;
  hostInstallDescriptors(host);
}
