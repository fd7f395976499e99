// The module's one entry point. The host calls it once per step of a filter run; it keeps
// the working state alive between calls in the host's data slot, makes sure the parameter
// block exists, and hands each selector to its handler.
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstring>
#include <ctime>
#include <new>

#include "dialog/random_looks.h"
#include "host/host_services.h"
#include "host/module.h"
#include "host/selectors.h"
#include "ui/window.h"

ModuleValues gModule;

static void* moduleInstance() {
#ifdef _WIN32
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
  return module;
#else
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&moduleInstance), &info) == 0) return nullptr;
  return info.dli_fbase;
#endif
}

static uint32_t secondsNow() {
#ifdef _WIN32
  return static_cast<uint32_t>(_time64(nullptr));
#else
  return static_cast<uint32_t>(std::time(nullptr));
#endif
}

// The slot holds the handle of PluginState between calls; a new one starts zero-filled.
static PluginState* lockPluginState(const HandleProcs* procs, intptr_t* data) {
  Handle handle = reinterpret_cast<Handle>(*data);
  if (handle) return reinterpret_cast<PluginState*>(lockHandle(procs, handle));
  handle = newHandle(procs, sizeof(PluginState));
  if (!handle) return nullptr;
  Ptr p = lockHandle(procs, handle);
  if (!p) {
    disposeHandle(procs, handle);
    return nullptr;
  }
  std::memset(p, 0, sizeof(PluginState));
  seedRandom(reinterpret_cast<PluginState*>(p)->random, secondsNow());
  *data = reinterpret_cast<intptr_t>(handle);
  return reinterpret_cast<PluginState*>(p);
}

static void dispatch(int16_t selector, FilterRecord* record, intptr_t* data, int16_t* result) {
  if (selector == filterSelectorAbout) {
    const auto* about = reinterpret_cast<const AboutRecord*>(record);
    const auto* platform = about ? static_cast<const PlatformData*>(about->platformData) : nullptr;
    // A box that cannot be shown is not a silent success: the host hears of it.
    if (showAboutBox(platform ? platform->hwnd : 0) == kUiCannotShow && result) *result = errPlugInHostInsufficient;
    return;
  }

  const HandleProcs* procs = record->handleProcs;
  const bool slotWasEmpty = *data == 0;
  PluginState* state = lockPluginState(procs, data);
  if (!state) {
    *result = memFullErr;
    return;
  }
  state->result = result;
  *result = noErr;
  state->filterRecord = record;
  if (selector == filterSelectorParameters) state->firstRun = slotWasEmpty;

  ensureParameterBlock(*state);
  if (*result == noErr) {
    switch (selector) {
      case filterSelectorParameters: doParameters(*state); break;
      case filterSelectorPrepare: doPrepare(*state); break;
      case filterSelectorStart: doStart(*state); break;
      case filterSelectorContinue: doContinue(*state); break;
      case filterSelectorFinish: doFinish(*state); break;
      default: *result = filterBadParameters; break;
    }
  }
  if (record->parameters) unlockHandle(procs, record->parameters);
  unlockHandle(procs, reinterpret_cast<Handle>(*data));
}

// A host's code that does not fit the 16-bit result (such as 'Parm') is reported as a host
// that lacks what the module needs.
static int16_t resultCode(int32_t code) {
  return code >= INT16_MIN && code <= INT16_MAX ? static_cast<int16_t>(code) : errPlugInHostInsufficient;
}

extern "C" __attribute__((visibility("default"))) void PluginMain(int16_t selector, void* filterRecord,
                                                                  intptr_t* data, int16_t* result) {
  gModule.filterRecord = static_cast<FilterRecord*>(filterRecord);
  gModule.data = data;
  gModule.result = result;
  gModule.instance = moduleInstance();
  // Nothing may escape into the host: the one error the module raises, and any failure of
  // the runtime, become result codes here.
  try {
    dispatch(selector, static_cast<FilterRecord*>(filterRecord), data, result);
  } catch (const SuiteAcquisitionError& error) {
    *result = resultCode(error.code);
  } catch (const std::bad_alloc&) {
    *result = memFullErr;
  } catch (...) {
    *result = errPlugInHostInsufficient;
  }
}
