// The host's services as the module uses them: handles, buffers and named suites, each
// with the fallback the module uses when a host lacks the table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/memory.h"
#include "sdk/host_interface.h"

// ---- handles --------------------------------------------------------------------------

bool handleProcsUsable(const HandleProcs* procs);

// Without a usable table a handle is a small zero-filled record whose first field points at
// a zero-filled block of the requested size, so *handle is the data as with a host handle.
Handle newHandle(const HandleProcs* procs, int32_t size);
void disposeHandle(const HandleProcs* procs, Handle handle);
Ptr lockHandle(const HandleProcs* procs, Handle handle, bool moveHigh = true);
void unlockHandle(const HandleProcs* procs, Handle handle);
int32_t handleSize(const HandleProcs* procs, Handle handle);
OSErr setHandleSize(const HandleProcs* procs, Handle handle, int32_t size);

// ---- named suites ---------------------------------------------------------------------

enum class HostSuite : int {
  handle,
  buffer,
  property,
  resource,
  spAccess,
  spRuntime,
  actionDescriptor,
  actionList,
  actionReference,
  actionControl,
  uiHooks,
  colourSpace,
  channelPorts,
  error,
  spPlugins,
  spStrings,
};
constexpr int kHostSuiteCount = 16;

// The only error the module raises: a named suite the host would not give. It carries the
// host's code and is turned into a result code at the entry point.
struct SuiteAcquisitionError {
  int32_t code;
};

constexpr int32_t kNoBasicSuiteCode = 0x5061726D;  // 'Parm'

// Acquired on first use through the host's basic suite and kept until the module unloads.
const void* acquireHostSuite(const SPBasicSuite* basic, HostSuite suite);
void releaseHostSuites();
