#include "dialog/parameter_controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "render/glue_names.h"

const ParameterRow kParameterRows[kParameterRowCount] = {
    {37, 86, &Settings::horizon},     {57, 91, &Settings::offset},      {39, 85, &Settings::perspective},
    {103, 104, &Settings::altitude},  {59, 92, &Settings::waviness},    {63, 94, &Settings::complexity},
    {65, 81, &Settings::brilliance},  {61, 93, &Settings::blur},        {55, 90, &Settings::rippleSize},
    {12, 79, &Settings::rippleHeight}, {51, 83, &Settings::undulation},
};

const ParameterRow* parameterRowOf(int32_t id) {
  for (const ParameterRow& row : kParameterRows)
    if (row.slider == id || row.field == id) return &row;
  return nullptr;
}

double fieldNumber(const char* text) {
  if (!text) return 0.0;
  const double number = std::strtod(text, nullptr);
  return std::isfinite(number) ? number : 0.0;
}

int32_t fieldValue(double number, int32_t minimum, int32_t maximum, bool& clamped) {
  const double inRange = std::clamp(number, double(minimum), double(maximum));
  clamped = inRange != number;
  return static_cast<int32_t>(inRange);
}

void formatFieldValue(double value, char (&text)[32]) { std::snprintf(text, sizeof text, "%g", value); }

int32_t sliderValueAt(int32_t x, int32_t left, int32_t width, int32_t minimum, int32_t maximum) {
  const int32_t span = maximum - minimum > 0 ? maximum - minimum : 1;
  const int32_t track = std::max(width - 14, 1);
  const int32_t value = minimum + (x - left - 1) * span / track;
  return std::clamp(value, minimum, std::max(maximum, minimum));
}

int32_t sliderThumbX(int32_t value, int32_t left, int32_t width, int32_t minimum, int32_t maximum) {
  const int32_t span = maximum - minimum > 0 ? maximum - minimum : 1;
  const int32_t shown = std::clamp(value, minimum, std::max(maximum, minimum));
  return left + (shown - minimum) * (width - 15) / span + 1;
}

int32_t nextGlue(int32_t glue) { return glue >= 1 && glue < kGlueCount ? glue + 1 : 1; }

uint8_t colourByte(uint16_t channel) { return static_cast<uint8_t>(channel >> 8); }
uint16_t colourChannel(uint8_t byte) { return static_cast<uint16_t>(byte << 8); }
