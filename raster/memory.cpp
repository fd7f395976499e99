#include "raster/memory.h"

#include <cstdint>
#include <cstdlib>

static void* callocOne(size_t size) { return std::calloc(1, size); }

void* (*systemAllocate)(size_t size) = callocOne;

void systemFree(void* block) { std::free(block); }

bool bufferProcsUsable(const BufferProcs* procs) {
  return procs && procs->allocateProc && procs->lockProc && procs->unlockProc && procs->freeProc;
}

static bool allocateFromHost(const BufferProcs* procs, size_t size, HostBuffer& buffer) {
  if (!bufferProcsUsable(procs) || size > INT32_MAX) return false;
  BufferID id = nullptr;
  if (procs->allocateProc(static_cast<int32_t>(size), &id) != noErr || !id) return false;
  Ptr data = procs->lockProc(id, true);
  if (!data) {
    procs->freeProc(id);
    return false;
  }
  buffer.data = data;
  buffer.id = id;
  return true;
}

bool allocateBuffer(const BufferProcs* procs, size_t size, HostBuffer& buffer) {
  buffer = {};
  if (allocateFromHost(procs, size, buffer)) return true;
  buffer.data = systemAllocate(size);
  return buffer.data != nullptr;
}

void freeBuffer(const BufferProcs* procs, HostBuffer& buffer) {
  if (buffer.id) {
    // A host buffer can only have come from a usable table.
    procs->unlockProc(buffer.id);
    procs->freeProc(buffer.id);
  } else {
    systemFree(buffer.data);
  }
  buffer = {};
}
