#include "app/settings_fields.h"

#include <charconv>

namespace {

struct SettingsField {
  const char* name;
  int32_t Settings::*integer;  // exactly one of these is set
  float Settings::*real;
  Colour16 Settings::*colour;
  Vector3 Settings::*vector;
};

constexpr SettingsField integer(const char* name, int32_t Settings::*field) { return {name, field, nullptr, nullptr, nullptr}; }
constexpr SettingsField real(const char* name, float Settings::*field) { return {name, nullptr, field, nullptr, nullptr}; }
constexpr SettingsField colour(const char* name, Colour16 Settings::*field) { return {name, nullptr, nullptr, field, nullptr}; }
constexpr SettingsField vector(const char* name, Vector3 Settings::*field) { return {name, nullptr, nullptr, nullptr, field}; }

const SettingsField kFields[] = {
    vector("vectorA", &Settings::vectorA),
    vector("vectorB", &Settings::vectorB),
    integer("glue", &Settings::glue),
    integer("randomSeed", &Settings::randomSeed),
    real("centreX", &Settings::centreX),
    real("centreY", &Settings::centreY),
    colour("waterColour", &Settings::waterColour),
    colour("colourA", &Settings::colourA),
    colour("colourB", &Settings::colourB),
    colour("colourC", &Settings::colourC),
    colour("colourD", &Settings::colourD),
    colour("colourE", &Settings::colourE),
    colour("colourF", &Settings::colourF),
    colour("colourG", &Settings::colourG),
    integer("rippleHeight", &Settings::rippleHeight),
    integer("storedInt01", &Settings::storedInt01),
    integer("storedInt02", &Settings::storedInt02),
    integer("storedInt03", &Settings::storedInt03),
    integer("horizon", &Settings::horizon),
    integer("perspective", &Settings::perspective),
    integer("storedInt04", &Settings::storedInt04),
    integer("storedInt05", &Settings::storedInt05),
    integer("storedInt06", &Settings::storedInt06),
    integer("storedInt07", &Settings::storedInt07),
    integer("undulation", &Settings::undulation),
    integer("storedInt08", &Settings::storedInt08),
    integer("storedInt09", &Settings::storedInt09),
    integer("storedInt10", &Settings::storedInt10),
    integer("rippleSize", &Settings::rippleSize),
    integer("offset", &Settings::offset),
    integer("waviness", &Settings::waviness),
    integer("blur", &Settings::blur),
    integer("complexity", &Settings::complexity),
    integer("altitude", &Settings::altitude),
    integer("storedInt11", &Settings::storedInt11),
    integer("storedInt12", &Settings::storedInt12),
    integer("storedInt13", &Settings::storedInt13),
    integer("storedInt14", &Settings::storedInt14),
    integer("storedInt15", &Settings::storedInt15),
    integer("storedInt16", &Settings::storedInt16),
    integer("storedInt17", &Settings::storedInt17),
    integer("brilliance", &Settings::brilliance),
    integer("storedInt18", &Settings::storedInt18),
    integer("storedInt19", &Settings::storedInt19),
};

// The shortest text that reads back as the same float: -0.68, not -0.680000007.
std::string number(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

}  // namespace

std::string settingsAsJson(const Settings& s, const std::string& indent) {
  std::string out;
  const size_t count = sizeof kFields / sizeof kFields[0];
  for (size_t i = 0; i < count; ++i) {
    const SettingsField& f = kFields[i];
    out += indent + "\"" + f.name + "\": ";
    if (f.integer) out += std::to_string(s.*f.integer);
    if (f.real) out += number(s.*f.real);
    if (f.colour) {
      const Colour16& c = s.*f.colour;
      out += "[" + std::to_string(c.red) + ", " + std::to_string(c.green) + ", " + std::to_string(c.blue) + "]";
    }
    if (f.vector) {
      const Vector3& v = s.*f.vector;
      out += "[" + number(v.x) + ", " + number(v.y) + ", " + number(v.z) + "]";
    }
    out += i + 1 < count ? ",\n" : "\n";
  }
  return out;
}
