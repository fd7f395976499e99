// One run of the filter module over an image, as a host does it: the module is found and
// loaded, its property list consulted, and then called through PluginMain alone.
#pragma once

#include <optional>
#include <string>

#include "app/host/host.h"
#include "app/host/module_loader.h"
#include "app/progress_bar.h"

struct FilterRun {
  HostImage image;                  // in: the source; out: the result
  std::vector<uint8_t> selection;   // empty: no selection; the result is kept where it is set
  std::vector<uint8_t> iccProfile;  // the image's colour profile, offered to the module; empty: none
  std::optional<Descriptor> play;   // none: no descriptor this run
  bool dialog = false;              // `play` is played with the dialog shown, not silently
  ProgressBar* bar = nullptr;
  int16_t result = 0;               // the module's result
  bool interrupted = false;         // Ctrl-C ended the run
  bool cancelled = false;           // the dialog ended with Cancel
  std::optional<Descriptor> recorded;
};

// False with a message when the module refuses the image or fails; an interrupted run is
// false with `interrupted` set, a cancelled dialog false with `cancelled` set.
bool runFilter(const FilterModule& module, FilterRun& run, std::string& error);
