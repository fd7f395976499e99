// The lattice pair behind the lattice glue modes: where known colours land, how close a colour
// comes back after going forward and back, and that the 16-bit lookup reads the same lattice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "render/depth_conversions.h"
#include "render/lattice_lookup.h"

namespace {

int distance(Channels a, Channels b) {
  return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

Channels roundTrip8(Channels c) {
  return latticeLookup8(kInverseLattice, latticeLookup8(kForwardLattice, c));
}

// Luma 77/150/28; blue against luma and red against luma around 128, the purest blue and red
// reaching the ends. The primaries sit on the last node, so these are the stored bytes.
TEST(ColourLattice, KnownColoursLandWhereTheSpaceSays) {
  const struct {
    Channels rgb, expected;
  } cases[] = {
      {{0, 0, 0}, {0, 128, 128}},         {{255, 255, 255}, {255, 128, 128}},
      {{100, 100, 100}, {100, 128, 128}}, {{255, 0, 0}, {77, 85, 255}},
      {{0, 255, 0}, {150, 44, 21}},       {{0, 0, 255}, {28, 255, 108}},
  };
  for (const auto& c : cases) EXPECT_EQ(latticeLookup8(kForwardLattice, c.rgb), c.expected);
}

// Inside the cube the round trip is within a few steps. Near its skin the inverse lattice
// interpolates between nodes that lie outside the cube and had to be cut back to 0..255,
// which costs more. Black and white come back exactly.
TEST(ColourLattice, ForwardThenInverseComesBackClose) {
  int inside = 0, skin = 0;
  for (int32_t r = 0; r < 256; r += 3) {
    for (int32_t g = 0; g < 256; g += 5) {
      for (int32_t b = 0; b < 256; b += 2) {
        const Channels c = {r, g, b};
        const int d = distance(roundTrip8(c), c);
        const int margin = std::min({r, g, b, 255 - r, 255 - g, 255 - b});
        int& worst = margin >= 28 ? inside : skin;
        worst = std::max(worst, d);
      }
    }
  }
  EXPECT_LE(inside, 3);
  EXPECT_LE(skin, 15);
  EXPECT_EQ(roundTrip8({0, 0, 0}), (Channels{0, 0, 0}));
  EXPECT_EQ(roundTrip8({255, 255, 255}), (Channels{255, 255, 255}));
}

// The 16-bit lookup reads the same bytes with a spacing of 32768/15: it agrees with the
// 8-bit lookup to within one 8-bit step, and keeps its own round trip close too.
TEST(ColourLattice, SixteenBitLookupReadsTheSameLattice) {
  for (int32_t r = 0; r < 256; r += 7) {
    for (int32_t g = 0; g < 256; g += 11) {
      for (int32_t b = 0; b < 256; b += 13) {
        const Channels c8 = {r, g, b};
        const Channels c16 = {to16From8(r), to16From8(g), to16From8(b)};
        for (const ColourLattice* lattice : {&kForwardLattice, &kInverseLattice}) {
          const Channels a = latticeLookup8(*lattice, c8);
          const Channels wide = {to16From8(a[0]), to16From8(a[1]), to16From8(a[2])};
          EXPECT_LE(distance(latticeLookup16(*lattice, c16), wide), 128)
              << r << " " << g << " " << b;
        }
        const Channels back =
            latticeLookup16(kInverseLattice, latticeLookup16(kForwardLattice, c16));
        EXPECT_LE(distance(back, c16), 17 * 128);
      }
    }
  }
  EXPECT_EQ(latticeLookup16(kForwardLattice, {32768, 32768, 32768}),
            (Channels{32768, 16448, 16448}));
}

// Values beyond the scale are read as the nearest end rather than beyond the lattice.
TEST(ColourLattice, LookupsStayInsideTheLattice) {
  EXPECT_EQ(latticeLookup8(kForwardLattice, {-40, 300, 0}),
            latticeLookup8(kForwardLattice, {0, 255, 0}));
  EXPECT_EQ(latticeLookup16(kInverseLattice, {40000, -1, 32768}),
            latticeLookup16(kInverseLattice, {32768, 0, 32768}));
}

}  // namespace
