// The scripting terminology (resource 16000): the names a host shows for the module's event,
// its eighteen parameters and the glue enumeration. Laid out as the published Apple event
// terminology ('aete'): big-endian numbers, Pascal strings, word alignment from the start.
#pragma once

#include <cstdint>
#include <vector>

constexpr const char* kSuiteName = "Cobalt Finch";
constexpr const char* kSuiteDescription = "Tarve";
constexpr const char* kEventName = "Tarve";
constexpr const char* kEventDescription = "Draws lying water";

// Parameter flags: optional, and optional with enumerated values.
constexpr uint16_t kOptionalParameter = 0x8000;
constexpr uint16_t kOptionalEnumeratedParameter = 0xA000;
// The direct parameter is the image the event acts on.
constexpr uint16_t kDirectParameterFlags = 0xB000;

std::vector<uint8_t> buildTerminology();
