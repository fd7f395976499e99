// Large blocks of memory: from the host's buffer service when it has one, otherwise
// zero-filled system memory. Every block remembers where it came from (the host's buffer
// identifier, or none) so that it is freed the same way.
#pragma once

#include <cstddef>

#include "sdk/host_interface.h"

struct HostBuffer {
  void* data = nullptr;
  BufferID id = nullptr;  // null: the block is system memory
};

// The host's table is used when it is present and has the procedures we call.
bool bufferProcsUsable(const BufferProcs* procs);

// Returns false, with an empty buffer, only when the host and the system both refuse.
bool allocateBuffer(const BufferProcs* procs, size_t size, HostBuffer& buffer);
void freeBuffer(const BufferProcs* procs, HostBuffer& buffer);

// Zero-filled system memory, the fallback of every host service. Tests may replace the
// allocator to simulate exhaustion; it must return zero-filled memory or null.
extern void* (*systemAllocate)(size_t size);
void systemFree(void* block);
