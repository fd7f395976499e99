// The reduced levels of a raster, each computed from the one above it.
#pragma once

#include "raster/raster.h"

// Fills levels 1..Lmax from level 0; does nothing for a raster without a pyramid.
void buildPyramid(Raster& raster);
// The same with the tiles of each level shared among `threads` threads; the pixels are the
// same whatever the count.
void buildPyramid(Raster& raster, int32_t threads);

// 8-bit pyramids are reduced eight components at a time while this is set (from the start,
// where the processor has AVX2); the pixels are the same either way.
extern bool gWidePyramid;
