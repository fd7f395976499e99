// Angles on the colour wheel, measured in turns (one full circle is 1), for the glue mode that
// mixes hues as points on the wheel. Neighbouring pixels land anywhere on the circle, so both
// directions are table lookups refined by short series, without branches; they agree with the
// library's trigonometry to within a few units in the last place.
#pragma once

struct WheelPoint {
  double x, y;  // cosine and sine
};

// The point at `turns` of a turn on the unit circle, for |turns| < 2.
WheelPoint wheelPoint(double turns);

// The angle of (x, y) in turns, in [0, 1] (a point a hair below the positive x axis may come
// out as a whole turn); 0 for the origin.
double turnsOf(double x, double y);
