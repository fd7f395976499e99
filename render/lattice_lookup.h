// Tetrahedral lookup in a colour lattice (colour_lattices.h).
#pragma once

#include "render/channels.h"
#include "render/colour_lattices.h"

// Inputs and results on the 8-bit scale (0..255).
Channels latticeLookup8(const ColourLattice& lattice, Channels in);
// Inputs and results on the 16-bit scale (0..32768): the same lattice bytes, read with a
// spacing of 32768/15 and widened by the division.
Channels latticeLookup16(const ColourLattice& lattice, Channels in);
