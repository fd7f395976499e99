#include "render/surface.h"

#include <cmath>

namespace {

// Past a few dozen octaves the coordinates have grown beyond the float grid, where an octave
// adds nothing (and, much later, only infinities). Stored settings are not clamped, so this
// bound keeps a wild complexity from asking for billions of octaves per pixel; it lies far
// above anything the complexity slider reaches.
constexpr int kMaxFullOctaves = 64;

// floor(x) & 255 without an out-of-range conversion: from 2^31 on every float is a multiple
// of 256, so its cell is 0, and infinities and NaN are sent there too.
inline int32_t latticeCell(float whole) {
  return std::fabs(whole) < 2147483648.0f ? static_cast<int32_t>(whole) & 255 : 0;
}

inline float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

inline float lerp(float t, float p, float q) { return p + t * (q - p); }

// The gradient for hash h: p is px for h < 8, 12 and 13, else py; q is py for h < 4, 12 and
// 13, else 0; the result is +-p +-q by bits 0 and 1. Written as weights of px and py, each
// -1, 0 or 1, so the corner needs no branch; the sum is the same two terms as +-p +-q.
constexpr float kGradientX[16] = {1, -1, 1, -1, 1, -1, 1, -1, 0, 0, 0, 0, 1, -1, 0, 0};
constexpr float kGradientY[16] = {1, 1, -1, -1, 0, 0, 0, 0, 1, -1, 1, -1, 1, 1, 1, -1};

inline float gradient(int32_t h, float px, float py) {
  h &= 15;
  return kGradientX[h] * px + kGradientY[h] * py;
}

inline float noise2(const int32_t* perm, float x, float y) {
  const float floorX = std::floor(x), floorY = std::floor(y);
  const int32_t X = latticeCell(floorX), Y = latticeCell(floorY);
  const float fx = x - floorX, fy = y - floorY;
  const float a = fade(fx), b = fade(fy);
  const int32_t A = perm[X] + Y, B = perm[X + 1] + Y;
  const int32_t hAA = perm[perm[A]], hBA = perm[perm[B]];
  const int32_t hAB = perm[perm[A + 1]], hBB = perm[perm[B + 1]];
  return lerp(b, lerp(a, gradient(hAA, fx, fy), gradient(hBA, fx - 1.0f, fy)),
              lerp(a, gradient(hAB, fx, fy - 1.0f), gradient(hBB, fx - 1.0f, fy - 1.0f)));
}

void buildSeedTable(NoiseTables& tables, int32_t seed) {
  int32_t* table = tables.seedTable;
  for (int k = 0; k < kNoiseBaseSize; ++k) table[k] = kNoiseBaseTable[k] & 255;
  // Each step sends the current entry to a place named by the base table and restores its
  // own slot, so values sent forward travel on when the loop reaches them.
  const uint32_t start = static_cast<uint32_t>(seed);
  for (int k = 0; k < kNoiseBaseSize; ++k) {
    const int32_t j = kNoiseBaseTable[(start + k) & (kNoiseBaseSize - 1)];
    table[j] = table[k];
    table[k] = kNoiseBaseTable[k] & 255;
  }
  for (int k = 0; k < kNoiseBaseSize; ++k)
    tables.scaledSeedTable[k] = static_cast<float>(table[k] / 255.0);
}

void buildPermutation(NoiseTables& tables, int32_t seed) {
  const uint32_t start = static_cast<uint32_t>(seed);
  for (uint32_t i = 0; i < 256; ++i) {
    tables.perm[i] = kReferencePermutation[(i + start) & 255];
    tables.perm[i + 256] = tables.perm[i];
  }
}

}  // namespace

void prepareNoiseTables(NoiseTables& tables, int32_t seed) {
  buildSeedTable(tables, seed);
  buildPermutation(tables, seed);
}

float perlinNoise2(const NoiseTables& tables, float x, float y) {
  return noise2(tables.perm, x, y);
}

NoisePair rippleNoise(const NoiseTables& tables, float x, float y, float c) {
  // A turn of about 39 degrees between octaves hides the lattice's axes.
  constexpr float k1 = 0.7771459f, k2 = 0.6293203f;
  NoisePair n = {0.0f, 0.0f};
  for (int i = 1; i < c && i <= kMaxFullOctaves; ++i) {
    n.nu += noise2(tables.perm, k1 * x - k2 * y, k2 * x + k1 * y);
    x += 25.0764f;
    y += 723.453f;
    n.nv += noise2(tables.perm, k1 * x - k2 * y, k2 * x + k1 * y);
    y += 65.81998f;
    x += 44.8452f;
    x *= 1.7134f;
    y *= 1.7134f;
  }
  const float t = c >= 0.0f ? c - std::trunc(c) : c - std::trunc(c - 1.0f);
  if (t > 0.0f) {
    n.nu += t * noise2(tables.perm, x, y);
    y += 623.453f;
    x += 13.0764f;
    n.nv += t * noise2(tables.perm, x, y);
  }
  return n;
}

RippleRings placeRippleRings(const NoiseTables& tables, float centreX, float centreY, float P,
                             float A, float F, float D) {
  // A centre on the horizon lies infinitely far out: its rings reach no pixel.
  const float cx = (centreX - 0.5f) * 2.0f * (2.0f * P * A) / (centreY - D);
  const float cy = A / (centreY - D);
  const float* scatter = tables.scaledSeedTable + 400;
  RippleRings rings;
  for (int k = 0; k < kRippleRingCount; ++k) {
    rings.x[k] = cx + (scatter[2 * k] - 0.5f) * F * 0.18f;
    rings.y[k] = cy + (scatter[2 * k + 1] - 0.5f) * F * 0.18f;
  }
  return rings;
}

RingSums sumRipples(const RippleRings& rings, float sx, float sy, float invF, float Hr, float U) {
  RingSums sums = {0.0f, 0.0f};
  for (int k = 0; k < kRippleRingCount; ++k) {
    const float dx = (sx - rings.x[k]) * invF;
    const float dy = (sy - rings.y[k]) * invF;
    const float r2 = dx * dx + dy * dy;
    if (!(r2 < 1.0f)) continue;
    const float r = std::sqrt(r2);
    const float fall = (1.0f - r) * 0.7f;
    const float w = fall * fall * 2.0408163f;
    const float phase = r * 3.1415927f * U;
    sums.ringSin += std::sin(phase) * w * Hr;
    sums.ringCos += std::cos(phase) * w * Hr;
  }
  return sums;
}
