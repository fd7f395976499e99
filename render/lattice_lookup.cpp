#include "render/lattice_lookup.h"

#include <algorithm>

namespace {

// Values are measured in sub-steps so that both depths stay in integers: an 8-bit value is
// its own sub-step count (17 per cell); a 16-bit value times 15 gives 32768 per cell. The
// weights of a cell then total `cell`, and the sum divided by `divisor` lands on the input's
// scale (17 for 8 bits; 15 * 17 for 16 bits, which turns entry bytes into 0..32768).
template <int32_t top, int32_t perValue, int32_t cell, int32_t divisor>
Channels lookup(const ColourLattice& lattice, Channels in) {
  constexpr int32_t kStride[3] = {3, 48, 768};
  int32_t rest[3];
  int32_t entry = 0;
  for (int c = 0; c < 3; ++c) {
    const int32_t steps = std::min(std::max(in[c], 0), top) * perValue;
    // The last node has no cell beyond it: its value is the far end of cell 14.
    const int32_t index = std::min(steps / cell, kLatticeSide - 2);
    rest[c] = steps - index * cell;
    entry += index * kStride[c];
  }

  // The tetrahedron of the cell that holds the point: from the cell's base corner one step
  // along the axis with the largest remainder, then the next, then the last, which always
  // ends at the far corner. Neighbouring pixels seldom share the order, so it is looked up
  // from the three comparisons rather than sorted with branches.
  struct Steps {
    int32_t first, firstTwo;
  };
  static constexpr Steps kSteps[8] = {
      {768, 816}, {768, 771}, {48, 816}, {3, 51},  // 3 and 4 cannot happen
      {3, 51},    {3, 771},   {48, 51},  {3, 51},
  };
  const Steps s =
      kSteps[(rest[0] >= rest[1]) | (rest[1] >= rest[2]) << 1 | (rest[0] >= rest[2]) << 2];
  const int32_t high = std::max(rest[0], std::max(rest[1], rest[2]));
  const int32_t low = std::min(rest[0], std::min(rest[1], rest[2]));
  const int32_t middle = rest[0] + rest[1] + rest[2] - high - low;
  const int32_t w0 = cell - high, w1 = high - middle, w2 = middle - low, w3 = low;
  const uint8_t* n0 = lattice.data() + entry;
  const uint8_t* n1 = n0 + s.first;
  const uint8_t* n2 = n0 + s.firstTwo;
  const uint8_t* n3 = n0 + 3 + 48 + 768;

  Channels out;
  for (int k = 0; k < 3; ++k)
    out[k] = (w0 * n0[k] + w1 * n1[k] + w2 * n2[k] + w3 * n3[k]) / divisor;
  return out;
}

}  // namespace

Channels latticeLookup8(const ColourLattice& lattice, Channels in) {
  return lookup<255, 1, 17, 17>(lattice, in);
}

Channels latticeLookup16(const ColourLattice& lattice, Channels in) {
  return lookup<32768, 15, 32768, 15 * 17>(lattice, in);
}
