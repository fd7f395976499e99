// Every field of the settings record by name, in the record's order, for showing a whole
// settings file (tarve preset info). Colours are 16-bit channels [red, green, blue],
// vectors [x, y, z], floats in their shortest exact form.
#pragma once

#include <cstdint>
#include <string>

#include "host/settings.h"

// The settings as the members of a JSON object, one per line, each line starting with
// `indent` and all but the last ending in a comma.
std::string settingsAsJson(const Settings& settings, const std::string& indent);
