#include "gimp/layer_pixels.h"

#include <cstring>

LayerShape layerShape(GimpPrecision precision, bool grey, bool alpha) {
  LayerShape shape;
  shape.grey = grey;
  shape.alpha = alpha;
  switch (precision) {
    case GIMP_PRECISION_U8_LINEAR:
    case GIMP_PRECISION_U8_GAMMA: shape.depth = 8; break;
    case GIMP_PRECISION_U16_LINEAR:
    case GIMP_PRECISION_U16_GAMMA: shape.depth = 16; break;
    default: shape.depth = 32; break;
  }
  shape.linear = precision == GIMP_PRECISION_U8_LINEAR || precision == GIMP_PRECISION_U16_LINEAR ||
                 precision == GIMP_PRECISION_U32_LINEAR || precision == GIMP_PRECISION_HALF_LINEAR ||
                 precision == GIMP_PRECISION_FLOAT_LINEAR || precision == GIMP_PRECISION_DOUBLE_LINEAR;
  return shape;
}

std::string exchangeFormatName(const LayerShape& shape) {
  std::string name = shape.grey ? "Y" : "RGB";
  // babl marks a perceptual curve with an apostrophe after each colour channel.
  if (!shape.linear) name = shape.grey ? "Y'" : "R'G'B'";
  if (shape.alpha) name += "A";
  name += shape.depth == 8 ? " u8" : shape.depth == 16 ? " u16" : " float";
  return name;
}

HostImage hostImageFromLayer(const std::vector<uint8_t>& layer, int32_t width, int32_t height,
                             const LayerShape& shape) {
  HostImage image = makeHostImage(width, height, shape.depth, shape.grey ? 1 : 3, shape.alpha);
  if (layer.size() != image.samples.size()) return {};
  image.samples = layer;
  if (shape.depth == 16) {
    for (size_t i = 0; i < image.samples.size(); i += 2) {
      uint16_t v;
      std::memcpy(&v, &image.samples[i], 2);
      v = hostFrom16(v);
      std::memcpy(&image.samples[i], &v, 2);
    }
  }
  return image;
}

std::vector<uint8_t> layerFromHostImage(const HostImage& result, const HostImage& offered,
                                        const std::vector<uint8_t>& layer) {
  std::vector<uint8_t> out = result.samples;
  if (result.depth != 16) return out;
  for (size_t i = 0; i + 1 < out.size(); i += 2) {
    uint16_t now, before;
    std::memcpy(&now, &out[i], 2);
    std::memcpy(&before, &offered.samples[i], 2);
    if (now == before) {
      std::memcpy(&out[i], &layer[i], 2);
      continue;
    }
    now = fileFrom16(now);
    std::memcpy(&out[i], &now, 2);
  }
  return out;
}
