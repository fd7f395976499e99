#include "raster/kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const KernelTables& tables() {
  static KernelTables t = [] {
    KernelTables built;
    buildKernelTables(built);
    return built;
  }();
  return t;
}

TEST(Kernels, EveryPhaseSumsExactlyToItsScale) {
  for (int p = 0; p < kKernelPhases; ++p) {
    int32_t sum2048 = 0, sum32768 = 0;
    float sum = 0.0f;
    for (int k = 0; k < kKernelTaps; ++k) {
      sum2048 += tables().weights2048[p][k];
      sum32768 += tables().weights32768[p][k];
      sum += tables().weights[p][k];
      // The three forms are one kernel: rounded, with the last tap taking up the rest.
      float tolerance = k < kKernelTaps - 1 ? 0.51f : 2.01f;
      EXPECT_NEAR(tables().weights2048[p][k], tables().weights[p][k] * 2048.0f, tolerance) << p << " " << k;
      EXPECT_NEAR(tables().weights32768[p][k], tables().weights[p][k] * 32768.0f, tolerance) << p << " " << k;
    }
    EXPECT_EQ(sum2048, 2048) << "phase " << p;
    EXPECT_EQ(sum32768, 32768) << "phase " << p;
    EXPECT_NEAR(sum, 1.0f, 1e-6f) << "phase " << p;
  }
}

TEST(Kernels, PhaseZeroWeighsTheCentreMost) {
  for (int k = 0; k < kKernelTaps; ++k) {
    if (k != 2) {
      EXPECT_LT(tables().weights2048[0][k], tables().weights2048[0][2]) << k;
    }
  }
  // The box average of a two-lobed kernel: a positive pair in the middle, small negative
  // lobes beside it, and the weight moving from tap 3 to tap 1 as the phase grows.
  EXPECT_GT(tables().weights[0][3], tables().weights[0][1]);
  EXPECT_GT(tables().weights[127][1], tables().weights[127][3]);
  EXPECT_LT(tables().weights[0][1], 0.0f);
  EXPECT_LT(tables().weights[127][3], 0.0f);
}

// The integer samplers multiply in 16 bits and sum in 32: an 8-bit component times the
// absolute weights of two phases must fit, and so must a 16-bit weight.
TEST(Kernels, IntegerSamplingCannotOverflow) {
  int32_t largest = 0;
  for (int p = 0; p < kKernelPhases; ++p) {
    int32_t sum = 0;
    for (int k = 0; k < kKernelTaps; ++k) {
      sum += std::abs(tables().weights2048[p][k]);
      EXPECT_LE(tables().weights32768[p][k], INT16_MAX) << p << " " << k;
      EXPECT_GE(tables().weights32768[p][k], INT16_MIN) << p << " " << k;
    }
    largest = std::max(largest, sum);
  }
  EXPECT_LT(int64_t(largest) * largest * 255, int64_t(INT32_MAX));
}

}  // namespace
