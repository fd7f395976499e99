// The lattices are computed by the compiler from the closed form of the colour space, so the
// program carries the bytes without anyone having to paste or regenerate them.
#include "render/colour_lattices.h"

namespace {

constexpr double kRedWeight = 77.0 / 255.0;
constexpr double kGreenWeight = 150.0 / 255.0;
constexpr double kBlueWeight = 28.0 / 255.0;
// Blue minus luma spans +-255 * (1 - kBlueWeight); it is squeezed into +-127.5 around 128.
constexpr double kBlueScale = 127.5 / (255.0 * (1.0 - kBlueWeight));
constexpr double kRedScale = 127.5 / (255.0 * (1.0 - kRedWeight));
constexpr double kNodeSpacing = 17.0;

// A lookup truncates its weighted sum, which loses up to 16/17 of a step; every entry carries
// that much in advance. Whole values stay whole, so grey and the cube's corners are exact.
constexpr double kTruncationAllowance = 16.0 / 17.0;

constexpr uint8_t toEntry(double value) {
  value += kTruncationAllowance;
  if (value <= 0.0) return 0;
  if (value >= 255.0) return 255;
  return static_cast<uint8_t>(value);
}

struct Triple {
  double a, b, c;
};

constexpr Triple forwardColour(double red, double green, double blue) {
  const double luma = kRedWeight * red + kGreenWeight * green + kBlueWeight * blue;
  return {luma, 128.0 + (blue - luma) * kBlueScale, 128.0 + (red - luma) * kRedScale};
}

constexpr bool besideGrey(double opponent) { return opponent == 119.0 || opponent == 136.0; }

// Nodes of the inverse lattice outside the RGB cube hold the nearest value each channel can
// take. At zero and full luma the only colour is black or white: the four nodes around grey
// there hold it, so that black and white come back exactly (the rest of those two planes keep
// the cut-back values, which serve saturated dark and light colours better).
constexpr Triple inverseColour(double luma, double blueOpponent, double redOpponent) {
  if ((luma == 0.0 || luma == 255.0) && besideGrey(blueOpponent) && besideGrey(redOpponent))
    return {luma, luma, luma};
  const double red = luma + (redOpponent - 128.0) / kRedScale;
  const double blue = luma + (blueOpponent - 128.0) / kBlueScale;
  const double green = (luma - kRedWeight * red - kBlueWeight * blue) / kGreenWeight;
  return {red, green, blue};
}

constexpr ColourLattice makeLattice(Triple (*map)(double, double, double)) {
  ColourLattice lattice{};
  for (int32_t k = 0; k < kLatticeSide; ++k) {
    for (int32_t j = 0; j < kLatticeSide; ++j) {
      for (int32_t i = 0; i < kLatticeSide; ++i) {
        const Triple value = map(i * kNodeSpacing, j * kNodeSpacing, k * kNodeSpacing);
        const int32_t entry = 3 * i + 48 * j + 768 * k;
        lattice[entry] = toEntry(value.a);
        lattice[entry + 1] = toEntry(value.b);
        lattice[entry + 2] = toEntry(value.c);
      }
    }
  }
  return lattice;
}

}  // namespace

constinit const ColourLattice kForwardLattice = makeLattice(forwardColour);
constinit const ColourLattice kInverseLattice = makeLattice(inverseColour);
