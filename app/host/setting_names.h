// The settings the command line can name, by the scripting terminology's names ("ripple
// height") or by the settings fields ("rippleHeight"), with the values each accepts. A
// value given on the command line becomes a descriptor value, exactly what a recorded
// action holds, so that one list of changes serves every way of running the filter.
#pragma once

#include <cstdint>
#include <string>

#include "app/host/host.h"
#include "host/settings.h"

// One accepted name with its range; `key` is null for the whole water colour.
struct SettingName {
  const char* name;   // the terminology's name, or the field's for the water colour
  const char* field;  // the settings field
  const char* values; // the accepted values, as help and error messages show them
  DescriptorKeyID key;
};

// Every name in the order a descriptor holds them, then the water colour as a whole.
const SettingName* settingNames(int32_t& count);

// NAME=VALUE to descriptor values (the water colour gives three); false with a message
// for an unknown name or a value outside the range.
bool parseSetting(const std::string& text, Descriptor& values, std::string& error);
// The shorthand options: a glue by name or number, RRGGBB, a seed, X,Y.
bool parseGlue(const std::string& text, Descriptor& values, std::string& error);
bool parseColour(const std::string& text, Descriptor& values, std::string& error);
bool parseSeed(const std::string& text, Descriptor& values, std::string& error);
bool parseCentre(const std::string& text, Descriptor& values, std::string& error);

// The same for a number, as hosts whose procedures take numbers have it: the glue by its
// number, the water channels one by one, integers whole.
bool numberValue(DescriptorKeyID key, double number, Descriptor& values, std::string& error);
// The number a descriptor value stands for (the glue's number for its code); false for a
// key or type the scripting vocabulary does not have.
bool valueAsNumber(const DescriptorValue& value, double& number);

// The descriptor type a key's value travels as: typeInteger, typeFloat or typeEnumerated.
DescriptorTypeID descriptorTypeOfKey(DescriptorKeyID key);

// Replaces the value of each key in `descriptor`, or adds it.
void overrideValues(Descriptor& descriptor, const Descriptor& values);
// Stores the values the way the module stores what a descriptor gives it: 8-bit water
// channels in the high byte, glue codes as numbers (0 for a code it does not know), the
// centre narrowed to float.
void storeValues(Settings& settings, const Descriptor& values);

// Every key of the settings as the module itself hands them back at the end of a run: the
// water channels' high bytes, the glue's code, the centre widened.
Descriptor descriptorOf(const Settings& settings);

// The terminology's name of a key, or null.
const char* nameOfKey(DescriptorKeyID key);
