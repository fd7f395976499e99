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

// Hue and saturation held together as one vector, the chroma: how far each channel lies from
// grey per unit of the room lightness leaves, min(l, 1 - l). The colour with hue h,
// saturation s and lightness l is l + min(l, 1 - l) * chroma, where chroma is s times the
// pure colour's departure from grey. Modes that keep one colour's hue and saturation carry
// its chroma instead of going through the hue, which saves the sector arithmetic.
struct Chroma {
  double r, g, b;
};

struct ChromaColour {
  Chroma chroma;
  double s, l;  // HSL saturation and lightness
};

ChromaColour toChroma(UnitColour colour);

// The hue of `hueOf` at saturation s. Grey has hue 0 (red), as in HSL.
Chroma withSaturation(const ChromaColour& hueOf, double s);

// The luma of the colour with this hue and saturation at lightness one half, weighted
// 0.28 red + 0.52 green + 0.20 blue: blue is the darkest hue, yellow the brightest.
double hueLuma(const Chroma& chroma);

// HSY: hue and saturation as in HSL, and Y in place of lightness, placed so that lightness
// one half sits at the pure colour's hueLuma: Y = 2l * g up to one half, then
// g + (l - 1/2) * 2 * (1 - g).
double hsyY(const ChromaColour& colour);

// The colour with the chroma's hue and saturation whose Y is y; Y at or beyond 0 and 1 gives
// black and white.
UnitColour fromChromaY(const Chroma& chroma, double y);
