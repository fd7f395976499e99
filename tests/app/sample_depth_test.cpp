#include "app/sample_depth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

TEST(SampleDepth, EveryHostLevelSurvivesTheTripThroughA16BitFile) {
  for (uint32_t h = 0; h <= 32768; ++h) ASSERT_EQ(hostFrom16(fileFrom16(uint16_t(h))), h) << h;
  EXPECT_EQ(fileFrom16(0), 0);
  EXPECT_EQ(fileFrom16(16384), 32768);  // half way is half way, rounded up
  EXPECT_EQ(fileFrom16(32768), 65535);
  EXPECT_EQ(fileFrom16(40000), 65535);  // beyond the scale counts as its top
}

TEST(SampleDepth, FileLevelsComeBackWithinOneStepAndKeepTheirOrder) {
  for (uint32_t f = 0; f <= 65535; ++f) {
    const int back = fileFrom16(hostFrom16(uint16_t(f)));
    ASSERT_LE(std::abs(back - int(f)), 1) << f;
    if (f) {
      ASSERT_GE(hostFrom16(uint16_t(f)), hostFrom16(uint16_t(f - 1))) << f;
    }
  }
  EXPECT_EQ(hostFrom16(65535), 32768);
  EXPECT_EQ(hostFrom16(1), 1);  // nearest, not truncated
}

namespace {

HostImage single(int32_t depth, float value) {
  HostImage image = makeHostImage(1, 1, depth, 1, false);
  if (depth == 8) image.samples[0] = uint8_t(value);
  if (depth == 16) {
    const uint16_t v = uint16_t(value);
    std::memcpy(image.samples.data(), &v, 2);
  }
  if (depth == 32) std::memcpy(image.samples.data(), &value, 4);
  return image;
}

float valueOf(const HostImage& image) {
  if (image.depth == 8) return image.samples[0];
  if (image.depth == 16) {
    uint16_t v;
    std::memcpy(&v, image.samples.data(), 2);
    return v;
  }
  float v;
  std::memcpy(&v, image.samples.data(), 4);
  return v;
}

}  // namespace

TEST(SampleDepth, EightBitLevelsSurviveEveryDeeperDepth) {
  for (int v = 0; v <= 255; ++v)
    for (int depth : {16, 32}) {
      const HostImage there = convertDepth(single(8, float(v)), depth);
      ASSERT_EQ(valueOf(convertDepth(there, 8)), v) << v << " via " << depth;
    }
}

TEST(SampleDepth, ConversionsScaleAndClamp) {
  struct Case {
    int32_t from;
    float value;
    int32_t to;
    float expected;
  };
  const Case cases[] = {
      {8, 255, 16, 32768},  {8, 128, 16, 16448}, {16, 32768, 8, 255}, {16, 16384, 8, 128},
      {8, 51, 32, 0.2f},    {16, 8192, 32, 0.25f}, {32, -0.5f, 8, 0},  {32, 1.5f, 16, 32768},
      {32, 0.5f, 16, 16384}, {32, 2.0f, 32, 2.0f},  // floats stay as they are at their own depth
  };
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(valueOf(convertDepth(single(c.from, c.value), c.to)), c.expected)
        << c.from << " bits " << c.value << " to " << c.to;
}
