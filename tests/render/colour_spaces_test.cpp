// HSL and HSY, the spaces of the glue modes that mix hue, saturation and brightness. HSY is
// computed through the chroma vector; the tests hold it to the definitions in hue terms.
#include "render/colour_spaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

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

std::vector<UnitColour> randomColours() {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<UnitColour> colours = {{0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}, {0.3, 0.3, 0.3}};
  for (int n = 0; n < 2000; ++n) colours.push_back({unit(random), unit(random), unit(random)});
  return colours;
}

// The chroma carries hue and saturation: a colour is its lightness plus the room lightness
// leaves times the chroma, and the chroma of (h, s) is s times that of the pure hue.
TEST(ColourSpaces, ChromaHoldsHslHueAndSaturation) {
  for (const UnitColour& c : randomColours()) {
    const Hsl hsl = toHsl(c);
    const ChromaColour chroma = toChroma(c);
    EXPECT_NEAR(chroma.s, hsl.s, kTolerance);
    EXPECT_NEAR(chroma.l, hsl.l, kTolerance);
    const double room = std::min(hsl.l, 1.0 - hsl.l);
    expectColour({hsl.l + room * chroma.chroma.r, hsl.l + room * chroma.chroma.g,
                  hsl.l + room * chroma.chroma.b},
                 c, 1e-9);
    const Chroma half = withSaturation(chroma, hsl.s * 0.5);
    const UnitColour pure = fromHsl({hsl.h, hsl.s * 0.5, 0.5});
    expectColour({0.5 + 0.5 * half.r, 0.5 + 0.5 * half.g, 0.5 + 0.5 * half.b}, pure, 1e-9);
  }
  // Grey has hue 0: given a saturation it turns red.
  const Chroma red = withSaturation(toChroma({0.4, 0.4, 0.4}), 1.0);
  EXPECT_EQ((std::vector<double>{red.r, red.g, red.b}), (std::vector<double>{1.0, -1.0, -1.0}));
}

// 0.28 red + 0.52 green + 0.20 blue of the colour at lightness one half.
TEST(ColourSpaces, HueLumaWeighsTheColourAtLightnessOneHalf) {
  const struct {
    UnitColour rgb;
    double expected;
  } cases[] = {
      {{1.0, 0.0, 0.0}, 0.28},
      {{0.5, 0.5, 0.0}, 0.80},
      {{0.0, 0.0, 0.2}, 0.20},
      {{0.3, 0.3, 0.3}, 0.50},
      // hue of blue at saturation one half: half the pure colour, half grey
      {{0.25, 0.25, 0.75}, 0.5 * 0.20 + 0.5 * 0.5},
  };
  for (const auto& c : cases) EXPECT_NEAR(hueLuma(toChroma(c.rgb).chroma), c.expected, kTolerance);
}

TEST(ColourSpaces, HsyPutsLightnessOneHalfAtThePureColoursLuma) {
  EXPECT_NEAR(hsyY(toChroma({1.0, 0.0, 0.0})), 0.28, kTolerance);
  EXPECT_NEAR(hsyY(toChroma({0.5, 0.0, 0.0})), 0.5 * 0.28, kTolerance);  // l = 1/4: 2l * g
  // l = 3/4 on the far side: g + (l - 1/2) * 2 * (1 - g)
  EXPECT_NEAR(hsyY(toChroma({1.0, 0.5, 0.5})), 0.28 + 0.5 * 0.72, kTolerance);
}

TEST(ColourSpaces, HsyComesBackToTheSameColour) {
  for (const UnitColour& c : randomColours()) {
    const ChromaColour chroma = toChroma(c);
    expectColour(fromChromaY(chroma.chroma, hsyY(chroma)), c, 1e-9);
  }
}

TEST(ColourSpaces, HsyBeyondTheEndsIsBlackOrWhite) {
  const Chroma green = toChroma({0.2, 0.9, 0.4}).chroma;
  expectColour(fromChromaY(green, 1.0), {1.0, 1.0, 1.0});
  expectColour(fromChromaY(green, 1.5), {1.0, 1.0, 1.0});
  expectColour(fromChromaY(green, 0.0), {0.0, 0.0, 0.0});
  expectColour(fromChromaY(green, -0.2), {0.0, 0.0, 0.0});
}

}  // namespace
