#include "host/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(Settings, DefaultsMatchTheTable) {
  Settings s;
  std::memset(&s, 0xA5, sizeof s);
  applyDefaultSettings(s);
  EXPECT_EQ(s.waterColour.red, 0x0101);
  EXPECT_EQ(s.waterColour.green, 0x0202);
  EXPECT_EQ(s.waterColour.blue, 0x0303);
  const int32_t percent[] = {s.rippleHeight, s.horizon, s.perspective, s.undulation, s.rippleSize, s.offset,
                             s.waviness,     s.blur,    s.complexity,  s.altitude,   s.brilliance};
  const int32_t expected[] = {33, 60, 57, 40, 0, 0, 40, 25, 50, 50, 42};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(percent[i], expected[i]) << "field " << i;
  EXPECT_EQ(s.glue, 1);
  EXPECT_EQ(s.randomSeed, 21);
  EXPECT_FLOAT_EQ(s.centreX, 0.5f);
  EXPECT_FLOAT_EQ(s.centreY, 0.2f);
  EXPECT_EQ(s.colourF.red, 0x70A3);
  EXPECT_EQ(s.colourA.blue, 0x9CC5);
  EXPECT_NEAR(s.vectorA.z, 0.27423, 1e-5);
  EXPECT_FLOAT_EQ(s.vectorB.y, -1.0f);
  EXPECT_EQ(s.storedInt06, 4);
  EXPECT_EQ(s.storedInt16, 100);
  EXPECT_EQ(s.storedInt19, 0);
  // colourG has no default: the routine leaves whatever it held.
  EXPECT_EQ(s.colourG.red, 0xA5A5);
}
