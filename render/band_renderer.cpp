#include "render/band_renderer.h"

#include "render/glue.h"

#include <emmintrin.h>

#include <cmath>
#include <cstring>

namespace {

// Row numbers of the guide marks, from positions that unclamped settings may push anywhere;
// out of range they simply mark no row.
int32_t markRow(float position) {
  if (!(position > -2147483648.0f)) return INT32_MIN;
  if (position >= 2147483648.0f) return INT32_MAX;
  return static_cast<int32_t>(position);
}

// The normalised horizontal position of column x in the image being rendered.
inline float pixelU(const RenderFrame& frame, int32_t x) {
  return (static_cast<float>(x * frame.previewScale + frame.previewOriginX) + 0.5f) * frame.invW0;
}

inline float clampUnit(float value) {
  return !(value > 0.0f) ? 0.0f : (value > 1.0f ? 1.0f : value);
}

// The dots of a guide line, with a wedge of three rows at each end pointing inwards.
bool onGuide(int32_t x, int32_t row, int32_t width, int32_t lineRow, int32_t dotPhase) {
  const int64_t distance = int64_t(row) - lineRow;
  if (distance == 0) return (x - dotPhase) % 8 == 0 || x < 3 || x >= width - 3;
  if (distance == 1 || distance == -1) return x < 2 || x >= width - 2;
  if (distance == 2 || distance == -2) return x < 1 || x >= width - 1;
  return false;
}

}  // namespace

RowConstants computeRowConstants(const Settings& s, const RenderFrame& frame,
                                 const NoiseTables& noise) {
  RowConstants k;
  k.D = static_cast<float>(s.horizon) * 0.99f * 0.01f;
  k.R = static_cast<float>(s.offset) * 0.01f * (1.0f - k.D) + k.D;
  // The lines lie at fractions of the whole image; a reduced view shows every
  // previewScale-th row of it from previewOriginY on, so the marks go on the visible rows
  // that hold those image rows (lines above the view fall on negative rows and mark none).
  const float fullHeight = static_cast<float>(frame.fullHeight);
  const float originY = static_cast<float>(frame.previewOriginY);
  const float scale = static_cast<float>(frame.previewScale);
  k.horizonRow = markRow(std::floor((fullHeight * k.D - originY) / scale));
  k.waterRow = markRow(std::floor((fullHeight * k.R - originY) / scale));

  k.P = static_cast<float>(int64_t(s.perspective) + 1) * 0.01f * 0.125f * 1.5f;
  k.A = static_cast<float>(s.altitude) * 0.01f * 5.0f;
  k.F = static_cast<float>(s.rippleSize) * 0.01f * 6.0f * k.A;
  k.invF = k.F > 0.0f ? 1.0f / k.F : 0.0f;
  k.Hr = static_cast<float>(s.rippleHeight) * 0.01f * 0.2f;
  k.U = static_cast<float>(s.undulation) * 0.01f * 40.0f;
  k.Wv = static_cast<float>(s.waviness) * 0.01f;
  k.Bl = static_cast<float>(s.blur) * 0.01f;
  k.c = static_cast<float>(s.complexity) * 0.06f + 1.01f;
  k.Blo = s.brilliance < 50 ? static_cast<float>(s.brilliance) * 0.02f : 1.0f;
  k.Bhi = s.brilliance > 50 ? 1.0f - static_cast<float>(s.brilliance - 50) * 0.02f : 1.0f;

  const Colour16& w = s.waterColour;
  if (frame.depth == 32) {
    k.waterR = w.red / 65535.0f;
    k.waterG = w.green / 65535.0f;
    k.waterB = w.blue / 65535.0f;
  } else if (frame.depth == 16) {
    k.waterR = static_cast<float>(w.red >> 1);
    k.waterG = static_cast<float>(w.green >> 1);
    k.waterB = static_cast<float>(w.blue >> 1);
  } else {
    k.waterR = static_cast<float>(w.red >> 8);
    k.waterG = static_cast<float>(w.green >> 8);
    k.waterB = static_cast<float>(w.blue >> 8);
  }
  // A preview is a window onto the image itself (a crop of it, reduced), whose positions
  // already map to the image's own; only a render into a raster of other proportions is
  // stretched back to the image's.
  k.aspectFix = frame.dialog ? 1.0f
                             : (static_cast<float>(frame.height) / static_cast<float>(frame.width)) /
                                   (static_cast<float>(frame.fullHeight) / static_cast<float>(frame.fullWidth));
  k.rings = placeRippleRings(noise, s.centreX, s.centreY, k.P, k.A, k.F, k.D);
  return k;
}

GuideMark guideMarkAt(int32_t x, int32_t row, int32_t width, int32_t waterRow,
                      int32_t horizonRow) {
  // The horizon is tested last so that it wins where the two lines meet.
  if (onGuide(x, row, width, horizonRow, 0)) return GuideMark::horizon;
  if (onGuide(x, row, width, waterRow, 4)) return GuideMark::waterLine;
  return GuideMark::none;
}

namespace {

// What every pixel of one row shares.
struct RowGeometry {
  RowConstants k;
  float v;      // the row's normalised height, after aspectFix
  bool water;   // the whole row lies below the water line
  float depth;  // v - D
  float sy, mirrorV, blurWeight, spread;
};

RowGeometry rowGeometry(const Settings& settings, const RenderFrame& frame,
                        const NoiseTables& noise, int32_t row) {
  RowGeometry g;
  g.k = computeRowConstants(settings, frame, noise);
  g.spread = 2.0f * g.k.P * g.k.A;
  g.v = (static_cast<float>(row * frame.previewScale + frame.previewOriginY) + 0.5f) *
        frame.invH0 * g.k.aspectFix;
  g.water = g.v > g.k.R;
  g.depth = g.v - g.k.D;
  g.sy = g.k.A / g.depth;
  g.mirrorV = 2.0f * g.k.R - g.v;
  g.blurWeight = (g.v - g.k.R) * g.k.Bl / (1.0f - g.k.D);
  return g;
}

// Water rows take their noise for a run of pixels at a time, which lets it go four points
// abreast; every other step is per pixel.
constexpr int32_t kRun = 64;

// The reflected positions (u', v') and reflection weights of pixels first..first+count-1 of
// a water row, before the fold into the picture.
void reflectRun(const RowGeometry& g, const RenderFrame& frame, const NoiseTables& noise,
                int32_t first, int32_t count, float* u, float* v, float* d) {
  const RowConstants& k = g.k;
  float sx[kRun];
  NoisePair waves[kRun];
  for (int32_t i = 0; i < count; ++i)
    sx[i] = (pixelU(frame, first + i) - 0.5f) * 2.0f * g.spread / g.depth;
  rippleNoiseRow(noise, sx, g.sy, k.c, count, waves);
  for (int32_t i = 0; i < count; ++i) {
    RingSums ring = {0.0f, 0.0f};
    if (k.F > 0.0f) ring = sumRipples(k.rings, sx[i], g.sy, k.invF, k.Hr, k.U);
    const float du = (ring.ringSin + waves[i].nu * k.Wv) * g.depth;
    const float dv = (ring.ringCos + waves[i].nv * k.Wv) * g.depth;
    u[i] = pixelU(frame, first + i) + du;
    float reflectedV = g.mirrorV + dv;
    if (reflectedV > k.R) reflectedV = k.R - (reflectedV - k.R);
    v[i] = reflectedV;
    d[i] = clampUnit((dv * 5.0f - g.depth * 2.0f * k.P) * k.Bhi + k.Blo);
  }
}

}  // namespace

namespace {

// The row's pixels, each handed to `put(x, pixel)` as soon as it is made.
template <class Put>
void renderEach(const Settings& settings, const RenderFrame& frame, const Raster& source,
                const NoiseTables& noise, int32_t row, RowScratch* scratch, Put put) {
  const RowGeometry g = rowGeometry(settings, frame, noise, row);
  const RowConstants& k = g.k;
  const float scale = frame.depth == 32 ? 1.0f : (frame.depth == 16 ? 32768.0f : 255.0f);
  const float invScale = 1.0f / scale;

  ReflectionRow reflection;
  reflection.source = &source;
  reflection.footprintU = static_cast<float>(frame.fullWidth) / static_cast<float>(frame.width) *
                          static_cast<float>(frame.width);
  reflection.footprintV = static_cast<float>(frame.fullHeight) /
                          static_cast<float>(frame.height) * static_cast<float>(frame.height);
  reflection.firstRow = row == 0;
  reflection.lastColumn = frame.width - 1;
  reflection.waterR = k.waterR;
  reflection.waterG = k.waterG;
  reflection.waterB = k.waterB;
  reflection.scale = scale;
  reflection.floatDepth = frame.depth == 32;
  reflection.transparency = frame.transparency;
  reflection.grey = frame.grey;
  ReflectionCarry carry = startOfRow();

  float reflectedU[kRun], reflectedV[kRun], weight[kRun];
  ShadedPixel shadedRun[kRun];
  for (int32_t first = 0; first < frame.width; first += kRun) {
    const int32_t count = frame.width - first < kRun ? frame.width - first : kRun;
    if (g.water) {
      reflectRun(g, frame, noise, first, count, reflectedU, reflectedV, weight);
    } else {
      // Above the water line a pixel shows itself, at full weight and without blur.
      for (int32_t i = 0; i < count; ++i) {
        reflectedU[i] = pixelU(frame, first + i);
        reflectedV[i] = g.v;
        weight[i] = 1.0f;
      }
    }
    shadeRun(reflection, scratch, first, count, carry, reflectedU, reflectedV, g.water, weight,
             g.water ? g.blurWeight : 0.0f, shadedRun);
    for (int32_t i = 0; i < count; ++i) {
      const int32_t x = first + i;
      const ShadedPixel& shaded = shadedRun[i];
      WaterPixel pixel;
      if (frame.depth == 32) {
        pixel = {shaded.r, shaded.g, shaded.b, shaded.alpha};
      } else {
        // Whole numbers over M. Every value lies in 0..65535 here, where converting to an
        // integer and back is truncation; four at once.
        const __m128 values = _mm_setr_ps(shaded.r, shaded.g, shaded.b, shaded.alpha);
        const __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(values));
        const __m128 normalised = _mm_mul_ps(whole, _mm_set1_ps(invScale));
        static_assert(sizeof(WaterPixel) == sizeof(__m128));
        std::memcpy(&pixel, &normalised, sizeof pixel);
      }
      if (frame.dialog) {
        const GuideMark mark = guideMarkAt(x, row, frame.width, k.waterRow, k.horizonRow);
        if (mark == GuideMark::horizon) pixel = {0.0f, 1.0f, 0.0f, 1.0f};
        if (mark == GuideMark::waterLine) pixel = {1.0f, 0.0f, 1.0f, 1.0f};
      }
      put(x, pixel);
    }
  }
}

}  // namespace

void renderPixels(const Settings& settings, const RenderFrame& frame, const Raster& source,
                  const NoiseTables& noise, int32_t row, RowScratch* scratch, WaterPixel* out) {
  renderEach(settings, frame, source, noise, row, scratch,
             [out](int32_t x, const WaterPixel& pixel) { out[x] = pixel; });
}

void renderGluedPixels(const Settings& settings, const RenderFrame& frame, const Raster& source,
                       const NoiseTables& noise, int32_t row, RowScratch* scratch,
                       const GlueRow& glue) {
  renderEach(settings, frame, source, noise, row, scratch,
             [&glue](int32_t x, const WaterPixel& pixel) { gluePixel(x, pixel, glue); });
}

void seedScratch(const Settings& settings, const RenderFrame& frame, const NoiseTables& noise,
                 int32_t row, RowScratch* scratch) {
  const RowGeometry g = rowGeometry(settings, frame, noise, row);
  // Where the row's own render leaves them: pixel x of this row at record x + 1.
  float reflectedU[kRun], reflectedV[kRun], weight[kRun];
  for (int32_t first = 0; first < frame.width; first += kRun) {
    const int32_t count = frame.width - first < kRun ? frame.width - first : kRun;
    if (g.water) reflectRun(g, frame, noise, first, count, reflectedU, reflectedV, weight);
    for (int32_t i = 0; i < count; ++i)
      scratch[first + i + 1] = g.water ? RowScratch{reflectedU[i], reflectedV[i]}
                                       : RowScratch{pixelU(frame, first + i), g.v};
  }
}
