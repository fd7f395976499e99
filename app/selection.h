// A selection, as image editors apply it: the filter works on the whole filter rectangle
// and the host keeps its result only where the selection says so, blending the edges of a
// soft selection with the original. A selection is one 8-bit value per pixel: 255 takes
// the result, 0 keeps the original.
#pragma once

#include <cstdint>
#include <vector>

#include "app/host/host.h"

// The first colour plane of a grey image, at 8 bits.
std::vector<uint8_t> greyAsSelection(const HostImage& image);

// result = original + (result - original) x selection / 255, per sample (alpha included).
void applySelection(const HostImage& original, const std::vector<uint8_t>& selection, HostImage& result);
