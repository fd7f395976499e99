// The named entities of HTML 4.01 for the ISO-8859-1 characters 160 to 255.
#pragma once

#include <cstdint>

constexpr uint32_t kFirstNamedEntity = 160;
constexpr uint32_t kLastNamedEntity = 255;

// "&nbsp;" for 160 through "&yuml;" for 255; null outside that range.
const char* latin1Entity(uint32_t code);
