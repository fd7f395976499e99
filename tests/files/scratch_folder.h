// A fresh folder per test, removed afterwards, optionally standing in as the temporary
// folder ($TMPDIR) of the code under test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct ScratchFolder {
  std::string path;  // ends in '/'
  std::string savedTmpdir;
  bool hadTmpdir = false;
  bool ownsTmpdir = false;

  explicit ScratchFolder(bool asTemporaryFolder = false) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarve-test-XXXXXX").string();
    path = std::string(mkdtemp(pattern.data())) + "/";
    if (asTemporaryFolder) {
      if (const char* old = std::getenv("TMPDIR")) {
        hadTmpdir = true;
        savedTmpdir = old;
      }
      setenv("TMPDIR", path.c_str(), 1);
      ownsTmpdir = true;
    }
  }
  ~ScratchFolder() {
    if (ownsTmpdir) {
      if (hadTmpdir)
        setenv("TMPDIR", savedTmpdir.c_str(), 1);
      else
        unsetenv("TMPDIR");
    }
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string file(const std::string& name) const { return path + name; }
};

inline std::vector<uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
