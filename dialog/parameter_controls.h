// The parameter controls' arithmetic: the eleven slider rows and their settings fields, how
// a field's text becomes a value, where a slider's thumb sits and which value a pointer
// position means, the glue list's next step and the swatch's colour bytes.
#pragma once

#include <cstdint>

#include "host/settings.h"

struct ParameterRow {
  int32_t slider, field;
  int32_t Settings::*setting;
};

constexpr int32_t kParameterRowCount = 11;
extern const ParameterRow kParameterRows[kParameterRowCount];

// The row of a slider or a value field, or null.
const ParameterRow* parameterRowOf(int32_t id);

// A field's text as a number: a decimal text; empty or non-numeric text reads as 0.
double fieldNumber(const char* text);

// The number clamped into the slider's range and truncated to the integer the setting holds;
// `clamped` tells whether clamping changed it.
int32_t fieldValue(double number, int32_t minimum, int32_t maximum, bool& clamped);

// "%g" of a value: what a field shows.
void formatFieldValue(double value, char (&text)[32]);

// The value under a pointer at x (already taken 4 pixels left of the pointer) on a slider.
int32_t sliderValueAt(int32_t x, int32_t left, int32_t width, int32_t minimum, int32_t maximum);
// The left edge of the thumb of a slider showing `value` (a value from a settings file may
// lie outside the range; the thumb stays on the track).
int32_t sliderThumbX(int32_t value, int32_t left, int32_t width, int32_t minimum, int32_t maximum);

// The glue after `glue`, from the last back to the first.
int32_t nextGlue(int32_t glue);

// The picker sees the high byte of each 16-bit channel and gives back byte × 256.
uint8_t colourByte(uint16_t channel);
uint16_t colourChannel(uint8_t byte);
