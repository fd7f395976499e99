#include "host/host_services.h"

#include <cstring>

// ---- handles --------------------------------------------------------------------------

bool handleProcsUsable(const HandleProcs* procs) {
  return procs && procs->handleProcsVersion == 1 && procs->numHandleProcs > 7 && procs->newProc &&
         procs->disposeProc && procs->getSizeProc && procs->setSizeProc;
}

namespace {
struct FallbackHandle {
  char* block;  // first, so that dereferencing the handle gives the data
  size_t size;
};
}  // namespace

Handle newHandle(const HandleProcs* procs, int32_t size) {
  if (size < 0) return nullptr;
  if (handleProcsUsable(procs)) return procs->newProc(size);
  auto* record = static_cast<FallbackHandle*>(systemAllocate(sizeof(FallbackHandle)));
  if (!record) return nullptr;
  record->block = static_cast<char*>(systemAllocate(size > 0 ? size : 1));
  if (!record->block) {
    systemFree(record);
    return nullptr;
  }
  record->size = size;
  return &record->block;
}

void disposeHandle(const HandleProcs* procs, Handle handle) {
  if (!handle) return;
  if (handleProcsUsable(procs)) {
    procs->disposeProc(handle);
    return;
  }
  auto* record = reinterpret_cast<FallbackHandle*>(handle);
  systemFree(record->block);
  systemFree(record);
}

Ptr lockHandle(const HandleProcs* procs, Handle handle, bool moveHigh) {
  if (!handle) return nullptr;
  if (handleProcsUsable(procs) && procs->lockProc) return procs->lockProc(handle, moveHigh);
  return *handle;
}

void unlockHandle(const HandleProcs* procs, Handle handle) {
  if (handle && handleProcsUsable(procs) && procs->unlockProc) procs->unlockProc(handle);
}

int32_t handleSize(const HandleProcs* procs, Handle handle) {
  if (!handle) return 0;
  if (handleProcsUsable(procs)) return procs->getSizeProc(handle);
  return static_cast<int32_t>(reinterpret_cast<FallbackHandle*>(handle)->size);
}

OSErr setHandleSize(const HandleProcs* procs, Handle handle, int32_t size) {
  if (!handle || size < 0) return paramErr;
  if (handleProcsUsable(procs)) return procs->setSizeProc(handle, size);
  auto* record = reinterpret_cast<FallbackHandle*>(handle);
  char* block = static_cast<char*>(systemAllocate(size > 0 ? size : 1));
  if (!block) return memFullErr;
  std::memcpy(block, record->block, record->size < static_cast<size_t>(size) ? record->size : size);
  systemFree(record->block);
  record->block = block;
  record->size = size;
  return noErr;
}

// ---- named suites ---------------------------------------------------------------------

namespace {
struct SuiteSlot {
  const char* name;
  int32_t version;
  const void* suite;
  const SPBasicSuite* basic;  // the basic suite it was acquired from, to release it there
};

SuiteSlot suiteSlots[kHostSuiteCount] = {
    {"Photoshop Handle Suite for Plug-ins", 2, nullptr, nullptr},
    {"Photoshop Buffer Suite for Plug-ins", 1, nullptr, nullptr},
    {"Photoshop Property Suite for Plug-ins", 1, nullptr, nullptr},
    {"Photoshop Resource Suite for Plug-ins", 3, nullptr, nullptr},
    {"SP Access Suite", 3, nullptr, nullptr},
    {"SP Runtime Suite", 5, nullptr, nullptr},
    {"Photoshop ActionDescriptor Suite for Plug-ins", 2, nullptr, nullptr},
    {"Photoshop ActionList Suite for Plug-ins", 1, nullptr, nullptr},
    {"Photoshop ActionReference Suite for Plug-ins", 2, nullptr, nullptr},
    {"Photoshop ActionControl Suite for Plug-ins", 2, nullptr, nullptr},
    {"Photoshop UIHooks Suite for Plug-ins", 1, nullptr, nullptr},
    {"Photoshop ColorSpace Suite for Plug-ins", 1, nullptr, nullptr},
    {"Photoshop ChannelPorts Suite for Plug-ins", 3, nullptr, nullptr},
    {"Photoshop Error Suite for Plug-ins", 1, nullptr, nullptr},
    {"SP Plugins Suite", 4, nullptr, nullptr},
    {"SP Strings Suite", 3, nullptr, nullptr},
};

// Suites are held until the module is unloaded.
struct SuiteReleaser {
  ~SuiteReleaser() { releaseHostSuites(); }
} suiteReleaser;
}  // namespace

const void* acquireHostSuite(const SPBasicSuite* basic, HostSuite which) {
  SuiteSlot& slot = suiteSlots[static_cast<int>(which)];
  if (slot.suite) return slot.suite;
  if (!basic || !basic->AcquireSuite) throw SuiteAcquisitionError{kNoBasicSuiteCode};
  const void* suite = nullptr;
  SPErr error = basic->AcquireSuite(slot.name, slot.version, &suite);
  if (error != 0) throw SuiteAcquisitionError{error};
  if (!suite) throw SuiteAcquisitionError{errPlugInHostInsufficient};
  slot.suite = suite;
  slot.basic = basic;
  return suite;
}

void releaseHostSuites() {
  for (SuiteSlot& slot : suiteSlots) {
    if (slot.suite && slot.basic && slot.basic->ReleaseSuite) slot.basic->ReleaseSuite(slot.name, slot.version);
    slot.suite = nullptr;
    slot.basic = nullptr;
  }
}
