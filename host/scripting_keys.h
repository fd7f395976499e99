// The scripting vocabulary: the descriptor keys a host records with an action, in the order
// the module asks for and writes them, and the glue enumeration. The terminology resource is
// built from the same table, so a key can never be recorded under a name the host does not
// know.
#pragma once

#include <array>
#include <cstdint>

#include "host/settings.h"
#include "render/glue_names.h"
#include "sdk/host_interface.h"

// First character in the most significant byte, as hosts compare codes.
constexpr uint32_t fourCharCode(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
         uint8_t(c[3]);
}

// How a key's value travels and where it lands.
enum class ScriptedKind : uint8_t {
  waterChannel,  // integer: the high byte of a 16-bit water colour channel
  integer,       // integer: an int32 field as it is
  glue,          // enumeration GLty: GL01..GL62, or <NO>
  centre,        // double: a float32 field widened
};

struct ScriptingKey {
  DescriptorKeyID key;
  const char* name;  // the terminology's name and description
  ScriptedKind kind;
  uint16_t Colour16::*channel;  // waterChannel
  int32_t Settings::*integer;   // integer and glue
  float Settings::*coordinate;  // centre
};

constexpr int kScriptingKeyCount = 18;
extern const std::array<ScriptingKey, kScriptingKeyCount> kScriptingKeys;

constexpr DescriptorKeyID kGlueKey = fourCharCode("GLUE");
constexpr DescriptorEnumTypeID kGlueEnumType = fourCharCode("GLty");
constexpr DescriptorEnumID kNoGlueCode = fourCharCode("<NO>");

// Glue n (1..62) is "GL" and n in two digits; anything else is <NO>.
constexpr DescriptorEnumID glueCode(int32_t glue) {
  if (glue < 1 || glue > kGlueCount) return kNoGlueCode;
  return fourCharCode("GL00") + uint32_t(glue / 10) * 0x100 + uint32_t(glue % 10);
}

// The glue index of GL01..GL62; 0 for any other code.
constexpr int32_t glueFromCode(DescriptorEnumID code) {
  for (int32_t glue = 1; glue <= kGlueCount; ++glue)
    if (glueCode(glue) == code) return glue;
  return 0;
}

// The descriptor type a key is read and written with.
constexpr DescriptorTypeID descriptorTypeOf(ScriptedKind kind) {
  switch (kind) {
    case ScriptedKind::glue: return typeEnumerated;
    case ScriptedKind::centre: return typeFloat;
    default: return typeInteger;
  }
}
