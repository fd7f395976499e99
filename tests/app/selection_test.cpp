#include "app/selection.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(Selection, AGreyImageBecomesOneValuePerPixel) {
  HostImage grey = makeHostImage(3, 1, 16, 1, false);
  const uint16_t levels[3] = {0, 16384, 32768};
  std::memcpy(grey.samples.data(), levels, sizeof levels);
  EXPECT_EQ(greyAsSelection(grey), (std::vector<uint8_t>{0, 128, 255}));
}

TEST(Selection, TheResultIsKeptWhereSelectedAndBlendedOnSoftEdges) {
  struct Case {
    int32_t depth;
    float original, result;
    uint8_t selection;
    float expected;
  };
  const Case cases[] = {
      {8, 10, 200, 255, 200},      {8, 10, 200, 0, 10},        {8, 10, 200, 128, 105},  // 10 + 190 x 128 / 255
      {8, 200, 10, 51, 162},       {16, 0, 32768, 64, 8224},   {16, 32768, 0, 255, 0},
      {32, 0.25f, 1.25f, 51, 0.45f}, {32, 0.25f, 1.25f, 0, 0.25f},
  };
  for (const Case& c : cases) {
    HostImage original = makeHostImage(1, 1, c.depth, 1, true), result = original;
    auto put = [&](HostImage& image, float v) {
      for (int p = 0; p < 2; ++p) {
        uint8_t* s = image.at(0, 0, p);
        if (c.depth == 8) *s = uint8_t(v);
        if (c.depth == 16) {
          const uint16_t w = uint16_t(v);
          std::memcpy(s, &w, 2);
        }
        if (c.depth == 32) std::memcpy(s, &v, 4);
      }
    };
    put(original, c.original);
    put(result, c.result);
    applySelection(original, {c.selection}, result);
    for (int p = 0; p < 2; ++p) {  // the transparency plane is blended like the colour
      float got = 0;
      if (c.depth == 8) got = *result.at(0, 0, p);
      if (c.depth == 16) {
        uint16_t w;
        std::memcpy(&w, result.at(0, 0, p), 2);
        got = w;
      }
      if (c.depth == 32) std::memcpy(&got, result.at(0, 0, p), 4);
      EXPECT_FLOAT_EQ(got, c.expected) << c.depth << " bits, selection " << int(c.selection) << ", plane " << p;
    }
  }
}
