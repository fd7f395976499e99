#include "render/glue_output.h"

#include "render/depth_conversions.h"

namespace {

int32_t colourPlanes(PixelLayout layout) { return layout.grey ? 1 : 3; }

bool lightSquare(int32_t x, int32_t row) { return ((x ^ row) & 8) == 0; }

enum class RasterDepth { none, eight, sixteen, real };

RasterDepth rasterDepth(const Raster& raster) {
  switch (raster.format) {
    case kFormatGrey8:
    case kFormatRgba8:
      return RasterDepth::eight;
    case kFormatGrey16:
    case kFormatRgba16:
    case kFormatRgb16:
      return RasterDepth::sixteen;
    case kFormatGreyFloat:
    case kFormatRgbaFloat:
      return RasterDepth::real;
    default:
      return RasterDepth::none;
  }
}

}  // namespace

void storeFinal(float* pixel, const FloatPixel& value, PixelLayout layout) {
  const float colour[3] = {value.r, value.g, value.b};
  const int32_t planes = colourPlanes(layout);
  for (int32_t c = 0; c < planes; ++c) pixel[c] = colour[c];
  if (layout.transparency) pixel[planes] = value.a;
}

void storeDialog(uint8_t* pixel, Channels value, int32_t alpha, int32_t mask, int32_t x,
                 int32_t row, PixelLayout layout) {
  // 0..255 becomes 0..256 so that a full mask hides the checkerboard completely.
  int32_t m = mask + (mask > 127 ? 1 : 0);
  const int32_t planes = colourPlanes(layout);
  if (layout.transparency) {
    pixel[planes] = 255;
    m = (m * alpha) >> 8;
  }
  const int32_t checker = lightSquare(x, row) ? 255 : 204;
  for (int32_t c = 0; c < planes; ++c)
    pixel[c] = static_cast<uint8_t>((m * value[c] + (256 - m) * checker) >> 8);
}

void storeDialog(uint16_t* pixel, Channels value, int32_t alpha, int32_t mask, int32_t x,
                 int32_t row, PixelLayout layout) {
  int32_t m = mask;
  const int32_t planes = colourPlanes(layout);
  if (layout.transparency) {
    pixel[planes] = 32768;
    m = (alpha * m) >> 15;
  }
  const int32_t checker = lightSquare(x, row) ? 32640 : 26112;
  for (int32_t c = 0; c < planes; ++c)
    pixel[c] = static_cast<uint16_t>((m * value[c] + (255 - m) * checker) >> 8);
}

void storeDialog(float* pixel, const FloatPixel& value, int32_t mask, int32_t x, int32_t row,
                 PixelLayout layout) {
  float m = static_cast<float>(mask) / 255.0f;
  const int32_t planes = colourPlanes(layout);
  if (layout.transparency) {
    m *= value.a;
    pixel[planes] = m;
  }
  const float checker = lightSquare(x, row) ? 1.0f : 0.8f;
  const float colour[3] = {value.r, value.g, value.b};
  for (int32_t c = 0; c < planes; ++c) pixel[c] = m * colour[c] + (1.0f - m) * checker;
}

Channels loadRaster(const Raster& raster, int32_t x, int32_t y, int32_t depth) {
  const PixelValue p = getPixel(x, y, raster, 0);
  const float values[3] = {p.r, p.g, p.b};
  const RasterDepth from = rasterDepth(raster);
  Channels out{};
  for (int c = 0; c < 3; ++c) {
    const float v = values[c];
    switch (from) {
      case RasterDepth::eight:
        out[c] = depth == 8 ? static_cast<int32_t>(v) : to16From8(static_cast<int32_t>(v));
        break;
      case RasterDepth::sixteen:
        out[c] = depth == 8 ? to8From16(static_cast<int32_t>(v)) : static_cast<int32_t>(v);
        break;
      case RasterDepth::real:
        out[c] = depth == 8 ? to8FromFloat(v) : to16FromFloat(v);
        break;
      case RasterDepth::none:
        break;
    }
  }
  return out;
}

void storeRaster(Raster& raster, int32_t x, int32_t y, int32_t depth, Channels value,
                 int32_t alpha) {
  const int32_t v[4] = {value[0], value[1], value[2], alpha};
  switch (rasterDepth(raster)) {
    case RasterDepth::eight: {
      uint8_t out[4];
      for (int c = 0; c < 4; ++c)
        out[c] = depth == 8 ? static_cast<uint8_t>(v[c]) : to8From16(v[c]);
      setPixel(x, y, raster, 0, out[0], out[1], out[2], out[3]);
      break;
    }
    case RasterDepth::sixteen: {
      uint16_t out[4];
      for (int c = 0; c < 4; ++c)
        out[c] = static_cast<uint16_t>(depth == 8 ? to16From8(v[c]) : v[c]);
      setPixel16(x, y, raster, 0, out[0], out[1], out[2], out[3]);
      break;
    }
    case RasterDepth::real: {
      float out[4];
      for (int c = 0; c < 4; ++c) out[c] = depth == 8 ? floatFrom8(v[c]) : floatFrom16(v[c]);
      setPixelFloat(x, y, raster, 0, out[0], out[1], out[2], out[3]);
      break;
    }
    case RasterDepth::none:
      break;
  }
}

void storeRaster(Raster& raster, int32_t x, int32_t y, const FloatPixel& value) {
  switch (rasterDepth(raster)) {
    case RasterDepth::eight:
      setPixel(x, y, raster, 0, to8FromFloat(value.r), to8FromFloat(value.g), to8FromFloat(value.b),
               to8FromFloat(value.a));
      break;
    case RasterDepth::sixteen:
      setPixel16(x, y, raster, 0, static_cast<uint16_t>(to16FromFloat(value.r)),
                 static_cast<uint16_t>(to16FromFloat(value.g)),
                 static_cast<uint16_t>(to16FromFloat(value.b)),
                 static_cast<uint16_t>(to16FromFloat(value.a)));
      break;
    case RasterDepth::real:
      setPixelFloat(x, y, raster, 0, value.r, value.g, value.b, value.a);
      break;
    case RasterDepth::none:
      break;
  }
}
