// A host buffer service for tests: counts what it hands out, fills new buffers with junk
// (hosts give no zeroed memory) and can be told to refuse after a number of buffers. The
// system fallback can be made to refuse as well.
#pragma once

#include <cstdlib>
#include <cstring>

#include "raster/memory.h"

struct FakeBuffers {
  int allocated = 0;
  int freed = 0;
  int refuseAfter = -1;  // host buffers granted before refusing; -1 never refuses
  bool systemRefuses = false;
  int systemAllocated = 0;

  int live() const { return allocated - freed; }
};

inline FakeBuffers fakeBuffers;

inline OSErr fakeAllocate(int32_t size, BufferID* id) {
  if (fakeBuffers.refuseAfter >= 0 && fakeBuffers.allocated >= fakeBuffers.refuseAfter)
    return memFullErr;
  void* block = std::malloc(size_t(size));
  std::memset(block, 0xAB, size_t(size));
  *id = reinterpret_cast<BufferID>(block);
  ++fakeBuffers.allocated;
  return noErr;
}
inline Ptr fakeLock(BufferID id, Boolean) { return reinterpret_cast<Ptr>(id); }
inline void fakeUnlock(BufferID) {}
inline void fakeFree(BufferID id) {
  std::free(id);
  ++fakeBuffers.freed;
}

inline void* fakeSystemAllocate(size_t size) {
  if (fakeBuffers.systemRefuses) return nullptr;
  ++fakeBuffers.systemAllocated;
  return std::calloc(1, size);
}

inline BufferProcs fakeBufferProcs() {
  BufferProcs procs{};
  procs.bufferProcsVersion = kCurrentBufferProcsVersion;
  procs.numBufferProcs = kCurrentBufferProcsCount;
  procs.allocateProc = fakeAllocate;
  procs.lockProc = fakeLock;
  procs.unlockProc = fakeUnlock;
  procs.freeProc = fakeFree;
  return procs;
}

// Resets the counters and routes the system fallback through the fake for one test.
struct FakeBufferScope {
  FakeBufferScope() {
    fakeBuffers = FakeBuffers{};
    systemAllocate = fakeSystemAllocate;
  }
  ~FakeBufferScope() { systemAllocate = previous; }
  void* (*previous)(size_t) = systemAllocate;
};
