#include "files/page_text.h"

#include <cstdint>
#include <cstdio>

#include "files/html_entities.h"

namespace {

bool continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The code point of the UTF-8 sequence at `text` and its length in bytes, or a length of 0
// when the bytes there are not a complete, shortest-form sequence of a valid code point.
int decodeUtf8(const unsigned char* text, uint32_t& code) {
  const unsigned char lead = text[0];
  int length = 0;
  uint32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  for (int i = 1; i < length; ++i) {
    if (!continuation(text[i])) return 0;  // also stops at the terminator
    code = code << 6 | (text[i] & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

void appendEscaped(std::string& out, uint32_t code) {
  char number[16];
  switch (code) {
    case '"': out += "&quot;"; return;
    case '&': out += "&amp;"; return;
    case '<': out += "&lt;"; return;
    case '>': out += "&gt;"; return;
  }
  if (const char* entity = latin1Entity(code)) {
    out += entity;
  } else if (code >= 123) {
    std::snprintf(number, sizeof number, code < kFirstNamedEntity ? "&#%03u;" : "&#%u;", unsigned(code));
    out += number;
  } else {
    out += char(code);
  }
}

}  // namespace

std::string escapePageText(const char* text) {
  std::string out;
  if (!text) return out;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    uint32_t code = *p;
    const int length = *p >= 0x80 ? decodeUtf8(p, code) : 1;
    appendEscaped(out, length > 0 ? code : *p);
    p += length > 0 ? length : 1;
  }
  return out;
}

std::string cleanFileName(const char* name) {
  std::string out;
  if (!name) return out;
  for (const auto* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
    unsigned char c = *p;
    if (c < 32) {
      c = ' ';
    } else if (c > 127) {
      c = static_cast<unsigned char>((c & 127) + 32);
      if (c == '.') c = '_';
    }
    if (c == '\\' || c == '/' || c == ':') c = '_';
    out += char(c);
  }
  return out;
}

std::string escapeLink(const std::string& name) {
  std::string out;
  char hex[4];
  for (const unsigned char c : name) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (plain) {
      out += char(c);
    } else {
      std::snprintf(hex, sizeof hex, "%%%02x", c);
      out += hex;
    }
  }
  return out;
}
