#include "raster/kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

TEST(Kernels, PhasesSumExactlyToTheirScalesAndFitTheIntegerSamplers) {
  static KernelTables t;
  buildKernelTables(t);
  int32_t largestAbsoluteSum = 0;
  for (int p = 0; p < kKernelPhases; ++p) {
    int32_t sum2048 = 0, sum32768 = 0, absolute = 0;
    float sum = 0.0f;
    for (int k = 0; k < kKernelTaps; ++k) {
      sum2048 += t.weights2048[p][k];
      sum32768 += t.weights32768[p][k];
      sum += t.weights[p][k];
      absolute += std::abs(t.weights2048[p][k]);
      // One kernel three ways: rounded, the last tap taking up the rest.
      float tolerance = k < kKernelTaps - 1 ? 0.51f : 2.01f;
      EXPECT_NEAR(t.weights2048[p][k], t.weights[p][k] * 2048.0f, tolerance) << p << " " << k;
      EXPECT_NEAR(t.weights32768[p][k], t.weights[p][k] * 32768.0f, tolerance) << p << " " << k;
      // The 16-bit sampler multiplies weights of 32768 in signed 16 bits.
      EXPECT_LE(std::abs(t.weights32768[p][k]), INT16_MAX) << p << " " << k;
    }
    EXPECT_EQ(sum2048, 2048) << p;
    EXPECT_EQ(sum32768, 32768) << p;
    EXPECT_NEAR(sum, 1.0f, 1e-6f) << p;
    largestAbsoluteSum = std::max(largestAbsoluteSum, absolute);
  }
  // The 8-bit sampler sums in 32 bits: full scale times two phases' absolute weights.
  EXPECT_LT(int64_t(largestAbsoluteSum) * largestAbsoluteSum * 255, int64_t(INT32_MAX));

  // Phase 0 weighs the centre tap most; the weight moves from tap 3 to tap 1 as the phase
  // grows, with small negative lobes outside.
  EXPECT_EQ(std::max_element(t.weights2048[0], t.weights2048[0] + kKernelTaps) - t.weights2048[0],
            2);
  EXPECT_GT(t.weights[0][3], t.weights[0][1]);
  EXPECT_GT(t.weights[127][1], t.weights[127][3]);
  EXPECT_LT(t.weights[0][1], 0.0f);
  EXPECT_LT(t.weights[127][3], 0.0f);
}

}  // namespace
