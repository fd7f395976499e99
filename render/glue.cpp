#include "render/glue.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

// Values of GlueFrame::renderMode.
enum : int32_t { kModeFinal = 0, kModeDialog = 1, kModeRaster = 2 };

// Far above anything sampling can overshoot to, and low enough that the spill arithmetic
// below stays in 32 bits whatever the renderer hands over.
constexpr float kWaterCeiling = 1 << 20;

// A little over one, so that an alpha a hair below full still counts as opaque.
constexpr float kOpaqueAlmost = 1.007f;

// Light beyond the top (sampling overshoot on a bright edge) is not simply cut off: a share
// of it spills into the channels that still have room, so an over-bright red turns towards
// white the way an overexposed red does.
void spillLight(Channels& w, int32_t top) {
  int32_t over = 0;
  int32_t overCount = 0;
  int32_t under[3];
  int32_t underCount = 0;
  for (int32_t c = 0; c < 3; ++c) {
    if (w[c] > top) {
      over += w[c] - top;
      ++overCount;
    } else {
      under[underCount++] = c;
    }
  }
  if (overCount == 1) {
    const int32_t half = (over * 60) >> 9;
    const int32_t low = under[0], high = under[1];
    w[low] += half;
    w[high] += half;
    if (w[low] > top) w[high] += w[low] - top;
    if (w[high] > top) w[low] += w[high] - top;
  } else if (overCount == 2) {
    w[under[0]] += (over * 60) >> 8;
  }
}

// The water channels into `w`, the output alpha returned: filled in place so that the pixel
// never has to travel packed into registers between the steps.
int32_t prepareInto(const WaterPixel& pixel, int32_t top, bool grey, Channels& w) {
  // Whole values of the four lanes at once. Alpha's extra factor comes after the scale (the
  // colours are multiplied by 1, which changes nothing); anything not above 0 becomes 0, NaN
  // included, as MAXPS then answers its second operand; the ceiling caps the rest.
  const __m128 scaled = _mm_mul_ps(
      _mm_mul_ps(_mm_loadu_ps(&pixel.r), _mm_set1_ps(static_cast<float>(top))),
      _mm_setr_ps(1.0f, 1.0f, 1.0f, kOpaqueAlmost));
  const __m128 limited =
      _mm_min_ps(_mm_max_ps(scaled, _mm_setzero_ps()), _mm_set1_ps(kWaterCeiling));
  alignas(16) int32_t whole[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(whole), _mm_cvttps_epi32(limited));
  int32_t r = whole[0], g = whole[1], b = whole[2];
  if (r > top || g > top || b > top) {
    w = {r, g, b};
    spillLight(w, top);
    r = w[0], g = w[1], b = w[2];
  }
  if (grey) r = g = b = (77 * r + 150 * g + 28 * b) >> 8;
  w = {std::min(r, top), std::min(g, top), std::min(b, top)};
  return std::min(whole[3], top);
}

template <class Sample>
Channels loadHost(const uint8_t* row, int32_t x, int32_t step, bool grey, int32_t top) {
  const Sample* p = reinterpret_cast<const Sample*>(row) + x * step;
  if (grey) {
    const int32_t v = std::min<int32_t>(p[0], top);
    return {v, v, v};
  }
  return {std::min<int32_t>(p[0], top), std::min<int32_t>(p[1], top), std::min<int32_t>(p[2], top)};
}

// The host's pixel as the source raster keeps it (format 3 for 8-bit images, 4 for 16-bit),
// limited as loadHost limits it.
Channels loadSource(const Raster& source, int32_t x, int32_t y, int32_t top) {
  const uint8_t* p = pixelAddress(source, 0, x, y);
  if (source.format == kFormatRgba8) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return {int32_t(word >> 24), int32_t(word >> 16 & 0xFF), int32_t(word >> 8 & 0xFF)};
  }
  uint16_t c[3];
  std::memcpy(c, p, sizeof c);
  return {std::min<int32_t>(c[0], top), std::min<int32_t>(c[1], top), std::min<int32_t>(c[2], top)};
}

int32_t maskAt(const GlueRow& row, int32_t x) {
  if (!row.mask) return row.rowMask;
  return x < row.frame.maskWidth ? row.mask[x] : 0;
}

template <class Sample>
void glueInteger(int32_t x, const WaterPixel& pixel, const GlueRow& row) {
  const GlueFrame& f = row.frame;
  const int32_t top = f.depth == 8 ? 255 : 32768;
  Channels water;
  const int32_t alpha = prepareInto(pixel, top, f.layout.grey, water);
  const Channels image = f.renderMode == kModeRaster ? loadRaster(*f.target, x, row.row, f.depth)
                         : f.image ? loadSource(*f.image, x, row.row, top)
                                   : loadHost<Sample>(row.in, x, f.inStep, f.layout.grey, top);
  Channels value;
  row.combine(water, image, f.triangle, value);
  if (f.layout.grey) value = {value[0], value[0], value[0]};

  switch (f.renderMode) {
    case kModeFinal:
      storeFinal(reinterpret_cast<Sample*>(row.out) + x * f.outStep, value, alpha, f.layout);
      break;
    case kModeDialog:
      storeDialog(reinterpret_cast<Sample*>(row.out) + x * f.outStep, value, alpha, maskAt(row, x),
                  x, row.row, f.layout);
      break;
    case kModeRaster:
      storeRaster(*f.target, x, row.row, f.depth, value, alpha);
      break;
  }
}

void glueFloat(int32_t x, const WaterPixel& pixel, const GlueRow& row) {
  const GlueFrame& f = row.frame;
  const FloatPixel value = prepareWaterFloat(pixel, f.layout.grey);
  switch (f.renderMode) {
    case kModeFinal:
      storeFinal(reinterpret_cast<float*>(row.out) + x * f.outStep, value, f.layout);
      break;
    case kModeDialog:
      storeDialog(reinterpret_cast<float*>(row.out) + x * f.outStep, value, maskAt(row, x), x,
                  row.row, f.layout);
      break;
    case kModeRaster:
      storeRaster(*f.target, x, row.row, value);
      break;
  }
}

}  // namespace

WaterChannels prepareWater(const WaterPixel& pixel, int32_t depth, bool grey) {
  WaterChannels water;
  water.alpha = prepareInto(pixel, depth == 8 ? 255 : 32768, grey, water.value);
  return water;
}

FloatPixel prepareWaterFloat(const WaterPixel& pixel, bool grey) {
  constexpr float kTop = 65535.0f;
  FloatPixel w = {pixel.r, pixel.g, pixel.b, std::clamp(pixel.a, 0.0f, 1.0f)};
  if (grey) {
    const float y = (77.0f * w.r + 150.0f * w.g + 28.0f * w.b) / 255.0f;
    w.r = w.g = w.b = y;
  }
  w.r = std::min(w.r, kTop);
  w.g = std::min(w.g, kTop);
  w.b = std::min(w.b, kTop);
  return w;
}

GlueRow startGlueRow(const GlueFrame& frame, int32_t row) {
  GlueRow g{};
  g.frame = frame;
  g.combine = glueCombiner(frame.depth, frame.glue);
  g.row = std::clamp(row, 0, std::max(frame.height - 1, 0));
  const int32_t bufferRow = g.row - frame.firstRow;
  if (frame.inData)
    g.in = static_cast<const uint8_t*>(frame.inData) + ptrdiff_t(bufferRow) * frame.inRowBytes;
  if (frame.outData)
    g.out = static_cast<uint8_t*>(frame.outData) + ptrdiff_t(bufferRow) * frame.outRowBytes;
  g.rowMask = 255;
  if (frame.maskData) {
    if (bufferRow >= 0 && bufferRow < frame.maskHeight)
      g.mask = frame.maskData + ptrdiff_t(bufferRow) * frame.maskRowBytes;
    else
      g.rowMask = 0;
  }
  return g;
}

void gluePixel(int32_t x, const WaterPixel& pixel, const GlueRow& row) {
  x = std::clamp(x, 0, std::max(row.frame.width - 1, 0));
  switch (row.frame.depth) {
    case 8:
      glueInteger<uint8_t>(x, pixel, row);
      break;
    case 16:
      glueInteger<uint16_t>(x, pixel, row);
      break;
    default:
      glueFloat(x, pixel, row);
      break;
  }
}
