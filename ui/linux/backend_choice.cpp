// Which backend shows the windows on Linux: headless, or the desktop backend loaded from
// beside the module; and opening an address with the desktop's handler.
#include "ui/window.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ui/dialog_record.h"
#include "ui/desktop_backend.h"
#include "ui/headless/headless.h"

extern char** environ;

namespace {
bool headlessInUse = false;
const UiBackend* desktop = nullptr;

bool headlessWanted() {
  if (headlessInUse) return true;
  if (const char* ui = std::getenv("TARVE_UI")) return std::strcmp(ui, "headless") == 0;
  return std::getenv("TARVE_HEADLESS_EVENTS") || std::getenv("TARVE_HEADLESS_LOG");
}

// The desktop backend lives beside the library this code is in.
std::string backendPath() {
  if (const char* path = std::getenv("TARVE_GTK_BACKEND")) return path;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&backendPath), &info) == 0 || !info.dli_fname) return "Tarve-gtk.so";
  const std::string self = info.dli_fname;
  const size_t slash = self.find_last_of('/');
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "Tarve-gtk.so";
}

void reportFromBackend(const char* why) { setLastError(why); }

// Loaded the first time a window must be shown; kept, as GTK cannot be unloaded.
const UiBackend* desktopBackend() {
  if (desktop) return desktop;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    setLastError("there is no display to show windows on (DISPLAY is not set)");
    return nullptr;
  }
  // GTK 3 in a process that already runs GTK 2 (a host built on it) would end the process.
  if (void* older = dlopen("libgtk-x11-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD)) {
    dlclose(older);
    setLastError("the window backend (GTK 3) cannot run inside a program built on GTK 2");
    return nullptr;
  }
  const std::string path = backendPath();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!library) {
    const char* why = dlerror();
    setLastError("cannot load the window backend: " + std::string(why ? why : path));
    return nullptr;
  }
  auto entry = reinterpret_cast<GtkBackendEntry>(dlsym(library, "tarveGtkBackend"));
  if (!entry) {
    setLastError(path + " is not a window backend");
    return nullptr;
  }
  desktop = entry(reportFromBackend);
  return desktop;
}

// Where no window can be shown, every window is an error the caller hears of.
int32_t cannotRun(UiDialog*, intptr_t) { return kUiCannotShow; }
void noControl(UiDialog*, const UiControl&) {}
void noTimer(UiDialog*, UiTimer&) {}
void noDialog(UiDialog*) {}
void noArea(UiDialog*, const UiRect&) {}
UiChoice cannotOpen(const UiOpenRequest&, std::string&) { return UiChoice::cannotShow; }
UiChoice cannotSave(const UiSaveRequest&, std::string&) { return UiChoice::cannotShow; }
UiChoice cannotChoose(intptr_t, UiColour&, std::span<const UiColour>) { return UiChoice::cannotShow; }
const UiBackend unavailable{cannotRun, noControl, noTimer, noTimer, noDialog, noDialog, noArea, noDialog, noDialog,
                            noDialog, monotonicMilliseconds, cannotOpen, cannotSave, cannotChoose};
}  // namespace

void useHeadless() { headlessInUse = true; }

const UiBackend& uiBackend() {
  if (headlessWanted()) return headlessBackend();
  const UiBackend* found = desktopBackend();
  return found ? *found : unavailable;
}

uint32_t uiTickCount() {
  return static_cast<uint32_t>(headlessWanted() ? headlessBackend().clock() : monotonicMilliseconds());
}

bool uiOpenAddress(const char* address) {
  const char* argv[] = {"xdg-open", address, nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
