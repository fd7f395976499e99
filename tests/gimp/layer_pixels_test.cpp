#include "gimp/layer_pixels.h"

#include <babl/babl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<uint8_t> words(std::initializer_list<uint16_t> values) {
  std::vector<uint8_t> bytes(values.size() * 2);
  std::memcpy(bytes.data(), std::data(values), bytes.size());
  return bytes;
}

uint16_t wordAt(const std::vector<uint8_t>& bytes, size_t i) {
  uint16_t v;
  std::memcpy(&v, &bytes[i * 2], 2);
  return v;
}

}  // namespace

// The exchange format and the host image must agree byte for byte: a format of another
// size would have GEGL write past the host's buffer or leave part of it unread.
TEST(LayerPixels, EveryPrecisionAndLayerKindHasAFormatTheHostImageMatches) {
  babl_init();
  const GimpPrecision precisions[] = {
      GIMP_PRECISION_U8_LINEAR,   GIMP_PRECISION_U8_GAMMA,    GIMP_PRECISION_U16_LINEAR,   GIMP_PRECISION_U16_GAMMA,
      GIMP_PRECISION_U32_LINEAR,  GIMP_PRECISION_U32_GAMMA,   GIMP_PRECISION_HALF_LINEAR,  GIMP_PRECISION_HALF_GAMMA,
      GIMP_PRECISION_FLOAT_LINEAR, GIMP_PRECISION_FLOAT_GAMMA, GIMP_PRECISION_DOUBLE_LINEAR, GIMP_PRECISION_DOUBLE_GAMMA};
  for (GimpPrecision precision : precisions)
    for (bool grey : {false, true})
      for (bool alpha : {false, true}) {
        const LayerShape shape = layerShape(precision, grey, alpha);
        const std::string name = exchangeFormatName(shape);
        ASSERT_TRUE(babl_format_exists(name.c_str())) << name;
        const Babl* format = babl_format(name.c_str());
        const HostImage image = makeHostImage(1, 1, shape.depth, grey ? 1 : 3, alpha);
        EXPECT_EQ(babl_format_get_bytes_per_pixel(format), image.rowBytes()) << name;
        EXPECT_EQ(babl_format_has_alpha(format), alpha) << name;
        // The samples reach the module on the layer's own light curve, never converted.
        EXPECT_EQ(name.find('\'') == std::string::npos, shape.linear) << name;
      }
  EXPECT_EQ(layerShape(GIMP_PRECISION_U16_GAMMA, false, false).depth, 16);
  EXPECT_EQ(layerShape(GIMP_PRECISION_HALF_GAMMA, false, false).depth, 32);
  EXPECT_EQ(layerShape(GIMP_PRECISION_U8_LINEAR, false, false).depth, 8);
  babl_exit();
}

TEST(LayerPixels, SixteenBitLayersMeetTheHostScaleAndKeepWhatTheFilterLeftAlone) {
  LayerShape shape;
  shape.depth = 16;
  shape.grey = true;
  // Levels the host's 0..32768 scale has and levels it lacks (odd values of 0..65535).
  const std::vector<uint8_t> layer = words({0, 1, 32767, 40001, 65535});
  const HostImage offered = hostImageFromLayer(layer, 5, 1, shape);
  ASSERT_EQ(offered.samples.size(), layer.size());
  EXPECT_EQ(wordAt(offered.samples, 0), 0);
  EXPECT_EQ(wordAt(offered.samples, 1), 1);  // round(1 × 32768 / 65535)
  EXPECT_EQ(wordAt(offered.samples, 2), 16384);
  EXPECT_EQ(wordAt(offered.samples, 3), 20001);  // round(40001 × 32768 / 65535) = 20001.0...
  EXPECT_EQ(wordAt(offered.samples, 4), 32768);

  // The filter changes the second and fourth samples; the others come back as they were.
  HostImage result = offered;
  const uint16_t changed[2] = {32768, 100};
  std::memcpy(&result.samples[2], &changed[0], 2);
  std::memcpy(&result.samples[6], &changed[1], 2);
  const std::vector<uint8_t> back = layerFromHostImage(result, offered, layer);
  EXPECT_EQ(wordAt(back, 0), 0);
  EXPECT_EQ(wordAt(back, 1), 65535);
  EXPECT_EQ(wordAt(back, 2), 32767);  // the layer's own level, not 32767.5's neighbour 32768
  EXPECT_EQ(wordAt(back, 3), 200);    // round(100 × 65535 / 32768)
  EXPECT_EQ(wordAt(back, 4), 65535);
}

TEST(LayerPixels, EightBitAndFloatSamplesPassUnchangedAndAShortLayerIsRefused) {
  LayerShape shape;
  shape.depth = 32;
  shape.alpha = true;
  std::vector<uint8_t> layer(16);
  const float rgba[4] = {0.25f, 1.5f, -0.125f, 0.75f};  // float layers may leave 0..1
  std::memcpy(layer.data(), rgba, sizeof rgba);
  const HostImage offered = hostImageFromLayer(layer, 1, 1, shape);
  EXPECT_EQ(offered.samples, layer);
  EXPECT_EQ(offered.planes(), 4);
  HostImage result = offered;
  result.samples[0] ^= 1;
  EXPECT_EQ(layerFromHostImage(result, offered, layer), result.samples);

  shape.depth = 8;
  EXPECT_TRUE(hostImageFromLayer(std::vector<uint8_t>(3), 1, 1, shape).samples.empty());
}
