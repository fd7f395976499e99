#include "files/text.h"

#include <algorithm>
#include <cstring>

int32_t textLength(const char* text) {
  if (!text) return 0;
  int32_t length = 0;
  while (length < 32767 && text[length]) ++length;
  return length;
}

static char foldCase(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

int32_t findText(const char* needle, const char* text, bool ignoreCase) {
  const int32_t needleLength = textLength(needle), textLengthValue = textLength(text);
  if (needleLength == 0 || textLengthValue == 0 || needleLength > textLengthValue) return -1;
  for (int32_t at = 0; at + needleLength <= textLengthValue; ++at) {
    int32_t i = 0;
    while (i < needleLength &&
           (ignoreCase ? foldCase(text[at + i]) == foldCase(needle[i]) : text[at + i] == needle[i]))
      ++i;
    if (i == needleLength) return at;
  }
  return -1;
}

void toPascalString(char* text) {
  if (!text) return;
  const size_t length = std::min<size_t>(std::strlen(text), 255);
  std::memmove(text + 1, text, length);
  text[0] = static_cast<char>(length);
}

void fromPascalString(char* text) {
  if (!text) return;
  const size_t length = static_cast<unsigned char>(text[0]);
  std::memmove(text, text + 1, length);
  text[length] = '\0';
}
