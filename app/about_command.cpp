#include "app/about_command.h"

#include <cstdio>
#include <cstdlib>

#include "app/apply_command.h"
#include "app/filter_run.h"

int aboutCommand(const Options& options) {
#ifndef _WIN32
  // Said plainly here rather than by a module that finds no display to open.
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::fprintf(stderr, "tarve: about: there is no display to show the about box on (DISPLAY is not set)\n");
    return kExitError;
  }
#endif
  LoadedModule module;
  std::string error;
  if (!loadModule(modulePath(options.module), module, error)) {
    std::fprintf(stderr, "tarve: about: %s\n", error.c_str());
    return kExitError;
  }
  PlatformData platform{0};
  AboutRecord about{};
  about.platformData = &platform;
  intptr_t data = 0;
  int16_t result = 0;
  module.entry(filterSelectorAbout, &about, &data, &result);
  unloadModule(module);
  if (result != 0) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "tarve: about: the module could not open the display %s to show its about box\n",
                 display ? display : "");
    return kExitError;
  }
  return 0;
}
