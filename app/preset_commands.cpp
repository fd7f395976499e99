#include "app/preset_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/apply_command.h"
#include "app/atomic_output.h"
#include "app/settings_choice.h"
#include "app/settings_fields.h"
#include "host/settings_file.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "tarve: %s\n", message.c_str());
  return kExitError;
}

// The first value of every settings file is its version.
bool readVersion(const std::string& path, int32_t& version) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  unsigned char bytes[4];
  const bool read = std::fread(bytes, 1, 4, f) == 4;
  std::fclose(f);
  version = int32_t(uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3]);
  return read;
}

}  // namespace

int presetInfoCommand(const Options& o) {
  const std::string& path = o.input;
  Settings settings{};
  applyDefaultSettings(settings);
  ThumbnailRead found;
  errno = 0;
  const OSErr result = readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, settings, nullptr, found);
  int32_t version = 0;
  if (result == 99) return fail("cannot read " + path + ": " + std::strerror(errno ? errno : ENOENT));
  if (result != noErr || !readVersion(path, version))
    return fail("cannot read " + path + ": not a Tarve settings file, or a damaged one");
  std::string json = "{\n  \"version\": " + std::to_string(version) + ",\n";
  json += settingsAsJson(settings, "  ");
  json.insert(json.size() - 1, ",");
  const bool embedded = found.width > 0 && found.height > 0;
  json += "  \"thumbnail\": {\"embedded\": " + std::string(embedded ? "true" : "false");
  if (embedded) json += ", \"width\": " + std::to_string(found.width) + ", \"height\": " + std::to_string(found.height);
  json += "}\n}\n";
  std::fputs(json.c_str(), stdout);
  return 0;
}

int presetMakeCommand(const Options& o) {
  std::string error;
  ChosenSettings chosen;
  if (!chooseSettings(o.settings, chosen, error)) return fail(error);
  AtomicOutput output;
  if (!beginAtomicOutput(o.input, output, error)) return fail(error);
  if (writeSettingsFile(output.temporary.c_str(), settingsOf(chosen), nullptr) != noErr) {
    abandonAtomicOutput(output);
    return fail("cannot write " + o.input);
  }
  if (!commitAtomicOutput(output, error)) return fail(error);
  return 0;
}
