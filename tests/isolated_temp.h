// The module keeps its state files in the temporary folder. Test programs run side by side,
// so each gets a folder of its own before any test runs, removed when the program ends.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline const char* isolatedTempFolderPath() {
  // Plain storage: the folder is still needed by the exit handler, after static strings die.
  static char folder[64] = "";
  if (folder[0] == 0) {
    char pattern[] = "/tmp/tarve-test-XXXXXX";
    if (const char* made = mkdtemp(pattern)) {
      std::snprintf(folder, sizeof folder, "%s/", made);
      std::atexit([] { std::filesystem::remove_all(folder); });
    } else {
      std::snprintf(folder, sizeof folder, "/tmp/");
    }
    setenv("TMPDIR", folder, 1);
  }
  return folder;
}

inline std::string isolatedTempFolder() { return isolatedTempFolderPath(); }

namespace {
[[maybe_unused]] const char* const isolatedTempFolderAtStart = isolatedTempFolderPath();
}
