// Dice, Ecce and plain settings over the runtime-compatible generator.
#include "dialog/random_looks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

ParameterBlock defaultBlock() {
  ParameterBlock block{};
  applyDefaultSettings(block.settings);
  block.settings.centreX = 0.3f;
  block.settings.centreY = 0.7f;
  block.settings.randomSeed = 1234;
  block.settings.glue = 5;
  block.settings.horizon = 17;
  block.settings.offset = 9;
  std::strcpy(block.settingsFileName, "mine.q8r");
  return block;
}

TEST(RandomLooks, GeneratorFollowsTheRuntimeSequenceAndRangesHoldTheirBounds) {
  RandomGenerator g{};
  seedRandom(g, 1);
  EXPECT_EQ(nextRandom(g), 41);
  EXPECT_EQ(nextRandom(g), 18467);
  EXPECT_EQ(nextRandom(g), 6334);
  EXPECT_EQ(nextRandom(g), 26500);

  // Both ends are reached, nothing outside; swapped bounds draw the same numbers.
  RandomGenerator a{}, b{};
  seedRandom(a, 99);
  seedRandom(b, 99);
  int32_t low = 1000, high = -1000;
  for (int i = 0; i < 4000; ++i) {
    const int32_t r = randomBetween(a, 30, 60);
    EXPECT_EQ(r, randomBetween(b, 60, 30));
    low = std::min(low, r), high = std::max(high, r);
  }
  EXPECT_EQ(low, 30);
  EXPECT_EQ(high, 60);
  EXPECT_EQ(randomBetween(a, 7, 7), 7);
}

TEST(RandomLooks, DiceDrawsTheLookAndLeavesPlaceGlueAndSeedAlone) {
  RandomGenerator g{};
  seedRandom(g, 20261208);
  int black = 0;
  constexpr int kDraws = 6000;
  for (int i = 0; i < kDraws; ++i) {
    ParameterBlock block = defaultBlock();
    diceSettings(block, g);
    const Settings& s = block.settings;
    ASSERT_EQ(s.horizon, 17);
    ASSERT_EQ(s.offset, 9);
    ASSERT_EQ(s.glue, 5);
    ASSERT_EQ(s.randomSeed, 1234);
    ASSERT_EQ(s.centreX, 0.3f);
    ASSERT_EQ(s.centreY, 0.7f);
    ASSERT_STREQ(block.settingsFileName, "random settings.q8r");
    ASSERT_TRUE(s.waviness >= 0 && s.waviness <= 70);
    ASSERT_TRUE(s.brilliance >= 30 && s.brilliance <= 60);
    ASSERT_TRUE(s.blur >= 0 && s.blur <= 49);
    ASSERT_TRUE(s.altitude >= 1 && s.altitude <= 90);
    ASSERT_TRUE(s.undulation >= 3 && s.undulation <= 80);
    const Colour16 w = s.waterColour;
    if (w.red == 0 && w.green == 0 && w.blue == 0) ++black;
    // At most twice the base lightness: no channel passes one half.
    ASSERT_LE(std::max({w.red, w.green, w.blue}), 32768);
  }
  // 60 of the 101 values of the last draw make black water; a few more come from a
  // lightness factor of 0.
  EXPECT_NEAR(double(black) / kDraws, 60.0 / 101.0, 0.03);
}

TEST(RandomLooks, DiceHuesGoRoundTheWholeCircle) {
  // The hue offset reaches far beyond one turn; every sector of the circle must show up
  // among the coloured waters, which a hue held at the ends would not give.
  RandomGenerator g{};
  seedRandom(g, 5);
  bool redHighest = false, greenHighest = false, blueHighest = false;
  for (int i = 0; i < 3000; ++i) {
    ParameterBlock block = defaultBlock();
    diceSettings(block, g);
    const Colour16 w = block.settings.waterColour;
    if (w.red > w.green + 100 && w.red > w.blue + 100) redHighest = true;
    if (w.green > w.red + 100 && w.green > w.blue + 100) greenHighest = true;
    if (w.blue > w.red + 100 && w.blue > w.green + 100) blueHighest = true;
  }
  EXPECT_TRUE(redHighest);
  EXPECT_TRUE(greenHighest);
  EXPECT_TRUE(blueHighest);
}

TEST(RandomLooks, EcceChangesOnlyTheSeedAndNamePlainSettingsAreTheDefaults) {
  RandomGenerator g{};
  seedRandom(g, 7);
  const ParameterBlock before = defaultBlock();
  bool seedChanged = false;
  for (int i = 0; i < 200; ++i) {
    ParameterBlock block = before;
    ecceSettings(block, g);
    ASSERT_TRUE(block.settings.randomSeed >= 0 && block.settings.randomSeed <= 2047);
    seedChanged |= block.settings.randomSeed != 1234;
    ASSERT_STREQ(block.settingsFileName, "random settings.q8r");
    Settings rest = block.settings;
    rest.randomSeed = before.settings.randomSeed;
    ASSERT_EQ(std::memcmp(&rest, &before.settings, sizeof rest), 0);
  }
  EXPECT_TRUE(seedChanged);

  ParameterBlock block = defaultBlock();
  block.settings.colourG = {1, 2, 3};
  plainSettings(block);
  EXPECT_STREQ(block.settingsFileName, "plain settings.q8r");
  EXPECT_EQ(block.settings.horizon, 60);
  EXPECT_EQ(block.settings.glue, 1);
  EXPECT_EQ(block.settings.randomSeed, 21);
  EXPECT_EQ(block.settings.waterColour.blue, 771);
  EXPECT_FLOAT_EQ(block.settings.centreY, 0.2f);
}

}  // namespace
