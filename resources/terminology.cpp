#include "resources/terminology.h"

#include <cstring>

#include "host/scripting_keys.h"
#include "render/glue_names.h"
#include "resources/property_list.h"

namespace {

struct Writer {
  std::vector<uint8_t> bytes;

  void byte(uint8_t v) { bytes.push_back(v); }
  void word(uint16_t v) {
    byte(v >> 8);
    byte(v & 0xFF);
  }
  void code(uint32_t v) {
    word(v >> 16);
    word(v & 0xFFFF);
  }
  void pascal(const char* text) {
    const size_t length = std::strlen(text);
    byte(static_cast<uint8_t>(length));
    bytes.insert(bytes.end(), text, text + length);
  }
  void align() {
    if (bytes.size() % 2) byte(0);
  }
};

constexpr uint32_t kNoReply = fourCharCode("null");
constexpr uint32_t kImageReference = fourCharCode("#ImR");

// Glues 60 and 61 have no entry in the dictionary; their codes travel all the same.
bool named(int32_t glue) { return glue != kGlueAnterior && glue != kGluePosterior; }

}  // namespace

std::vector<uint8_t> buildTerminology() {
  Writer w;
  w.byte(1);  // version 1.0
  w.byte(0);
  w.word(0);  // language
  w.word(0);  // script
  w.word(1);  // suites

  w.pascal(kSuiteName);
  w.pascal(kSuiteDescription);
  w.align();
  w.code(kScriptingClass);
  w.word(1);  // level
  w.word(1);  // version

  w.word(1);  // events
  w.pascal(kEventName);
  w.pascal(kEventDescription);
  w.align();
  w.code(kScriptingClass);  // event class
  w.code(kScriptingClass);  // event id
  w.code(kNoReply);
  w.pascal("");
  w.align();
  w.word(0);
  w.code(kImageReference);
  w.pascal("");
  w.align();
  w.word(kDirectParameterFlags);
  w.word(kScriptingKeyCount);
  for (const ScriptingKey& k : kScriptingKeys) {
    w.pascal(k.name);
    w.align();
    w.code(k.key);
    w.code(k.kind == ScriptedKind::glue ? kGlueEnumType : descriptorTypeOf(k.kind));
    w.pascal(k.name);
    w.align();
    w.word(k.kind == ScriptedKind::glue ? kOptionalEnumeratedParameter : kOptionalParameter);
  }

  w.word(0);  // classes
  w.word(0);  // comparison operators
  w.word(1);  // enumerations
  w.code(kGlueEnumType);
  int32_t entries = 0;
  for (int32_t glue = 1; glue <= kGlueCount; ++glue) entries += named(glue);
  w.word(static_cast<uint16_t>(entries));
  for (int32_t glue = 1; glue <= kGlueCount; ++glue) {
    if (!named(glue)) continue;
    w.pascal(glueName(glue));
    w.align();
    w.code(glueCode(glue));
    w.pascal(glueName(glue));
    w.align();
  }
  return w.bytes;
}
