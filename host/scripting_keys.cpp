#include "host/scripting_keys.h"

namespace {

constexpr ScriptingKey water(const char (&key)[5], const char* name, uint16_t Colour16::*channel) {
  return {fourCharCode(key), name, ScriptedKind::waterChannel, channel, nullptr, nullptr};
}
constexpr ScriptingKey integer(const char (&key)[5], const char* name, int32_t Settings::*field) {
  return {fourCharCode(key), name, ScriptedKind::integer, nullptr, field, nullptr};
}
constexpr ScriptingKey centre(const char (&key)[5], const char* name, float Settings::*field) {
  return {fourCharCode(key), name, ScriptedKind::centre, nullptr, nullptr, field};
}

}  // namespace

// Recorded actions depend on this order and these codes: never change them. There is no
// 0014; the glue took its place.
const std::array<ScriptingKey, kScriptingKeyCount> kScriptingKeys = {{
    water("0001", "water red", &Colour16::red),
    water("0002", "water green", &Colour16::green),
    water("0003", "water blue", &Colour16::blue),
    integer("0004", "ripple height", &Settings::rippleHeight),
    integer("0005", "horizon", &Settings::horizon),
    integer("0006", "perspective", &Settings::perspective),
    integer("0007", "ripple undulation", &Settings::undulation),
    integer("0008", "ripple size", &Settings::rippleSize),
    integer("0009", "offset", &Settings::offset),
    integer("0010", "waviness", &Settings::waviness),
    integer("0011", "blur", &Settings::blur),
    integer("0012", "complexity", &Settings::complexity),
    integer("0013", "altitude", &Settings::altitude),
    {kGlueKey, "glue", ScriptedKind::glue, nullptr, &Settings::glue, nullptr},
    integer("0015", "brilliance", &Settings::brilliance),
    integer("0016", "random seed", &Settings::randomSeed),
    centre("0017", "X center", &Settings::centreX),
    centre("0018", "Y center", &Settings::centreY),
}};
