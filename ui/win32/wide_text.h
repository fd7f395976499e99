// The layer's texts are UTF-8 on every platform; Windows takes and gives UTF-16.
#pragma once

#include <string>

std::wstring wideText(const std::string& text);
std::string utf8Text(const wchar_t* text);
