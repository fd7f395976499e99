// The water surface: gradient noise for the general waviness and nine ripple rings around
// a centre point. The tables come from the random seed once per render and are read-only
// while rows are rendered.
#pragma once

#include <cstdint>

constexpr int kNoiseBaseSize = 2048;
constexpr int kRippleRingCount = 9;

// A fixed pseudo-random table, values 0..2047. Its low bytes are the seed table's raw
// material and its values the shuffle's targets.
extern const int16_t kNoiseBaseTable[kNoiseBaseSize];

// The 256-entry permutation Ken Perlin published with his improved noise.
extern const uint8_t kReferencePermutation[256];

struct NoiseTables {
  int32_t seedTable[kNoiseBaseSize];  // 0..255
  float scaledSeedTable[kNoiseBaseSize];
  int32_t perm[512];  // doubled so that no index wraps inside one evaluation
  // What the permutation gives the four corners of lattice cell (X, Y), at X * 256 + Y: the
  // gradients chosen by the low four bits of hAA, hBA, hAB and hBB, four bits each from the
  // lowest, coded as the noise reads them (surface.cpp). One lookup then replaces three
  // dependent ones per corner.
  uint16_t cornerHashes[256 * 256];
};

// The seed table first, then the permutation; negative seeds are as good as any.
void prepareNoiseTables(NoiseTables& tables, int32_t seed);

// The z = 0 slice of improved noise, with its own choice of gradients.
float perlinNoise2(const NoiseTables& tables, float x, float y);

struct NoisePair {
  float nu, nv;
};

// Full octaves while the counter stays below c, then one octave weighted by c's fraction.
NoisePair rippleNoise(const NoiseTables& tables, float x, float y, float c);
// Rows go eight points abreast while this is set (from the start, where the processor has
// AVX2), four abreast otherwise; the values are the same either way.
extern bool gWideNoise;

// The same for `count` points that share their y, as along a row of water: each point comes
// out exactly as it would alone.
void rippleNoiseRow(const NoiseTables& tables, const float* x, float y, float c, int32_t count,
                    NoisePair* out);

// Centres of the rings on the water plane, recomputed for every row.
struct RippleRings {
  float x[kRippleRingCount];
  float y[kRippleRingCount];
};

// (centreX, centreY) is the picked centre as fractions of the image; P, A, F and D are the
// row's spread, altitude, ring radius and horizon.
RippleRings placeRippleRings(const NoiseTables& tables, float centreX, float centreY, float P,
                             float A, float F, float D);

struct RingSums {
  float ringSin, ringCos;
};

// Only for F > 0: invF is 1/F, Hr the ripple height and U the undulation.
RingSums sumRipples(const RippleRings& rings, float sx, float sy, float invF, float Hr, float U);
