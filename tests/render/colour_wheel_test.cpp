// The colour wheel's table-and-series trigonometry against the library's.
#include "render/colour_wheel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

constexpr double kTurn = 6.283185307179586;

// The library is handed 2 pi t already rounded, which alone is off by up to a few 1e-16.
TEST(ColourWheel, PointsAgreeWithCosineAndSine) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> turns(-1.999, 1.999);
  for (int n = 0; n < 20000; ++n) {
    const double t = n < 2048 ? (n - 1024) / 512.0 : turns(random);  // table points and between
    const WheelPoint p = wheelPoint(t);
    EXPECT_NEAR(p.x, std::cos(kTurn * t), 4e-15) << t;
    EXPECT_NEAR(p.y, std::sin(kTurn * t), 4e-15) << t;
  }
}

TEST(ColourWheel, AnglesAgreeWithArcTangentInEveryEighth) {
  std::mt19937 random(6);
  std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
  for (int n = 0; n < 20000; ++n) {
    const double x = coordinate(random), y = coordinate(random);
    double expected = std::atan2(y, x) / kTurn;
    if (expected < 0.0) expected += 1.0;
    EXPECT_NEAR(turnsOf(x, y), expected, 1e-15) << x << " " << y;
  }
  const struct {
    double x, y, turns;
  } axes[] = {{0.0, 0.0, 0.0},   {2.0, 0.0, 0.0},   {0.0, 0.5, 0.25},   {-1.0, 0.0, 0.5},
              {0.0, -3.0, 0.75}, {1.0, 1.0, 0.125}, {-1.0, -1.0, 0.625}};
  for (const auto& a : axes) EXPECT_NEAR(turnsOf(a.x, a.y), a.turns, 1e-16) << a.x << " " << a.y;
}

}  // namespace
