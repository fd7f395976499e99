#include "render/colour_wheel.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int32_t kSteps = 256;  // table points around the circle
constexpr int32_t kSlopes = 64;  // table points for slopes 0..1

struct Tables {
  std::array<WheelPoint, kSteps> circle;
  std::array<double, kSlopes + 1> slopeAngle;  // atan(k / 64)
};

const Tables& tables() {
  static const Tables t = [] {
    Tables built;
    for (int32_t k = 0; k < kSteps; ++k)
      built.circle[k] = {std::cos(2.0 * kPi * k / kSteps), std::sin(2.0 * kPi * k / kSteps)};
    for (int32_t k = 0; k <= kSlopes; ++k) built.slopeAngle[k] = std::atan(double(k) / kSlopes);
    return built;
  }();
  return t;
}

}  // namespace

// The nearest table point, turned on by the rest: at most half a step, 1/512 of a turn, where
// the series for sine and cosine are exact to far below the last place after three terms.
WheelPoint wheelPoint(double turns) {
  const double steps = turns * kSteps;
  const int64_t nearest = static_cast<int64_t>(steps + (2 * kSteps + 0.5)) - 2 * kSteps;
  const double d = (steps - static_cast<double>(nearest)) * (2.0 * kPi / kSteps);
  const double d2 = d * d;
  const double sinD = d * (1.0 - d2 * (1.0 / 6.0 - d2 * (1.0 / 120.0)));
  const double cosD = 1.0 - d2 * (0.5 - d2 * (1.0 / 24.0 - d2 * (1.0 / 720.0)));
  const WheelPoint& p = tables().circle[nearest & (kSteps - 1)];
  return {p.x * cosD - p.y * sinD, p.y * cosD + p.x * sinD};
}

// The slope of the point folded into the first eighth of the circle, its angle from the
// nearest table slope c by atan(z) = atan(c) + atan((z - c) / (1 + zc)), the rest within
// 1/128 where four terms of the series suffice; then unfolded by the eighth it came from.
// Only the table slope is chosen from a single-precision quotient: near enough is enough for
// coordinates far above 1e-38, as points on the wheel are unless they are zero.
double turnsOf(double x, double y) {
  struct Eighth {
    double start, direction;  // turns = start + direction * angle
  };
  constexpr double kPerRadian = 1.0 / (2.0 * kPi);
  static constexpr Eighth kEighths[8] = {
      {0.0, kPerRadian},  {0.25, -kPerRadian}, {0.5, -kPerRadian}, {0.25, kPerRadian},
      {1.0, -kPerRadian}, {0.75, kPerRadian},  {0.5, kPerRadian},  {0.75, -kPerRadian},
  };
  const double ax = std::abs(x), ay = std::abs(y);
  const bool steep = ay > ax;
  const double small = std::min(ax, ay), big = std::max(std::max(ax, ay), DBL_MIN);
  const float slope = static_cast<float>(small) / std::max(static_cast<float>(big), FLT_MIN);
  const int32_t k = static_cast<int32_t>(std::min(slope, 1.0f) * kSlopes + 0.5f);
  const double c = static_cast<double>(k) / kSlopes;
  const double d = (small - c * big) / (big + small * c);
  const double d2 = d * d;
  const double a =
      tables().slopeAngle[k] + d * (1.0 - d2 * (1.0 / 3.0 - d2 * (1.0 / 5.0 - d2 / 7.0)));
  const Eighth& e = kEighths[steep | (x < 0.0) << 1 | (y < 0.0) << 2];
  return e.start + e.direction * a;
}
