// Small string helpers of the file code.
#pragma once

#include <cstdint>

// Counts at most 32767 characters; 0 for a missing string.
int32_t textLength(const char* text);

// First position of needle in text, or -1; -1 as well when either is missing or empty or
// the needle is longer than the text. Ignoring case folds only "A".."Z".
int32_t findText(const char* needle, const char* text, bool ignoreCase);

// In place: a zero-terminated string becomes a length byte followed by at most 255
// characters, and back.
void toPascalString(char* text);
void fromPascalString(char* text);
