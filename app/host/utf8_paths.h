// Our texts are UTF-8 everywhere, but on Windows std::filesystem reads a narrow string in the
// C library's locale; paths for it are made from UTF-8 here, on every system alike.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path pathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
