#include "resources/property_list.h"

#include <cstring>
#include <string>

namespace {

constexpr uint32_t fourCC(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3]);
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

void addProperty(std::vector<uint8_t>& out, uint32_t& count, uint32_t key, const std::vector<uint8_t>& data) {
  ++count;
  put32(out, fourCC("8BIM"));
  put32(out, key);
  put32(out, 0);  // property id
  put32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  while (out.size() % 4 != 2) out.push_back(0);  // the list starts after a 2-byte word
}

std::vector<uint8_t> pascalString(const char* text) {
  const size_t length = std::strlen(text);
  std::vector<uint8_t> data(length + 1);
  data[0] = static_cast<uint8_t>(length);
  std::memcpy(data.data() + 1, text, length);
  return data;
}

std::vector<uint8_t> cString(const char* text) { return {text, text + std::strlen(text) + 1}; }

std::vector<uint8_t> word32(uint32_t v) {
  std::vector<uint8_t> data;
  put32(data, v);
  return data;
}

// Filter case information: input and output passed as they are, and the host need not copy
// the source into the destination first (every pixel is written).
constexpr uint8_t kStraightData = 1;
constexpr uint8_t kDontCopyToDestination = 0x01;

// The 'mode' flags, most significant bit first: bitmap, grey, indexed, RGB, ...
constexpr uint16_t kSupportsGrey = 0x4000;
constexpr uint16_t kSupportsRGB = 0x1000;

}  // namespace

std::vector<uint8_t> buildPropertyList() {
  std::vector<uint8_t> out;
  put16(out, 1);  // resource header word
  put32(out, 0);  // list version
  put32(out, 0);  // property count, filled in below
  uint32_t count = 0;

  addProperty(out, count, fourCC("kind"), word32(fourCC("8BFM")));
  addProperty(out, count, fourCC("name"), pascalString(kMenuName));
  addProperty(out, count, fourCC("catg"), pascalString(kCategory));
  addProperty(out, count, fourCC("vers"), word32(4u << 16 | 0u));
  addProperty(out, count, fourCC("8664"), cString("PluginMain"));
  std::vector<uint8_t> modes;
  put16(modes, kSupportsGrey | kSupportsRGB);
  addProperty(out, count, fourCC("mode"), modes);
  addProperty(out, count, fourCC("enbl"), cString(kEnableRule));

  std::vector<uint8_t> cases;
  for (int i = 0; i < 7; ++i) cases.insert(cases.end(), {kStraightData, kStraightData, kDontCopyToDestination, 0});
  addProperty(out, count, fourCC("fici"), cases);

  std::vector<uint8_t> terminology;
  put32(terminology, kScriptingClass);  // class
  put32(terminology, kScriptingClass);  // event
  put16(terminology, static_cast<uint16_t>(kTerminologyResource));
  const std::vector<uint8_t> unique = cString(kScriptingUniqueName);
  terminology.insert(terminology.end(), unique.begin(), unique.end());
  addProperty(out, count, fourCC("hstm"), terminology);

  for (int i = 0; i < 4; ++i) out[6 + i] = static_cast<uint8_t>(count >> (8 * i));
  return out;
}
