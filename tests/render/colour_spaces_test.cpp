// HSL and HSY, the spaces of the glue modes that mix hue, saturation and brightness.
#include <gtest/gtest.h>

#include "render/colour_spaces.h"

namespace {

constexpr double kTolerance = 1e-12;

void expectColour(UnitColour got, UnitColour expected, double tolerance = kTolerance) {
  EXPECT_NEAR(got.r, expected.r, tolerance);
  EXPECT_NEAR(got.g, expected.g, tolerance);
  EXPECT_NEAR(got.b, expected.b, tolerance);
}

TEST(ColourSpaces, HslOfKnownColours) {
  const struct {
    UnitColour rgb;
    Hsl hsl;
  } cases[] = {
      {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.5}},
      {{0.0, 1.0, 0.0}, {1.0 / 3.0, 1.0, 0.5}},
      {{0.0, 0.0, 0.5}, {2.0 / 3.0, 1.0, 0.25}},
      {{1.0, 0.0, 0.5}, {11.0 / 12.0, 1.0, 0.5}},  // the last sector wraps to below 1
      {{0.75, 0.25, 0.25}, {0.0, 0.5, 0.5}},       // lightness one half: either formula
      {{0.9, 0.8, 1.0}, {0.75, 1.0, 0.9}},         // lightness above one half
      {{0.4, 0.4, 0.4}, {0.0, 0.0, 0.4}},
  };
  for (const auto& c : cases) {
    const Hsl got = toHsl(c.rgb);
    EXPECT_NEAR(got.h, c.hsl.h, kTolerance);
    EXPECT_NEAR(got.s, c.hsl.s, kTolerance);
    EXPECT_NEAR(got.l, c.hsl.l, kTolerance);
    expectColour(fromHsl(got), c.rgb);
  }
}

// 0.28 red + 0.52 green + 0.20 blue of the pure colour: blue is the darkest hue, yellow the
// brightest, grey sits in the middle.
TEST(ColourSpaces, HueLumaWeighsThePureColour) {
  EXPECT_NEAR(hueLuma(0.0, 1.0), 0.28, kTolerance);
  EXPECT_NEAR(hueLuma(1.0 / 6.0, 1.0), 0.80, kTolerance);
  EXPECT_NEAR(hueLuma(2.0 / 3.0, 1.0), 0.20, kTolerance);
  EXPECT_NEAR(hueLuma(0.3, 0.0), 0.50, kTolerance);
  EXPECT_NEAR(hueLuma(2.0 / 3.0, 0.5), 0.5 * 0.20 + 0.5 * 0.5, kTolerance);
}

TEST(ColourSpaces, HsyPutsLightnessOneHalfAtThePureColoursLuma) {
  const Hsy red = toHsy({1.0, 0.0, 0.0});
  EXPECT_NEAR(red.y, 0.28, kTolerance);
  EXPECT_NEAR(toHsy({0.5, 0.0, 0.0}).y, 0.5 * 0.28, kTolerance);  // L = 1/4: 2L * g
  // L = 3/4 on the far side: g + (L - 1/2) * 2 * (1 - g)
  EXPECT_NEAR(toHsy({1.0, 0.5, 0.5}).y, 0.28 + 0.5 * 0.72, kTolerance);
}

TEST(ColourSpaces, HsyComesBackToTheSameColour) {
  const UnitColour colours[] = {{0.2, 0.7, 0.4}, {0.9, 0.1, 0.3}, {0.05, 0.02, 0.3},
                                {0.98, 0.9, 0.7}, {0.6, 0.6, 0.6}};
  for (const UnitColour& c : colours) {
    const Hsy hsy = toHsy(c);
    expectColour(fromHsy(hsy.h, hsy.s, hsy.y), c, 1e-9);
  }
}

TEST(ColourSpaces, HsyBeyondTheEndsIsBlackOrWhite) {
  expectColour(fromHsy(0.4, 0.8, 1.0), {1.0, 1.0, 1.0});
  expectColour(fromHsy(0.4, 0.8, 1.5), {1.0, 1.0, 1.0});
  expectColour(fromHsy(0.4, 0.8, 0.0), {0.0, 0.0, 0.0});
  expectColour(fromHsy(0.4, 0.8, -0.2), {0.0, 0.0, 0.0});
}

}  // namespace
