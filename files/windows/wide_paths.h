// Windows speaks UTF-16 in its file and shell calls; the file layer's paths are UTF-8.
// (The window layer has its own conversion, ui/win32/wide_text.h, as the two layers include
// nothing of each other.)
#pragma once

#include <string>

std::wstring widePath(const char* utf8);
std::string utf8Path(const wchar_t* wide);
