#include "files/jpeg_quant_tables.h"

// Row 8 is the table every thumbnail is written with: fine detail in the low frequencies,
// and the high ones held at 12 so that ripples stay crisp at 128 x 128.
static constexpr QuantTable kRow8Luminance = {
    2, 2, 2, 2, 3, 4,  5,  6,  2, 2, 2, 2, 3,  4,  5,  6,  2, 2, 2,  2,  4,  5,  7,  9,
    2, 2, 2, 4, 5, 7,  9,  12, 3, 3, 4, 5, 8,  13, 12, 12, 4, 4, 5,  7,  13, 12, 12, 12,
    5, 5, 7, 9, 12, 12, 12, 12, 6, 6, 9, 12, 12, 12, 12, 12,
};
static constexpr QuantTable kRow8Chrominance = {
    3,  3,  5,  9,  10, 15, 15, 15, 3,  4,  6,  13, 14, 12, 12, 12, 5,  6,  9,  14, 12, 12,
    12, 12, 9,  13, 14, 12, 12, 12, 12, 12, 10, 14, 12, 12, 12, 12, 12, 12, 15, 12, 12, 12,
    12, 12, 12, 12, 15, 12, 12, 12, 12, 12, 12, 12, 15, 12, 12, 12, 12, 12, 12, 12,
};

// The other rows keep row 8's shape and scale its steps: percent of row 8 per row.
static constexpr unsigned int kRowScale[10] = {1000, 700, 500, 380, 290, 220, 170, 130, 100, 50};

static constexpr QuantTable scaled(const QuantTable& base, unsigned int percent) {
  QuantTable table{};
  for (int i = 0; i < 64; ++i) {
    const unsigned int step = (base[i] * percent + 50) / 100;
    table[i] = step < 1 ? 1 : step > 255 ? 255 : step;
  }
  return table;
}

static constexpr std::array<QuantRow, 10> makeRows() {
  std::array<QuantRow, 10> rows{};
  for (int r = 0; r < 10; ++r) rows[r] = {scaled(kRow8Luminance, kRowScale[r]), scaled(kRow8Chrominance, kRowScale[r])};
  return rows;
}

const std::array<QuantRow, 10> kQuantRows = makeRows();

static_assert(makeRows()[8].luminance == kRow8Luminance && makeRows()[8].chrominance == kRow8Chrominance);
