#include "render/colour_spaces.h"

#include <algorithm>

namespace {

double hueToChannel(double p, double q, double t) {
  if (t < 0.0) t += 1.0;
  if (t >= 1.0) t -= 1.0;
  if (t < 1.0 / 6.0) return p + (q - p) * 6.0 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3.0) return p + (q - p) * (2.0 / 3.0 - t) * 6.0;
  return p;
}

}  // namespace

Hsl toHsl(UnitColour c) {
  const double high = std::max({c.r, c.g, c.b});
  const double low = std::min({c.r, c.g, c.b});
  const double l = (high + low) * 0.5;
  const double spread = high - low;
  if (spread <= 0.0) return {0.0, 0.0, l};
  const double s = l <= 0.5 ? spread / (high + low) : spread / (2.0 - high - low);
  double h;
  if (high == c.r)
    h = (c.g - c.b) / spread;
  else if (high == c.g)
    h = (c.b - c.r) / spread + 2.0;
  else
    h = (c.r - c.g) / spread + 4.0;
  h /= 6.0;
  if (h < 0.0) h += 1.0;
  return {h, s, l};
}

UnitColour fromHsl(Hsl hsl) {
  if (hsl.s <= 0.0) return {hsl.l, hsl.l, hsl.l};
  const double q = hsl.l < 0.5 ? hsl.l * (1.0 + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
  const double p = 2.0 * hsl.l - q;
  return {hueToChannel(p, q, hsl.h + 1.0 / 3.0), hueToChannel(p, q, hsl.h),
          hueToChannel(p, q, hsl.h - 1.0 / 3.0)};
}

double hueLuma(double h, double s) {
  const UnitColour pure = fromHsl({h, s, 0.5});
  return 0.28 * pure.r + 0.52 * pure.g + 0.20 * pure.b;
}

Hsy toHsy(UnitColour colour) {
  const Hsl hsl = toHsl(colour);
  const double g = hueLuma(hsl.h, hsl.s);
  const double y = hsl.l <= 0.5 ? 2.0 * hsl.l * g : g + (hsl.l - 0.5) * 2.0 * (1.0 - g);
  return {hsl.h, hsl.s, y};
}

UnitColour fromHsy(double h, double s, double y) {
  // The pure colour's luma lies between 0.2 (blue) and 0.8, so neither division below can
  // meet a zero.
  const double g = std::clamp(hueLuma(h, s), 0.0, 1.0);
  double l;
  if (y >= 1.0)
    l = 1.0;
  else if (y <= 0.0)
    l = 0.0;
  else if (y <= g)
    l = y / g * 0.5;
  else
    l = (y - g) / (1.0 - g) * 0.5 + 0.5;
  return fromHsl({h, s, l});
}
