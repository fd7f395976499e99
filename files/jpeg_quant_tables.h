// Quantisation tables of the thumbnail JPEGs, one row per tenth of the quality scale.
#pragma once

#include <array>

using QuantTable = std::array<unsigned int, 64>;  // natural (row by row) order

struct QuantRow {
  QuantTable luminance;
  QuantTable chrominance;
};

// Row q / 10 for a quality q in 0..99.
extern const std::array<QuantRow, 10> kQuantRows;
