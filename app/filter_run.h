// One run of the filter module over an image, as a host does it: the module is found and
// loaded, its property list consulted, and then called through PluginMain alone.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/host/finished_rows.h"
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
  // Writes the result on a thread of its own while the module renders, taking each row from
  // `rows` as it is finished (`layout` gives the picture's size and layout alone); true when
  // the file is complete. Only runs whose output stays in place without a dialog write so.
  std::function<bool(const HostImage& layout, const RowSource& rows)> writeAlongside;
  bool writtenAlongside = false;  // the file was written during the run and is the result
};

// False with a message when the module refuses the image or fails; an interrupted run is
// false with `interrupted` set, a cancelled dialog false with `cancelled` set.
bool runFilter(const FilterModule& module, FilterRun& run, std::string& error);
