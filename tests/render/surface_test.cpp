#include "render/surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<NoiseTables> tablesFor(int32_t seed) {
  auto tables = std::make_unique<NoiseTables>();
  prepareNoiseTables(*tables, seed);
  return tables;
}

TEST(NoiseTables, SeedTableFollowsTheShuffle) {
  const auto t = tablesFor(21);
  // Position 2 is never a later step's target, so it keeps base[2] & 255 = 1939 & 255.
  EXPECT_EQ(t->seedTable[2], 147);
  // Step 115 targets base[21 + 115] = base[136] = 1 while slot 115 still holds
  // base[115] & 255 = 160; no later step lands on 1.
  EXPECT_EQ(kNoiseBaseTable[136], 1);
  EXPECT_EQ(t->seedTable[1], 160);
  // base[400] = 1789: its low byte stays, the first ring scatter value.
  EXPECT_EQ(t->seedTable[400], 253);
  EXPECT_FLOAT_EQ(t->scaledSeedTable[400], 253.0f / 255.0f);
  for (int k = 0; k < kNoiseBaseSize; ++k) {
    ASSERT_GE(t->seedTable[k], 0);
    ASSERT_LE(t->seedTable[k], 255);
    ASSERT_EQ(t->scaledSeedTable[k], static_cast<float>(t->seedTable[k] / 255.0));
  }
}

TEST(NoiseTables, PermutationIsTheReferenceRotatedBySeed) {
  const auto zero = tablesFor(0);
  const auto whole = tablesFor(256);
  const auto one = tablesFor(1);
  const auto minusOne = tablesFor(-1);
  EXPECT_EQ(zero->perm[0], 151);
  EXPECT_EQ(zero->perm[1], 160);
  EXPECT_EQ(zero->perm[255], 180);
  EXPECT_EQ(zero->perm[256], 151);
  EXPECT_EQ(zero->perm[511], 180);
  EXPECT_EQ(one->perm[0], 160);
  EXPECT_EQ(one->perm[255], 151);
  EXPECT_EQ(minusOne->perm[0], 180);
  EXPECT_EQ(minusOne->perm[1], 151);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(zero->perm[i], whole->perm[i]) << i;

  // The same permutation, but the shuffle starts elsewhere: another ring scatter.
  bool scatterDiffers = false;
  for (int k = 400; k < 418; ++k)
    scatterDiffers |= zero->scaledSeedTable[k] != whole->scaledSeedTable[k];
  EXPECT_TRUE(scatterDiffers);
}

TEST(PerlinNoise, CellCentresAverageTheCornerGradients) {
  // At a cell centre the fade is exactly 1/2, so the result is the mean of the four corner
  // gradients evaluated at (+-1/2, +-1/2); the hashes (low four bits) are listed per case.
  struct Case {
    int32_t seed;
    float x, y;
    float expected;
  } cases[] = {
      {0, 0.5f, 0.5f, -0.25f},   // 4, 6, 12, 0: 0.5, -0.5, 0, -1
      {0, -0.5f, -0.5f, 0.0f},   // 13, 13, 14, 4: 0, 1, -0.5, -0.5
      {0, 7.5f, 0.5f, 0.25f},    // 4, 1, 13, 15: 0.5, 0.5, 1, -1
      {0, 3.5f, 1.5f, 0.125f},   // 8, 14, 0, 8: 0.5, -0.5, 0, 0.5
      {21, 1.5f, 9.5f, 0.5f},    // 6, 13, 6, 13: -0.5, 1, -0.5, 1
      {21, 0.5f, 0.5f, -0.625f},  // 3, 11, 5, 10: -1, -0.5, -0.5, -0.5
  };
  for (const Case& c : cases) {
    const auto t = tablesFor(c.seed);
    EXPECT_EQ(perlinNoise2(*t, c.x, c.y), c.expected) << c.seed << " " << c.x << " " << c.y;
  }
}

TEST(PerlinNoise, VanishesOnTheLatticeAndRepeatsEvery256) {
  const auto t = tablesFor(21);
  for (float x : {0.0f, 1.0f, -3.0f, 255.0f})
    for (float y : {0.0f, 7.0f, -1.0f}) EXPECT_EQ(perlinNoise2(*t, x, y), 0.0f);
  // Fractions with few bits, so that moving the point by 256 keeps them exactly.
  for (float x : {0.25f, 12.625f, -5.1875f})
    for (float y : {0.875f, 100.3125f}) {
      EXPECT_EQ(perlinNoise2(*t, x + 256.0f, y), perlinNoise2(*t, x, y));
      EXPECT_EQ(perlinNoise2(*t, x, y - 512.0f), perlinNoise2(*t, x, y));
    }
}

TEST(PerlinNoise, ContinuousAcrossCellBorders) {
  const auto t = tablesFor(7);
  const float e = 1e-4f;
  for (float border : {1.0f, 2.0f, 17.0f, 255.0f, 256.0f})
    for (float other : {0.2f, 0.5f, 3.7f}) {
      EXPECT_NEAR(perlinNoise2(*t, border - e, other), perlinNoise2(*t, border + e, other), 1e-3f);
      EXPECT_NEAR(perlinNoise2(*t, other, border - e), perlinNoise2(*t, other, border + e), 1e-3f);
    }
}

TEST(PerlinNoise, HugeAndNonFiniteCoordinatesAreSafe) {
  const auto t = tablesFor(21);
  // Beyond 2^24 every float is whole: the point sits on the lattice.
  EXPECT_EQ(perlinNoise2(*t, 3.0e9f, 1.5e12f), 0.0f);
  EXPECT_EQ(perlinNoise2(*t, -1.0e30f, 2.0e20f), 0.0f);
  EXPECT_TRUE(std::isnan(perlinNoise2(*t, INFINITY, 0.5f)));
  EXPECT_TRUE(std::isnan(perlinNoise2(*t, 0.5f, NAN)));
}

// The octave structure written out step by step.
NoisePair octaves(const NoiseTables& t, float x, float y, int full, float weight) {
  const float k1 = 0.7771459f, k2 = 0.6293203f;
  NoisePair n = {0, 0};
  for (int i = 0; i < full; ++i) {
    n.nu += perlinNoise2(t, k1 * x - k2 * y, k2 * x + k1 * y);
    x += 25.0764f;
    y += 723.453f;
    n.nv += perlinNoise2(t, k1 * x - k2 * y, k2 * x + k1 * y);
    x += 44.8452f;
    y += 65.81998f;
    x *= 1.7134f;
    y *= 1.7134f;
  }
  if (weight > 0) {
    n.nu += weight * perlinNoise2(t, x, y);
    n.nv += weight * perlinNoise2(t, x + 13.0764f, y + 623.453f);
  }
  return n;
}

TEST(RippleNoise, OctaveCountAndFractionalWeight) {
  const auto t = tablesFor(21);
  struct Case {
    float c;
    int full;
    float weight;
  } cases[] = {
      {0.5f, 0, 0.5f},     {1.0f, 0, 0.0f},  {1.01f, 1, 1.01f - 1.0f},
      {2.0f, 1, 0.0f},     {3.0f, 2, 0.0f},  {3.01f, 3, 3.01f - 3.0f},
      {7.01f, 7, 7.01f - 7.0f}, {-0.5f, 0, 0.5f}, {0.0f, 0, 0.0f},
  };
  for (const Case& c : cases)
    for (float x : {0.37f, -4.1f})
      for (float y : {2.6f, 31.0f}) {
        const NoisePair got = rippleNoise(*t, x, y, c.c);
        const NoisePair want = octaves(*t, x, y, c.full, c.weight);
        EXPECT_EQ(got.nu, want.nu) << c.c;
        EXPECT_EQ(got.nv, want.nv) << c.c;
      }
  // The c <= 1 case is nothing but the fractional octave at the unmoved point.
  const NoisePair half = rippleNoise(*t, 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(half.nu, 0.5f * -0.625f);
}

TEST(RippleNoise, ARowGivesEachPointItsOwnValue) {
  const auto t = tablesFor(21);
  const float xs[] = {0.37f, -4.1f, 1e7f,  12.5f, NAN,  -0.0f, 255.99f,
                      3.0f,  1e-30f, -77.7f, 0.5f, 2.25f, -1e20f};
  const int count = sizeof xs / sizeof xs[0];
  for (float c : {0.5f, 3.01f, 7.01f}) {
    NoisePair row[count];
    rippleNoiseRow(*t, xs, 2.6f, c, count, row);
    for (int k = 0; k < count; ++k) {
      const NoisePair alone = octaves(*t, xs[k], 2.6f, int(std::ceil(c)) - 1, c - std::trunc(c));
      if (std::isnan(xs[k])) {
        EXPECT_TRUE(std::isnan(row[k].nu)) << k;
        continue;
      }
      EXPECT_EQ(row[k].nu, alone.nu) << c << " " << k;
      EXPECT_EQ(row[k].nv, alone.nv) << c << " " << k;
    }
  }
}

TEST(RippleNoise, WildComplexityStaysBoundedAndFinite) {
  const auto t = tablesFor(21);
  // complexity 2000000000 gives c = 1.2e8: the octaves stop at the bound, which lies where
  // further octaves have nothing left to add.
  const NoisePair wild = rippleNoise(*t, 0.31f, 1.7f, 2000000000.0f * 0.06f + 1.01f);
  const NoisePair bound = octaves(*t, 0.31f, 1.7f, 64, 0.0f);
  EXPECT_EQ(wild.nu, bound.nu);
  EXPECT_EQ(wild.nv, bound.nv);
  EXPECT_TRUE(std::isfinite(wild.nu) && std::isfinite(wild.nv));
  const NoisePair hundred = octaves(*t, 0.31f, 1.7f, 100, 0.0f);
  EXPECT_EQ(hundred.nu, bound.nu);
  EXPECT_EQ(hundred.nv, bound.nv);
}

TEST(RippleRings, CentresAreScatteredAroundThePickedPoint) {
  const auto t = tablesFor(21);
  // Centre straight ahead (x = 0.5) and 0.25 below a horizon at 0.5: on the plane at
  // (0, A / 0.25).
  const float F = 2.0f;
  const RippleRings rings = placeRippleRings(*t, 0.5f, 0.75f, 0.3f, 1.0f, F, 0.5f);
  const float J[4] = {253 / 255.0f, 161 / 255.0f, 57 / 255.0f, 246 / 255.0f};
  EXPECT_FLOAT_EQ(rings.x[0], (J[0] - 0.5f) * F * 0.18f);
  EXPECT_FLOAT_EQ(rings.y[0], 4.0f + (J[1] - 0.5f) * F * 0.18f);
  EXPECT_FLOAT_EQ(rings.x[1], (J[2] - 0.5f) * F * 0.18f);
  EXPECT_FLOAT_EQ(rings.y[1], 4.0f + (J[3] - 0.5f) * F * 0.18f);
  // Off-centre: x = (0.75 - 0.5) * 2 * (2 * 0.3 * 1) / 0.25 = 1.2.
  const RippleRings right = placeRippleRings(*t, 0.75f, 0.75f, 0.3f, 1.0f, F, 0.5f);
  EXPECT_FLOAT_EQ(right.x[0] - rings.x[0], 1.2f);
  EXPECT_FLOAT_EQ(right.y[0], rings.y[0]);
}

TEST(RippleRings, CentreOnTheHorizonReachesNoPixel) {
  const auto t = tablesFor(21);
  for (float centreX : {0.5f, 0.2f}) {
    const RippleRings rings = placeRippleRings(*t, centreX, 0.4f, 0.1f, 2.5f, 3.0f, 0.4f);
    for (float sx : {0.0f, -50.0f, 1e6f})
      for (float sy : {0.1f, 10.0f, 1e30f}) {
        const RingSums s = sumRipples(rings, sx, sy, 1.0f / 3.0f, 0.2f, 40.0f);
        EXPECT_EQ(s.ringSin, 0.0f);
        EXPECT_EQ(s.ringCos, 0.0f);
      }
  }
}

TEST(RippleRings, ContributionByDistanceFromTheCentre) {
  // One ring at the origin, the others far away.
  RippleRings rings;
  for (int k = 0; k < kRippleRingCount; ++k) rings.x[k] = rings.y[k] = 1000.0f * (k + 1);
  rings.x[0] = rings.y[0] = 0.0f;
  const float Hr = 0.2f, U = 1.0f, F = 2.0f;
  struct Case {
    float sx, sy;
    float ringSin, ringCos;
  } cases[] = {
      {0.0f, 0.0f, 0.0f, 0.49f * 2.0408163f * Hr},  // the centre: r = 0, weight 0.7^2 * 2.04
      {1.0f, 0.0f, 0.25f * Hr, 0.0f},              // r = 1/2: weight 1/4, phase pi/2
      {0.0f, -1.0f, 0.25f * Hr, 0.0f},
      {2.0f, 0.0f, 0.0f, 0.0f},                    // on the rim: outside
      {0.0f, 2.0f, 0.0f, 0.0f},
      {1.5f, 1.5f, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    const RingSums s = sumRipples(rings, c.sx, c.sy, 1.0f / F, Hr, U);
    EXPECT_NEAR(s.ringSin, c.ringSin, 1e-6f) << c.sx << " " << c.sy;
    EXPECT_NEAR(s.ringCos, c.ringCos, 1e-6f) << c.sx << " " << c.sy;
  }
  // Overlapping rings add up.
  rings.x[1] = rings.y[1] = 0.0f;
  EXPECT_NEAR(sumRipples(rings, 1.0f, 0.0f, 1.0f / F, Hr, U).ringSin, 0.5f * Hr, 1e-6f);
}

}  // namespace
