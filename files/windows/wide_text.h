// Windows speaks UTF-16 in its file and shell calls; everything of ours is UTF-8.
#pragma once

#include <string>

std::wstring wideText(const char* utf8);
std::string utf8Text(const wchar_t* wide);
