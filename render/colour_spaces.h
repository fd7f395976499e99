// The colour spaces of the glue modes that work on hue, saturation and brightness rather than
// on channels. Components are in 0..1 throughout.
#pragma once

struct UnitColour {
  double r, g, b;
};

// Hexcone hue, saturation and lightness; hue in [0, 1) with the six sectors starting at red.
struct Hsl {
  double h, s, l;
};

Hsl toHsl(UnitColour colour);
UnitColour fromHsl(Hsl hsl);

// The luma of the colour with hue h, saturation s and lightness one half, weighted
// 0.28 red + 0.52 green + 0.20 blue.
double hueLuma(double h, double s);

// Hue and saturation as in HSL; y replaces lightness so that lightness one half sits at the
// luma of the pure colour (hueLuma), which keeps yellow brighter than blue.
struct Hsy {
  double h, s, y;
};

Hsy toHsy(UnitColour colour);
// Y at or beyond 0 and 1 gives black and white.
UnitColour fromHsy(double h, double s, double y);
