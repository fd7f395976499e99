#include "render/colour_spaces.h"

#include <algorithm>
#include <cstdint>

// Neighbouring pixels rarely share a hue sector or a lightness half, so the choices below are
// made by arithmetic instead of branches. pick() is exact: multiplying by 1 or 0 and adding a
// zero change nothing, and both candidates are always finite.
namespace {

double pick(bool condition, double ifTrue, double ifFalse) {
  const double m = condition;
  return m * ifTrue + (1.0 - m) * ifFalse;
}

// Where the pure colour of hue h stands on each channel, from -1 (full) through 1 (empty):
// the hexcone's piecewise linear profile, one straight piece per sixth of the circle.
struct Profile {
  double r, g, b;
};

Profile profileOf(double h) {
  struct Piece {
    double start[3], slope[3];
  };
  static constexpr Piece kPieces[6] = {
      {{-1, 1, 1}, {0, -2, 0}},  // red to yellow: green fills
      {{-1, -1, 1}, {2, 0, 0}},  // yellow to green: red empties
      {{1, -1, 1}, {0, 0, -2}},  // green to cyan: blue fills
      {{1, -1, -1}, {0, 2, 0}},  // cyan to blue: green empties
      {{1, 1, -1}, {-2, 0, 0}},  // blue to magenta: red fills
      {{-1, 1, -1}, {0, 0, 2}},  // magenta to red: blue empties
  };
  const double sixths = 6.0 * h;
  const int32_t sector = std::clamp(static_cast<int32_t>(sixths), 0, 5);
  const double f = sixths - sector;
  const Piece& p = kPieces[sector];
  return {p.start[0] + p.slope[0] * f, p.start[1] + p.slope[1] * f, p.start[2] + p.slope[2] * f};
}

double highest(UnitColour c) { return std::max(c.r, std::max(c.g, c.b)); }
double lowest(UnitColour c) { return std::min(c.r, std::min(c.g, c.b)); }

}  // namespace

Hsl toHsl(UnitColour c) {
  const double high = highest(c), low = lowest(c);
  const double l = (high + low) * 0.5;
  const double spread = high - low;
  if (spread <= 0.0) return {0.0, 0.0, l};
  const double s = spread / pick(l <= 0.5, high + low, 2.0 - high - low);
  const bool redHigh = high == c.r;
  const bool greenHigh = !redHigh & (high == c.g);
  const double rise = pick(redHigh, c.g - c.b, pick(greenHigh, c.b - c.r, c.r - c.g));
  const double sector = pick(redHigh, 0.0, pick(greenHigh, 2.0 / 6.0, 4.0 / 6.0));
  const double h = rise / (6.0 * spread) + sector;
  return {h + static_cast<double>(h < 0.0), s, l};
}

UnitColour fromHsl(Hsl hsl) {
  const double reach = hsl.s * std::min(hsl.l, 1.0 - hsl.l);
  const Profile p = profileOf(hsl.h);
  return {hsl.l - reach * p.r, hsl.l - reach * p.g, hsl.l - reach * p.b};
}

// The saturation keeps HSL's own formula, which is exactly 1 for every colour that touches
// black or white; some modes depend on that.
ChromaColour toChroma(UnitColour c) {
  const double high = highest(c), low = lowest(c);
  const double l = (high + low) * 0.5;
  const double spread = high - low;
  if (spread <= 0.0) return {{0.0, 0.0, 0.0}, 0.0, l};
  const double perRoom = 1.0 / std::min(l, 1.0 - l);
  return {{(c.r - l) * perRoom, (c.g - l) * perRoom, (c.b - l) * perRoom},
          spread / pick(l <= 0.5, high + low, 2.0 - high - low),
          l};
}

Chroma withSaturation(const ChromaColour& hueOf, double s) {
  if (hueOf.s <= 0.0) return {s, -s, -s};
  const double scale = s / hueOf.s;
  return {hueOf.chroma.r * scale, hueOf.chroma.g * scale, hueOf.chroma.b * scale};
}

// The weights total 1, so the grey part of the colour at lightness one half weighs one half.
double hueLuma(const Chroma& chroma) {
  return 0.5 + 0.5 * (0.28 * chroma.r + 0.52 * chroma.g + 0.20 * chroma.b);
}

double hsyY(const ChromaColour& c) {
  const double g = hueLuma(c.chroma);
  return pick(c.l <= 0.5, 2.0 * c.l * g, g + (c.l - 0.5) * 2.0 * (1.0 - g));
}

UnitColour fromChromaY(const Chroma& chroma, double y) {
  // hueLuma stays within 0.2..0.8 for saturations up to 1, so neither denominator is zero.
  // Y at or below 0 comes out at lightness 0, at or above 1 at lightness 1, through the clamp.
  const double g = std::clamp(hueLuma(chroma), 0.0, 1.0);
  const bool dark = y <= g;
  const double l = std::clamp(
      pick(dark, y, y - g) / pick(dark, g, 1.0 - g) * 0.5 + pick(dark, 0.0, 0.5), 0.0, 1.0);
  const double room = std::min(l, 1.0 - l);
  return {l + room * chroma.r, l + room * chroma.g, l + room * chroma.b};
}
