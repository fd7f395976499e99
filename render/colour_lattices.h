// The pair of colour lattices behind the lattice glue modes: a forward lattice from RGB into
// a space of luma and two opponent colours, and an inverse lattice back. Each is 16 x 16 x 16
// entries of three bytes, red (or the first component) fastest: entry 3r + 48g + 768b. The
// nodes lie 17 values apart, so node 15 is 255.
#pragma once

#include <array>
#include <cstdint>

constexpr int32_t kLatticeSide = 16;
constexpr int32_t kLatticeBytes = kLatticeSide * kLatticeSide * kLatticeSide * 3;

using ColourLattice = std::array<uint8_t, kLatticeBytes>;

// Component 0 is luma with the weights 77, 150 and 28 (out of 255); components 1 and 2 are
// blue against luma and red against luma, grey at 128, scaled so that the purest blue and red
// reach the ends of 0..255.
extern const ColourLattice kForwardLattice;
extern const ColourLattice kInverseLattice;
