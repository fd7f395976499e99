// The module keeps its state files in the temporary folder. Test programs run side by side,
// so each gets a folder of its own before any test runs.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& isolatedTempFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/tarve-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    std::string path = made ? std::string(made) + "/" : std::string("/tmp/");
    setenv("TMPDIR", path.c_str(), 1);
    if (made) std::atexit([] { std::filesystem::remove_all(isolatedTempFolder()); });
    return path;
  }();
  return folder;
}

namespace {
[[maybe_unused]] const std::string& isolatedTempFolderAtStart = isolatedTempFolder();
}
