#include "app/host/setting_names.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/scripting_keys.h"

namespace {

struct Range {
  double low, high;
};

// The centre may lie outside the picture (a pick beside the image gives that), but not so
// far that the renderer's arithmetic leaves the ordinary numbers.
constexpr Range kCentreRange = {-100, 100};
constexpr Range kPercent = {0, 100};

const SettingName kNames[] = {
    {"water red", nullptr, "0 to 255", fourCharCode("0001")},
    {"water green", nullptr, "0 to 255", fourCharCode("0002")},
    {"water blue", nullptr, "0 to 255", fourCharCode("0003")},
    {"ripple height", "rippleHeight", "0 to 100", fourCharCode("0004")},
    {"horizon", "horizon", "0 to 100", fourCharCode("0005")},
    {"perspective", "perspective", "0 to 100", fourCharCode("0006")},
    {"ripple undulation", "undulation", "0 to 100", fourCharCode("0007")},
    {"ripple size", "rippleSize", "0 to 100", fourCharCode("0008")},
    {"offset", "offset", "0 to 100", fourCharCode("0009")},
    {"waviness", "waviness", "0 to 100", fourCharCode("0010")},
    {"blur", "blur", "0 to 100", fourCharCode("0011")},
    {"complexity", "complexity", "0 to 100", fourCharCode("0012")},
    {"altitude", "altitude", "0 to 100", fourCharCode("0013")},
    {"glue", "glue", "1 to 62, or a glue's name (tarve glues lists them)", kGlueKey},
    {"brilliance", "brilliance", "0 to 100", fourCharCode("0015")},
    {"random seed", "randomSeed", "any whole number", fourCharCode("0016")},
    {"X center", "centreX", "-100 to 100, a fraction of the width from the left (0.5: the middle)", fourCharCode("0017")},
    {"Y center", "centreY", "-100 to 100, a fraction of the height from the top (0: the top edge)", fourCharCode("0018")},
    {"water colour", "waterColour", "RRGGBB, three hexadecimal bytes", 0},
};
constexpr int32_t kNameCount = sizeof kNames / sizeof kNames[0];

// Names compare without case, spaces, dashes, underscores or dots: "ripple-height",
// "Ripple Height" and "rippleHeight" are one name.
std::string normalised(const std::string& text) {
  std::string out;
  for (unsigned char c : text)
    if (c != ' ' && c != '-' && c != '_' && c != '.') out += static_cast<char>(std::tolower(c));
  return out;
}

size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// " (did you mean "X"?)" for the closest candidate within a few typing slips, else "".
std::string suggestion(const std::string& typed, const std::vector<std::string>& candidates) {
  const std::string t = normalised(typed);
  size_t best = 3;
  std::string found;
  for (const std::string& c : candidates) {
    const size_t d = editDistance(t, normalised(c));
    if (d < best) {
      best = d;
      found = c;
    }
  }
  return found.empty() ? "" : " (did you mean \"" + found + "\"?)";
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool parseWhole(const std::string& text, int64_t& value) {
  const std::string t = trimmed(text);
  const char* begin = t.data() + (!t.empty() && t[0] == '+' ? 1 : 0);
  const auto [end, problem] = std::from_chars(begin, t.data() + t.size(), value);
  return problem == std::errc() && end == t.data() + t.size() && begin != end;
}

bool parseReal(const std::string& text, double& value) {
  const std::string t = trimmed(text);
  if (t.empty()) return false;
  char* end = nullptr;
  value = std::strtod(t.c_str(), &end);
  return end == t.c_str() + t.size() && std::isfinite(value);
}

bool outOfRange(const SettingName& s, const std::string& value, std::string& error) {
  error = "the value \"" + value + "\" of \"" + s.name + "\" is outside its range: " + s.values;
  return false;
}

// The value of a key once it is a number; `text` is how the caller wrote it, for messages.
bool checkedValue(const SettingName& s, const ScriptingKey& k, double v, const std::string& text, Descriptor& values,
                  std::string& error) {
  if (k.kind == ScriptedKind::centre) {
    if (v < kCentreRange.low || v > kCentreRange.high) return outOfRange(s, text, error);
    values.push_back(floatValue(k.key, v));
    return true;
  }
  const bool seed = k.integer == &Settings::randomSeed;
  const Range range = k.kind == ScriptedKind::waterChannel ? Range{0, 255}
                      : k.kind == ScriptedKind::glue       ? Range{1, double(kGlueCount)}
                      : seed                               ? Range{double(INT32_MIN), double(INT32_MAX)}
                                                           : kPercent;
  if (v < range.low || v > range.high) return outOfRange(s, text, error);
  if (k.kind == ScriptedKind::glue)
    values.push_back(enumeratedValue(kGlueKey, kGlueEnumType, glueCode(int32_t(v))));
  else
    values.push_back(integerValue(k.key, int32_t(v)));
  return true;
}

bool parseValue(const SettingName& s, const ScriptingKey& k, const std::string& text, Descriptor& values,
                std::string& error) {
  if (k.kind == ScriptedKind::glue) return parseGlue(text, values, error);
  if (k.kind == ScriptedKind::centre) {
    double v = 0;
    if (!parseReal(text, v)) {
      error = "\"" + std::string(s.name) + "\" needs a number, not \"" + text + "\"";
      return false;
    }
    return checkedValue(s, k, v, text, values, error);
  }
  int64_t v = 0;
  if (!parseWhole(text, v)) {
    error = "\"" + std::string(s.name) + "\" needs a whole number, not \"" + text + "\"";
    return false;
  }
  // Beyond the doubles' exact whole numbers every value is out of range anyway.
  return checkedValue(s, k, double(v), text, values, error);
}

const ScriptingKey* scriptingKey(DescriptorKeyID key) {
  const auto* k = std::ranges::find(kScriptingKeys, key, &ScriptingKey::key);
  return k == kScriptingKeys.end() ? nullptr : k;
}

}  // namespace

const SettingName* settingNames(int32_t& count) {
  count = kNameCount;
  return kNames;
}

const char* nameOfKey(DescriptorKeyID key) {
  for (const SettingName& s : kNames)
    if (s.key && s.key == key) return s.name;
  return nullptr;
}

bool parseSetting(const std::string& text, Descriptor& values, std::string& error) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) {
    error = "--set needs NAME=VALUE, not \"" + text + "\"";
    return false;
  }
  const std::string name = trimmed(text.substr(0, equals)), value = text.substr(equals + 1);
  const std::string wanted = normalised(name);
  for (const SettingName& s : kNames) {
    if (wanted != normalised(s.name) && !(s.field && wanted == normalised(s.field))) continue;
    if (!s.key) return parseColour(value, values, error);
    return parseValue(s, *scriptingKey(s.key), value, values, error);
  }
  std::vector<std::string> candidates;
  for (const SettingName& s : kNames) {
    candidates.push_back(s.name);
    if (s.field) candidates.push_back(s.field);
  }
  error = "unknown setting \"" + name + "\"" + suggestion(name, candidates) + "; tarve apply --help lists them";
  return false;
}

bool parseGlue(const std::string& text, Descriptor& values, std::string& error) {
  int64_t number = 0;
  int32_t glue = 0;
  if (parseWhole(text, number)) {
    if (number < 1 || number > kGlueCount) {
      error = "there is no glue " + trimmed(text) + ": the glues are numbered 1 to " + std::to_string(kGlueCount);
      return false;
    }
    glue = int32_t(number);
  } else {
    std::vector<std::string> names;
    for (int32_t g = 1; g <= kGlueCount; ++g) {
      names.push_back(glueName(g));
      if (normalised(glueName(g)) == normalised(text)) glue = g;
    }
    if (!glue) {
      error = "unknown glue \"" + text + "\"" + suggestion(text, names) + "; tarve glues lists them";
      return false;
    }
  }
  values.push_back(enumeratedValue(kGlueKey, kGlueEnumType, glueCode(glue)));
  return true;
}

bool parseColour(const std::string& text, Descriptor& values, std::string& error) {
  std::string hex = trimmed(text);
  if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
  uint32_t rgb = 0;
  const auto [end, problem] = std::from_chars(hex.data(), hex.data() + hex.size(), rgb, 16);
  if (hex.size() != 6 || problem != std::errc() || end != hex.data() + hex.size()) {
    error = "a colour is six hexadecimal digits RRGGBB (such as 1E90FF), not \"" + text + "\"";
    return false;
  }
  values.push_back(integerValue(fourCharCode("0001"), int32_t(rgb >> 16)));
  values.push_back(integerValue(fourCharCode("0002"), int32_t(rgb >> 8 & 0xFF)));
  values.push_back(integerValue(fourCharCode("0003"), int32_t(rgb & 0xFF)));
  return true;
}

bool parseSeed(const std::string& text, Descriptor& values, std::string& error) {
  return parseSetting("random seed=" + text, values, error);
}

bool parseCentre(const std::string& text, Descriptor& values, std::string& error) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) {
    error = "--centre needs X,Y (fractions of the width and height, such as 0.5,0.2), not \"" + text + "\"";
    return false;
  }
  return parseSetting("X center=" + text.substr(0, comma), values, error) &&
         parseSetting("Y center=" + text.substr(comma + 1), values, error);
}

void overrideValues(Descriptor& descriptor, const Descriptor& values) {
  for (const DescriptorValue& v : values) {
    auto same = std::ranges::find(descriptor, v.key, &DescriptorValue::key);
    if (same != descriptor.end())
      *same = v;
    else
      descriptor.push_back(v);
  }
}

void storeValues(Settings& settings, const Descriptor& values) {
  for (const DescriptorValue& v : values) {
    const ScriptingKey* k = scriptingKey(v.key);
    if (!k || v.type != descriptorTypeOf(k->kind)) continue;
    switch (k->kind) {
      case ScriptedKind::waterChannel:
        settings.waterColour.*k->channel = static_cast<uint16_t>(static_cast<uint32_t>(v.integer) << 8);
        break;
      case ScriptedKind::integer: settings.*k->integer = v.integer; break;
      case ScriptedKind::glue: settings.*k->integer = glueFromCode(v.enumValue); break;
      case ScriptedKind::centre: settings.*k->coordinate = static_cast<float>(v.number); break;
    }
  }
}

Descriptor descriptorOf(const Settings& settings) {
  Descriptor values;
  for (const ScriptingKey& k : kScriptingKeys) {
    switch (k.kind) {
      case ScriptedKind::waterChannel:
        values.push_back(integerValue(k.key, settings.waterColour.*k.channel >> 8));
        break;
      case ScriptedKind::integer: values.push_back(integerValue(k.key, settings.*k.integer)); break;
      case ScriptedKind::glue:
        values.push_back(enumeratedValue(k.key, kGlueEnumType, glueCode(settings.*k.integer)));
        break;
      case ScriptedKind::centre: values.push_back(floatValue(k.key, settings.*k.coordinate)); break;
    }
  }
  return values;
}

bool numberValue(DescriptorKeyID key, double number, Descriptor& values, std::string& error) {
  const ScriptingKey* k = scriptingKey(key);
  const SettingName* s = std::ranges::find(kNames, key, &SettingName::key);
  if (!k || s == std::end(kNames)) {
    error = "no setting has the key " + std::to_string(key);
    return false;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", number);
  if (!std::isfinite(number)) return outOfRange(*s, text, error);
  if (k->kind != ScriptedKind::centre && number != std::floor(number)) {
    error = "\"" + std::string(s->name) + "\" needs a whole number, not " + text;
    return false;
  }
  return checkedValue(*s, *k, number, text, values, error);
}

bool valueAsNumber(const DescriptorValue& value, double& number) {
  const ScriptingKey* k = scriptingKey(value.key);
  if (!k || value.type != descriptorTypeOf(k->kind)) return false;
  switch (k->kind) {
    case ScriptedKind::glue: number = glueFromCode(value.enumValue); return true;
    case ScriptedKind::centre: number = value.number; return true;
    default: number = value.integer; return true;
  }
}

DescriptorTypeID descriptorTypeOfKey(DescriptorKeyID key) {
  const ScriptingKey* k = scriptingKey(key);
  return k ? descriptorTypeOf(k->kind) : 0;
}
