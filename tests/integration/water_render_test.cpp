// Final renders through the module as a host loads it, at every depth, grey and RGB: the
// water appears below the water line and mirrors what is above it.
#include <cmath>
#include <cstring>

#include "module_fixture.h"

namespace {

constexpr uint32_t k(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 |
         uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3]);
}

// Smooth ramps, so that a re-sampled pixel stays close to the one it came from.
HostImage rampImage(int32_t width, int32_t height, int32_t depth, int32_t colourPlanes,
                    bool transparency) {
  HostImage image = makeHostImage(width, height, depth, colourPlanes, transparency);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t p = 0; p < image.planes(); ++p) {
        const float v = p == colourPlanes ? 1.0f : (2.0f * x + 3.0f * y + 20.0f * p) / 400.0f;
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = uint8_t(v * 255);
        if (depth == 16) *reinterpret_cast<uint16_t*>(s) = uint16_t(v * 32768);
        if (depth == 32) *reinterpret_cast<float*>(s) = v;
      }
  return image;
}

float sample(HostImage& image, int32_t x, int32_t y, int32_t plane) {
  const uint8_t* s = image.at(x, y, plane);
  if (image.depth == 8) return *s;
  if (image.depth == 16) return *reinterpret_cast<const uint16_t*>(s);
  float v;
  std::memcpy(&v, s, sizeof v);
  return v;
}

struct Kind {
  int32_t depth, colourPlanes;
  bool transparency;
};
const Kind kKinds[] = {{8, 3, false}, {8, 1, false},  {16, 3, false}, {16, 1, false},
                       {32, 3, false}, {32, 1, false}, {8, 3, true},   {32, 3, true}};

struct WaterRender : testing::Test {
  ShownDialogs shown;
  Host host;
  void TearDown() override { hostClose(host); }
  // A run played without its dialog: defaults changed by `values`.
  void render(HostImage image, Descriptor values) {
    hostOpen(host, moduleEntry(), std::move(image));
    host.actions.play = std::move(values);
    host.actions.playInfo = plugInDialogDontDisplay;
    ASSERT_EQ(hostRunFilter(host, false), 0);
  }
};

// Still water at brilliance 0 shows nothing but the water colour below the water line
// (horizon 50: 0.495 of the height), and the image itself above it.
TEST_F(WaterRender, WaterColourBelowTheLineImageAbove) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(testing::Message() << kind.depth << " bits, " << kind.colourPlanes
                                    << " planes, transparency " << kind.transparency);
    render(rampImage(64, 48, kind.depth, kind.colourPlanes, kind.transparency),
           {integerValue(k("0001"), 40), integerValue(k("0002"), 120),
            integerValue(k("0003"), 200), integerValue(k("0004"), 0),
            integerValue(k("0005"), 50), integerValue(k("0008"), 0),
            integerValue(k("0009"), 0), integerValue(k("0010"), 0),
            integerValue(k("0015"), 0)});
    // The water colour on the pixel scale: 8 bits as given, 16 bits (v << 8) >> 1, floats
    // (v << 8) / 65535. Grey images take red for all three, which the glue turns into grey
    // by its luma weights (they total 255).
    float water[3];
    const int32_t given[3] = {40, 120, 200};
    for (int c = 0; c < 3; ++c)
      water[c] = kind.depth == 8 ? given[c] : kind.depth == 16 ? float((given[c] << 8) >> 1)
                                                                : (given[c] << 8) / 65535.0f;
    if (kind.colourPlanes == 1)
      water[0] = kind.depth == 32 ? 255.0f * water[0] / 255.0f : float((255 * int(water[0])) >> 8);
    const float full = kind.depth == 8 ? 255.0f : kind.depth == 16 ? 32768.0f : 1.0f;
    HostImage& out = host.destination;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x)
        for (int32_t p = 0; p < kind.colourPlanes; ++p) {
          const float got = sample(out, x, y, p);
          if (y >= 24) {
            ASSERT_FLOAT_EQ(got, water[p]) << x << " " << y;
          } else if (x > 2 && x < 61 && y > 2) {
            // A re-sampled smooth ramp: within a few steps of the image.
            ASSERT_NEAR(got, sample(host.source, x, y, p), 0.02f * full) << x << " " << y;
          }
        }
    if (kind.transparency) {
      for (int32_t y = 0; y < 48; y += 7)
        EXPECT_EQ(sample(out, 10, y, kind.colourPlanes), full) << y;
    }
    hostClose(host);
  }
}

// Still water with the water line half-way down and brilliance 100 is a mirror: row 63 - y
// shows row y, to the last bit. (A size of 64 keeps positions and their steps exact in
// floating point, so both rows are sampled at the same place and the same level.)
TEST_F(WaterRender, StillWaterIsAMirror) {
  for (const Kind& kind : kKinds) {
    SCOPED_TRACE(testing::Message() << kind.depth << " bits, " << kind.colourPlanes
                                    << " planes, transparency " << kind.transparency);
    render(patternImage(64, 64, kind.depth, kind.colourPlanes, kind.transparency),
           {integerValue(k("0004"), 0), integerValue(k("0005"), 0),
            integerValue(k("0008"), 0), integerValue(k("0009"), 50),
            integerValue(k("0010"), 0), integerValue(k("0011"), 0),
            integerValue(k("0015"), 100)});
    HostImage& out = host.destination;
    for (int32_t y = 0; y < 32; ++y)
      ASSERT_EQ(std::memcmp(out.at(0, y, 0), out.at(0, 63 - y, 0), out.rowBytes()), 0) << y;
    hostClose(host);
  }
}

// At the default settings the water is disturbed: below the water line the rows are no
// longer mirrored copies of the rows above, and two runs agree to the last bit.
TEST_F(WaterRender, DefaultWaterIsRippledAndRepeatable) {
  for (const Kind& kind : {kKinds[0], kKinds[3], kKinds[4]}) {
    SCOPED_TRACE(testing::Message() << kind.depth << " bits, " << kind.colourPlanes << " planes");
    render(patternImage(80, 60, kind.depth, kind.colourPlanes, false), {});
    const std::vector<uint8_t> first = host.destination.samples;
    hostClose(host);
    render(patternImage(80, 60, kind.depth, kind.colourPlanes, false), {});
    EXPECT_EQ(host.destination.samples, first);
    // Horizon 60, offset 0: the water starts at row 36.
    HostImage& out = host.destination;
    int32_t changed = 0;
    for (int32_t y = 36; y < 60; ++y)
      changed += std::memcmp(out.at(0, y, 0), host.source.at(0, y, 0), out.rowBytes()) != 0;
    EXPECT_EQ(changed, 24);
    hostClose(host);
  }
}

// A 32-bit layer at half opacity keeps its own colours and carries its alpha through; only
// a sample with alpha 0 would take the colour of its left neighbour.
TEST_F(WaterRender, HalfTransparentFloatLayerKeepsItsColours) {
  HostImage image = rampImage(64, 48, 32, 3, true);
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const float half = 0.5f;
      std::memcpy(image.at(x, y, 3), &half, sizeof half);
    }
  render(std::move(image), {integerValue(k("0009"), 100)});  // no water: the image itself
  for (int32_t y = 3; y < 45; y += 5)
    for (int32_t x = 3; x < 61; x += 5) {
      EXPECT_NEAR(sample(host.destination, x, y, 3), 0.5f * 1.007f, 1e-5f) << x << " " << y;
      for (int32_t p = 0; p < 3; ++p)
        EXPECT_NEAR(sample(host.destination, x, y, p), sample(host.source, x, y, p), 0.02f);
    }
}

}  // namespace
