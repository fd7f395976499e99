#include "files/windows/wide_paths.h"

#include <windows.h>

std::wstring widePath(const char* utf8) {
  if (!utf8 || !utf8[0]) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), length);
  wide.resize(size_t(length) - 1);
  return wide;
}

std::string utf8Path(const wchar_t* wide) {
  if (!wide || !wide[0]) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string text(size_t(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.resize(size_t(length) - 1);
  return text;
}
