// The command line: a command (apply, glues, preset info, preset make, gallery), its files and
// options. Every mistake is found here, before any file is touched.
#pragma once

#include <string>
#include <vector>

#include "app/host/host.h"

enum class Command { help, version, apply, glues, presetInfo, presetMake, gallery, about };

enum class Feedback { automatic, quiet, progress };

// Where a run's settings come from, and the changes made to them on the command line.
struct SettingsChoice {
  bool last = false;   // the last-used settings
  std::string preset;  // a settings file
  std::string action;  // a recorded action
  Descriptor changes;  // --set, --glue, --colour, --seed, --centre, in order
};

struct Options {
  Command command = Command::help;
  std::string helpTopic;  // with Command::help: "", "apply", "glues", "preset" or "gallery"
  std::string input;      // apply: the image; preset info and make: the settings file; gallery: the folder
  std::string output, mask, record, module;
  std::string thumbnail;  // preset make: the image its thumbnail is made from
  bool openPage = false;  // gallery: show the page in the browser
  SettingsChoice settings;
  int32_t depth = 0;  // 0: the input's
  int quality = 90;
  bool lossless = false;
  bool strip = false;       // no metadata in the output
  bool autoOrient = true;   // turn pictures upright by their EXIF orientation
  int threads = 0;  // 0: the module's own choice (every processor)
  Feedback feedback = Feedback::automatic;
  bool dialog = false;  // the filter's dialog on the desktop decides the settings

  // A batch: every input into the folder, under its own name.
  std::vector<std::string> inputs;
  std::string folder;
  std::string format;   // the outputs' format (png, jpg, tif, webp, psd); empty: the input's
  std::string suffix;   // added to each output's name before its extension
  int jobs = 0;         // files at once; 0: as many as there are cores
  bool overwrite = false;
};

// False with a message; a request for help is not a mistake.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);
