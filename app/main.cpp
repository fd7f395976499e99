// tarve: the filter from the shell. A host of the plug-in interface for image files.
#include <cstdio>
#include <string>

#include "app/about_command.h"
#include "app/apply_command.h"
#include "app/gallery_command.h"
#include "app/help_texts.h"
#include "app/options.h"
#include "app/preset_commands.h"
#include "render/glue_names.h"

namespace {

constexpr const char* kVersion = "tarve 0.1.0";

int printHelp(const std::string& topic) {
  std::string text;
  if (!helpText(topic, text)) {
    std::fprintf(stderr, "tarve: no help on \"%s\"; try tarve --help\n", topic.c_str());
    return kExitError;
  }
  std::fputs(text.c_str(), stdout);
  return 0;
}

int listGlues() {
  for (int32_t glue = 1; glue <= kGlueCount; ++glue) std::printf("%2d  %s\n", glue, glueName(glue));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!parseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "tarve: %s\n", error.c_str());
    return kExitError;
  }
  switch (options.command) {
    case Command::help: return printHelp(options.helpTopic);
    case Command::version: std::puts(kVersion); return 0;
    case Command::apply: return applyCommand(options);
    case Command::glues: return listGlues();
    case Command::presetInfo: return presetInfoCommand(options);
    case Command::presetMake: return presetMakeCommand(options);
    case Command::gallery: return galleryCommand(options);
    case Command::about: return aboutCommand(options);
  }
  return kExitError;
}
