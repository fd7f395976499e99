#include "render/lattice_lookup.h"

#include <algorithm>
#include <utility>

namespace {

// Values are measured in sub-steps so that both depths stay in integers: an 8-bit value is
// its own sub-step count (17 per cell); a 16-bit value times 15 gives 32768 per cell. The
// weights of a cell then total `cell`, and the sum divided by `divisor` lands on the input's
// scale (17 for 8 bits; 15 * 17 for 16 bits, which turns entry bytes into 0..32768).
template <int32_t top, int32_t perValue, int32_t cell, int32_t divisor>
Channels lookup(const ColourLattice& lattice, Channels in) {
  int32_t rest[3];
  int32_t entry = 0;
  constexpr int32_t kStride[3] = {3, 48, 768};
  for (int c = 0; c < 3; ++c) {
    const int32_t steps = std::clamp(in[c], 0, top) * perValue;
    // The last node has no cell beyond it: its value is the far end of cell 14.
    const int32_t index = std::min(steps / cell, kLatticeSide - 2);
    rest[c] = steps - index * cell;
    entry += index * kStride[c];
  }

  // The tetrahedron of the cell that holds the point: walk from the cell's base corner along
  // the axis with the largest remainder first.
  int a = 0, b = 1, c = 2;
  if (rest[a] < rest[b]) std::swap(a, b);
  if (rest[b] < rest[c]) std::swap(b, c);
  if (rest[a] < rest[b]) std::swap(a, b);
  const int32_t n1 = entry + kStride[a];
  const int32_t n2 = n1 + kStride[b];
  const int32_t n3 = n2 + kStride[c];
  const int32_t w0 = cell - rest[a];
  const int32_t w1 = rest[a] - rest[b];
  const int32_t w2 = rest[b] - rest[c];
  const int32_t w3 = rest[c];

  Channels out;
  for (int k = 0; k < 3; ++k) {
    out[k] = (w0 * lattice[entry + k] + w1 * lattice[n1 + k] + w2 * lattice[n2 + k] +
              w3 * lattice[n3 + k]) /
             divisor;
  }
  return out;
}

}  // namespace

Channels latticeLookup8(const ColourLattice& lattice, Channels in) {
  return lookup<255, 1, 17, 17>(lattice, in);
}

Channels latticeLookup16(const ColourLattice& lattice, Channels in) {
  return lookup<32768, 15, 32768, 15 * 17>(lattice, in);
}
