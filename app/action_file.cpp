#include "app/action_file.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "app/host/setting_names.h"
#include "host/scripting_keys.h"

namespace {

std::string codeText(uint32_t code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>(code >> (24 - 8 * i));
  return text;
}

bool parseCode(const std::string& text, uint32_t& code) {
  if (text.size() != 4) return false;
  code = 0;
  for (unsigned char c : text) {
    if (c < 0x21 || c > 0x7E) return false;
    code = code << 8 | c;
  }
  return true;
}

}  // namespace

std::string formatAction(const Descriptor& descriptor) {
  std::string out = "# tarve action: replay with tarve apply --action FILE\n";
  for (const DescriptorValue& v : descriptor) {
    std::string line = codeText(v.key);
    if (v.type == typeInteger) line += " long " + std::to_string(v.integer);
    if (v.type == typeFloat) {
      char text[40];
      line += " doub " + std::string(text, std::to_chars(text, text + sizeof text, v.number).ptr);
    }
    if (v.type == typeEnumerated) line += " enum " + codeText(v.enumType) + ":" + codeText(v.enumValue);
    if (const char* name = nameOfKey(v.key)) {
      line.resize(std::max<size_t>(line.size(), 24), ' ');
      line += std::string(" # ") + name;
      if (v.key == kGlueKey && glueFromCode(v.enumValue)) line += std::string(": ") + glueName(glueFromCode(v.enumValue));
    }
    out += line + "\n";
  }
  return out;
}

bool parseAction(const std::string& text, Descriptor& descriptor, std::string& error) {
  descriptor.clear();
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string key, type, value, extra;
    if (!(words >> key)) continue;
    words >> type >> value >> extra;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    DescriptorKeyID code = 0;
    if (!parseCode(key, code)) return fail("\"" + key + "\" is not a four-character key");
    if (value.empty() || !extra.empty()) return fail("a value is KEY TYPE VALUE");
    if (type == "long") {
      int32_t v = 0;
      const auto [end, problem] = std::from_chars(value.data(), value.data() + value.size(), v);
      if (problem != std::errc() || end != value.data() + value.size()) return fail("\"" + value + "\" is not a 32-bit whole number");
      descriptor.push_back(integerValue(code, v));
    } else if (type == "doub") {
      char* end = nullptr;
      const double v = std::strtod(value.c_str(), &end);
      if (end != value.c_str() + value.size() || !std::isfinite(v)) return fail("\"" + value + "\" is not a number");
      descriptor.push_back(floatValue(code, v));
    } else if (type == "enum") {
      DescriptorEnumTypeID enumType = 0;
      DescriptorEnumID enumValue = 0;
      const size_t colon = value.find(':');
      if (colon == std::string::npos || !parseCode(value.substr(0, colon), enumType) ||
          !parseCode(value.substr(colon + 1), enumValue))
        return fail("an enumeration is TYPE:VALUE, two four-character codes");
      descriptor.push_back(enumeratedValue(code, enumType, enumValue));
    } else {
      return fail("unknown type \"" + type + "\" (long, doub or enum)");
    }
  }
  return true;
}
