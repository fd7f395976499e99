// A GIMP layer's pixels as the host image the module is offered, and the module's result
// back as the layer's pixels. GIMP's precisions map to the three depths of the interface:
// 8-bit stays 8-bit, 16-bit integers go to the host's 0..32768 scale, and every other
// precision (32-bit integers, half, float, double) travels as 32-bit float.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <libgimp/gimp.h>

#include "app/host/host.h"

struct LayerShape {
  int32_t depth = 8;  // 8, 16 or 32 (float)
  bool grey = false;
  bool alpha = false;
  bool linear = false;  // the samples are stored with a linear light curve
};

LayerShape layerShape(GimpPrecision precision, bool grey, bool alpha);

// The babl name of the format the layer's samples are exchanged in: the layer's own light
// curve and channels at the shape's depth ("R'G'B'A u8", "Y float", ...).
std::string exchangeFormatName(const LayerShape& shape);

// Samples read in the exchange format (width × height pixels) as the host image.
HostImage hostImageFromLayer(const std::vector<uint8_t>& layer, int32_t width, int32_t height,
                             const LayerShape& shape);

// The module's result back in the exchange format. A 16-bit sample the module left as it
// was offered keeps the layer's own value, so that the host's coarser scale never changes a
// pixel the filter did not touch.
std::vector<uint8_t> layerFromHostImage(const HostImage& result, const HostImage& offered,
                                        const std::vector<uint8_t>& layer);
