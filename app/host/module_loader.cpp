#include "app/host/module_loader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/host/utf8_paths.h"
#include "files/paths.h"

namespace {

constexpr uint32_t fourCC(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3]);
}

uint32_t le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

std::string pascal(const uint8_t* p, uint32_t length) {
  if (length == 0) return {};
  return std::string(reinterpret_cast<const char*>(p + 1), std::min<uint32_t>(p[0], length - 1));
}

std::string cstring(const uint8_t* p, uint32_t length) {
  const void* end = std::memchr(p, 0, length);
  return std::string(reinterpret_cast<const char*>(p), end ? static_cast<const uint8_t*>(end) - p : length);
}

std::vector<std::string> namesIn(const std::string& list) {
  std::vector<std::string> names;
  std::string word;
  for (char c : list) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
      word += c;
    } else {
      if (!word.empty() && word != "PSHOP_ImageMode") names.push_back(word);
      word.clear();
    }
  }
  if (!word.empty() && word != "PSHOP_ImageMode") names.push_back(word);
  return names;
}

// The enable rules this host understands: "in (PSHOP_ImageMode, A, B, ...)" joined by &&
// with "PSHOP_ImageMode != X".
void parseEnableRule(ModuleProperties& properties) {
  const std::string& rule = properties.enableRule;
  size_t in = rule.find("in (PSHOP_ImageMode");
  if (in != std::string::npos) {
    size_t close = rule.find(')', in);
    properties.enabledModes = namesIn(rule.substr(in + 3, close - in - 3));
  }
  for (size_t at = rule.find("!="); at != std::string::npos; at = rule.find("!=", at + 2)) {
    size_t start = rule.find_first_not_of(' ', at + 2);
    size_t end = rule.find_first_of(" )", start);
    properties.excludedModes.push_back(rule.substr(start, end - start));
  }
}

}  // namespace

bool readPropertyList(const std::vector<uint8_t>& bytes, ModuleProperties& properties, std::string& error) {
  properties = {};
  if (bytes.size() < 10) {
    error = "the property list is too short";
    return false;
  }
  const uint32_t count = le32(&bytes[6]);
  size_t at = 10;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - at < 16) {
      error = "the property list ends inside a property";
      return false;
    }
    const uint32_t key = le32(&bytes[at + 4]);
    const uint32_t length = le32(&bytes[at + 12]);
    at += 16;
    if (bytes.size() - at < length) {
      error = "the property list ends inside a property";
      return false;
    }
    const uint8_t* data = &bytes[at];
    if (key == fourCC("kind") && length >= 4) properties.kind = le32(data);
    if (key == fourCC("name")) properties.name = pascal(data, length);
    if (key == fourCC("catg")) properties.category = pascal(data, length);
    if (key == fourCC("vers") && length >= 4) properties.version = le32(data);
    if (key == fourCC("8664")) properties.entryPoint = cstring(data, length);
    if (key == fourCC("enbl")) properties.enableRule = cstring(data, length);
    if (key == fourCC("fici")) properties.filterCases = static_cast<int>(length / 4);
    at += (length + 3) / 4 * 4;
  }
  parseEnableRule(properties);
  return true;
}

const char* imageModeName(int16_t mode) {
  switch (mode) {
    case plugInModeBitmap: return "BitmapMode";
    case plugInModeGrayScale: return "GrayScaleMode";
    case plugInModeIndexedColor: return "IndexedColorMode";
    case plugInModeRGBColor: return "RGBMode";
    case plugInModeCMYKColor: return "CMYKMode";
    case plugInModeMultichannel: return "MultichannelMode";
    case plugInModeDuotone: return "DuotoneMode";
    case plugInModeLabColor: return "LabMode";
    case plugInModeGray16: return "Gray16Mode";
    case plugInModeRGB48: return "RGB48Mode";
    case plugInModeLab48: return "Lab48Mode";
    case plugInModeCMYK64: return "CMYK64Mode";
    case plugInModeDeepMultichannel: return "DeepMultichannelMode";
    case plugInModeDuotone16: return "Duotone16Mode";
    case plugInModeRGB96: return "RGB96Mode";
    case plugInModeGray32: return "Gray32Mode";
    default: return "";
  }
}

bool modeEnabled(const ModuleProperties& p, int16_t mode) {
  const std::string name = imageModeName(mode);
  if (name.empty()) return false;
  auto has = [&](const std::vector<std::string>& v) { return std::find(v.begin(), v.end(), name) != v.end(); };
  return has(p.enabledModes) && !has(p.excludedModes);
}

std::string modeRefusal(const ModuleProperties& properties, int16_t mode) {
  if (modeEnabled(properties, mode)) return {};
  std::string allowed;
  for (const std::string& name : properties.enabledModes) allowed += (allowed.empty() ? "" : ", ") + name;
  const char* name = imageModeName(mode);
  return std::string("the filter does not take images of this kind (") + (*name ? name : "unknown mode") +
         "); its property list allows " + allowed;
}

std::string modulePath(const std::string& option) {
  std::string path = option;
  if (const char* fromEnvironment = std::getenv("TARVE_MODULE"); path.empty() && fromEnvironment)
    path = fromEnvironment;
  if (path.empty()) {
    // Beside the program in a build; under lib/tarve/ next to bin/ where it is installed.
    const std::string beside = programFolder() + "Tarve.8bf", installed = programFolder() + "../lib/tarve/Tarve.8bf";
    std::error_code ignored;
    return std::filesystem::exists(pathFromUtf8(beside), ignored) || !std::filesystem::exists(pathFromUtf8(installed), ignored) ? beside : installed;
  }
  // A name without a folder would send the loader searching the library path.
  if (path.find_first_of(kNativeSeparators) != std::string::npos) return path;
  return std::string(".") + kNativeSeparators[0] + path;
}

std::string describeResult(int16_t result) {
  switch (result) {
    case memFullErr: return "the filter ran out of memory";
    case userCanceledErr: return "the filter was cancelled";
    case 1: return "the filter refused to run on this image";
    case 999: return "the filter could not get memory for the source image";
    default: return "the filter failed with result " + std::to_string(result);
  }
}
