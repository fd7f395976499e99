#include "raster/kernels.h"

#include <cmath>

namespace {

// The kernel's own value of pi, kept so that the tables come out the same everywhere.
constexpr double kPi = 3.141592653;

double sinc(double t) { return t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t); }

double kernel(double t) {
  if (t <= -2.0 || t >= 2.0) return 0.0;
  return sinc(t) * sinc(t / 2.0);
}

// The integer taps are rounded to the nearest step and the last one takes up the rest, so
// that a phase sums to exactly `scale`.
template <typename Int>
void scaleTaps(const double (&taps)[kKernelTaps], int32_t scale, Int (&out)[kKernelTaps]) {
  int32_t sum = 0;
  for (int k = 0; k < kKernelTaps - 1; ++k) {
    out[k] = static_cast<Int>(std::lround(taps[k] * scale));
    sum += out[k];
  }
  out[kKernelTaps - 1] = static_cast<Int>(scale - sum);
}

}  // namespace

void buildKernelTables(KernelTables& tables) {
  constexpr int kBoxSteps = 20;
  for (int p = 0; p < kKernelPhases; ++p) {
    double taps[kKernelTaps];
    double sum = 0.0;
    for (int k = 0; k < kKernelTaps; ++k) {
      double total = 0.0;
      for (int j = 0; j < kBoxSteps; ++j) total += kernel(p / 128.0 - 2.0 + k - j / 21.0);
      taps[k] = total / kBoxSteps;
      sum += taps[k];
    }
    for (double& tap : taps) tap /= sum;

    float* weights = tables.weights[p];
    float rest = 1.0f;
    for (int k = 0; k < kKernelTaps - 1; ++k) {
      weights[k] = static_cast<float>(taps[k]);
      rest -= weights[k];
    }
    weights[kKernelTaps - 1] = rest;

    scaleTaps(taps, 2048, tables.weights2048[p]);
    scaleTaps(taps, 32768, tables.weights32768[p]);
  }
}
