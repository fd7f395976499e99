#include "app/settings_choice.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/action_file.h"
#include "app/host/setting_names.h"
#include "app/host/utf8_paths.h"
#include "app/system.h"
#include "files/memory_dot_store.h"
#include "files/paths.h"
#include "host/settings_file.h"

namespace {

bool readSettings(const std::string& path, const std::string& what, Settings& settings, std::string& error) {
  applyDefaultSettings(settings);
  ThumbnailRead found;
  const OSErr result = readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, settings, nullptr, found);
  if (result == noErr) return true;
  if (result == 99)
    error = "cannot read " + what + " " + path + ": " + std::strerror(errno ? errno : ENOENT);
  else
    error = "cannot read " + what + " " + path + ": not a Tarve settings file, or a damaged one";
  return false;
}

bool readText(const std::string& path, std::string& text, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read the action " + path + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream all;
  all << file.rdbuf();
  text = all.str();
  return true;
}

}  // namespace

bool chooseSettings(const SettingsChoice& choice, ChosenSettings& chosen, std::string& error) {
  chosen = {};
  if (!choice.preset.empty() || choice.last) {
    errno = 0;
    const std::string path = choice.last ? cachedSettingsPath().path : choice.preset;
    std::error_code ignored;
    if (choice.last && !std::filesystem::exists(pathFromUtf8(path), ignored)) {
      error = "there are no last-used settings yet: " + path +
              " is written when the filter's dialog closes with OK";
      return false;
    }
    if (!readSettings(path, choice.last ? "the last-used settings" : "the preset", chosen.settings, error)) return false;
    storeValues(chosen.settings, choice.changes);
    return true;
  }
  Descriptor descriptor;
  if (!choice.action.empty()) {
    std::string text;
    if (!readText(choice.action, text, error)) return false;
    if (!parseAction(text, descriptor, error)) {
      error = "cannot read the action " + choice.action + ": " + error;
      return false;
    }
  }
  // The module gives every key the descriptor lacks its default, so the defaults need no keys.
  overrideValues(descriptor, choice.changes);
  chosen.descriptor = std::move(descriptor);
  return true;
}

Settings settingsOf(const ChosenSettings& chosen) {
  if (!chosen.descriptor) return chosen.settings;
  Settings settings{};
  applyDefaultSettings(settings);
  storeValues(settings, *chosen.descriptor);
  return settings;
}

bool openSettingsFolder(const Settings& settings, SettingsFolder& folder, std::string& error) {
  folder = {};
  std::string made;
  if (!makeUniqueFolder(temporaryFolder().path, "tarve-run-", made)) {
    error = "cannot make a temporary folder in " + std::string(temporaryFolder().path) + ": " + std::strerror(errno);
    return false;
  }
  folder.path = made + kPathSeparator;
  const std::string file = folder.path + kCachedSettingsName;
  if (file.size() > size_t(kMaxPathChars) || writeSettingsFile(file.c_str(), settings, nullptr) != noErr) {
    error = "cannot write the settings into the temporary folder " + folder.path;
    std::error_code ignored;
    std::filesystem::remove_all(pathFromUtf8(folder.path), ignored);
    folder = {};
    return false;
  }
  if (const char* tmpdir = std::getenv(kTemporaryFolderVariable)) {
    folder.hadTmpdir = true;
    folder.savedTmpdir = tmpdir;
  }
  setEnvironment(kTemporaryFolderVariable, folder.path.c_str());
  return true;
}

void closeSettingsFolder(SettingsFolder& folder) {
  if (folder.path.empty()) return;
  setEnvironment(kTemporaryFolderVariable, folder.hadTmpdir ? folder.savedTmpdir.c_str() : nullptr);
  std::error_code ignored;
  std::filesystem::remove_all(pathFromUtf8(folder.path), ignored);
  folder = {};
}
