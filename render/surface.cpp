#include "render/surface.h"

#include <immintrin.h>

#include <cmath>

namespace {

// Past a few dozen octaves the coordinates have grown beyond the float grid, where an octave
// adds nothing (and, much later, only infinities). Stored settings are not clamped, so this
// bound keeps a wild complexity from asking for billions of octaves per pixel; it lies far
// above anything the complexity slider reaches.
constexpr int kMaxFullOctaves = 64;

// Four points go through the noise side by side. Every lane performs exactly the operations
// of one point on its own, in the same order, so a point's value does not depend on its
// neighbours or on how the row is cut into fours.
inline __m128 fade(__m128 t) {
  const __m128 inner = _mm_add_ps(
      _mm_mul_ps(t, _mm_sub_ps(_mm_mul_ps(t, _mm_set1_ps(6.0f)), _mm_set1_ps(15.0f))),
      _mm_set1_ps(10.0f));
  return _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(t, t), t), inner);
}

inline __m128 lerp(__m128 t, __m128 p, __m128 q) {
  return _mm_add_ps(p, _mm_mul_ps(t, _mm_sub_ps(q, p)));
}

// floor, lane by lane. From 2^23 on every float is whole, and infinities and NaN are left as
// they are.
inline __m128 floorOf(__m128 v) {
  const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), v);
  const __m128 small = _mm_cmplt_ps(magnitude, _mm_set1_ps(8388608.0f));
  const __m128 whole = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
  const __m128 below = _mm_sub_ps(whole, _mm_and_ps(_mm_cmpgt_ps(whole, v), _mm_set1_ps(1.0f)));
  return _mm_or_ps(_mm_and_ps(small, below), _mm_andnot_ps(small, v));
}

// floor(x) & 255. A float of 2^31 or more is a multiple of 256, whose cell is 0; the
// conversion gives 0x80000000 for it (and for infinities and NaN), which lands there too.
inline __m128i latticeCell(__m128 whole) {
  return _mm_and_si128(_mm_cvttps_epi32(whole), _mm_set1_epi32(255));
}

// The gradient for hash h: p is px for h < 8, 12 and 13, else py; q is py for h < 4, 12 and
// 13, else 0; the result is (h & 1 ? -p : p) + (h & 2 ? -q : q). The corner tables hold the
// choices as four bits, so that the noise reads each with a shift or two: bit 0 negates p,
// bit 1 negates q, bit 2 takes px for p, bit 3 takes py for q.
constexpr uint16_t gradientCode(int32_t hash) {
  const int32_t h = hash & 15;
  const bool twelveOrThirteen = h == 12 || h == 13;
  return static_cast<uint16_t>((h & 3) | (h < 8 || twelveOrThirteen) << 2 |
                               (h < 4 || twelveOrThirteen) << 3);
}

// The gradient coded in the low four bits of `code`; higher bits are ignored.
inline __m128 gradient(__m128i code, __m128 px, __m128 py) {
  const __m128 useX = _mm_castsi128_ps(_mm_srai_epi32(_mm_slli_epi32(code, 29), 31));
  const __m128 useQ = _mm_castsi128_ps(_mm_srai_epi32(_mm_slli_epi32(code, 28), 31));
  const __m128 p = _mm_or_ps(_mm_and_ps(useX, px), _mm_andnot_ps(useX, py));
  const __m128 q = _mm_and_ps(useQ, py);
  const __m128 signP = _mm_castsi128_ps(_mm_slli_epi32(code, 31));
  const __m128 signQ = _mm_castsi128_ps(_mm_slli_epi32(_mm_srli_epi32(code, 1), 31));
  return _mm_add_ps(_mm_xor_ps(p, signP), _mm_xor_ps(q, signQ));
}

inline __m128 noise4(const uint16_t* cornerHashes, __m128 x, __m128 y) {
  const __m128 floorX = floorOf(x), floorY = floorOf(y);
  const __m128i cell = _mm_or_si128(_mm_slli_epi32(latticeCell(floorX), 8), latticeCell(floorY));
  alignas(16) int32_t index[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(index), cell);
  const __m128i h = _mm_setr_epi32(cornerHashes[index[0]], cornerHashes[index[1]],
                                   cornerHashes[index[2]], cornerHashes[index[3]]);
  const __m128 fx = _mm_sub_ps(x, floorX), fy = _mm_sub_ps(y, floorY);
  const __m128 fx1 = _mm_sub_ps(fx, _mm_set1_ps(1.0f)), fy1 = _mm_sub_ps(fy, _mm_set1_ps(1.0f));
  const __m128 a = fade(fx), b = fade(fy);
  return lerp(b, lerp(a, gradient(h, fx, fy), gradient(_mm_srli_epi32(h, 4), fx1, fy)),
              lerp(a, gradient(_mm_srli_epi32(h, 8), fx, fy1),
                   gradient(_mm_srli_epi32(h, 12), fx1, fy1)));
}

// rippleNoise for four points that share their y.
inline void rippleNoise4(const uint16_t* hashes, __m128 x, float y0, float c, __m128& nu, __m128& nv) {
  // A turn of about 39 degrees between octaves hides the lattice's axes.
  const __m128 k1 = _mm_set1_ps(0.7771459f), k2 = _mm_set1_ps(0.6293203f);
  __m128 y = _mm_set1_ps(y0);
  nu = nv = _mm_setzero_ps();
  auto turnX = [&] { return _mm_sub_ps(_mm_mul_ps(k1, x), _mm_mul_ps(k2, y)); };
  auto turnY = [&] { return _mm_add_ps(_mm_mul_ps(k2, x), _mm_mul_ps(k1, y)); };
  for (int i = 1; i < c && i <= kMaxFullOctaves; ++i) {
    nu = _mm_add_ps(nu, noise4(hashes, turnX(), turnY()));
    x = _mm_add_ps(x, _mm_set1_ps(25.0764f));
    y = _mm_add_ps(y, _mm_set1_ps(723.453f));
    nv = _mm_add_ps(nv, noise4(hashes, turnX(), turnY()));
    y = _mm_add_ps(y, _mm_set1_ps(65.81998f));
    x = _mm_add_ps(x, _mm_set1_ps(44.8452f));
    x = _mm_mul_ps(x, _mm_set1_ps(1.7134f));
    y = _mm_mul_ps(y, _mm_set1_ps(1.7134f));
  }
  const float t = c >= 0.0f ? c - std::trunc(c) : c - std::trunc(c - 1.0f);
  if (t > 0.0f) {
    const __m128 weight = _mm_set1_ps(t);
    nu = _mm_add_ps(nu, _mm_mul_ps(weight, noise4(hashes, x, y)));
    y = _mm_add_ps(y, _mm_set1_ps(623.453f));
    x = _mm_add_ps(x, _mm_set1_ps(13.0764f));
    nv = _mm_add_ps(nv, _mm_mul_ps(weight, noise4(hashes, x, y)));
  }
}


// The same eight points abreast where the processor has AVX2: every lane still performs the
// operations of one point alone, in the same order, with no fused multiply-add, so a point
// comes out exactly as on the four-lane path.
#define WIDE [[gnu::target("avx2"), gnu::always_inline]] inline

WIDE __m256 fade8(__m256 t) {
  const __m256 inner = _mm256_add_ps(
      _mm256_mul_ps(t, _mm256_sub_ps(_mm256_mul_ps(t, _mm256_set1_ps(6.0f)), _mm256_set1_ps(15.0f))),
      _mm256_set1_ps(10.0f));
  return _mm256_mul_ps(_mm256_mul_ps(_mm256_mul_ps(t, t), t), inner);
}

WIDE __m256 lerp8(__m256 t, __m256 p, __m256 q) {
  return _mm256_add_ps(p, _mm256_mul_ps(t, _mm256_sub_ps(q, p)));
}

WIDE __m256 floorOf8(__m256 v) {
  const __m256 magnitude = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), v);
  const __m256 small = _mm256_cmp_ps(magnitude, _mm256_set1_ps(8388608.0f), _CMP_LT_OS);
  const __m256 whole = _mm256_cvtepi32_ps(_mm256_cvttps_epi32(v));
  const __m256 below = _mm256_sub_ps(
      whole, _mm256_and_ps(_mm256_cmp_ps(whole, v, _CMP_GT_OS), _mm256_set1_ps(1.0f)));
  return _mm256_or_ps(_mm256_and_ps(small, below), _mm256_andnot_ps(small, v));
}

WIDE __m256i latticeCell8(__m256 whole) {
  return _mm256_and_si256(_mm256_cvttps_epi32(whole), _mm256_set1_epi32(255));
}

WIDE __m256 gradient8(__m256i code, __m256 px, __m256 py) {
  const __m256 useX = _mm256_castsi256_ps(_mm256_srai_epi32(_mm256_slli_epi32(code, 29), 31));
  const __m256 useQ = _mm256_castsi256_ps(_mm256_srai_epi32(_mm256_slli_epi32(code, 28), 31));
  const __m256 p = _mm256_or_ps(_mm256_and_ps(useX, px), _mm256_andnot_ps(useX, py));
  const __m256 q = _mm256_and_ps(useQ, py);
  const __m256 signP = _mm256_castsi256_ps(_mm256_slli_epi32(code, 31));
  const __m256 signQ = _mm256_castsi256_ps(_mm256_slli_epi32(_mm256_srli_epi32(code, 1), 31));
  return _mm256_add_ps(_mm256_xor_ps(p, signP), _mm256_xor_ps(q, signQ));
}

WIDE __m256 noise8(const uint16_t* cornerHashes, __m256 x, __m256 y) {
  const __m256 floorX = floorOf8(x), floorY = floorOf8(y);
  const __m256i cell =
      _mm256_or_si256(_mm256_slli_epi32(latticeCell8(floorX), 8), latticeCell8(floorY));
  alignas(32) int32_t index[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(index), cell);
  const __m256i h = _mm256_setr_epi32(cornerHashes[index[0]], cornerHashes[index[1]],
                                      cornerHashes[index[2]], cornerHashes[index[3]],
                                      cornerHashes[index[4]], cornerHashes[index[5]],
                                      cornerHashes[index[6]], cornerHashes[index[7]]);
  const __m256 fx = _mm256_sub_ps(x, floorX), fy = _mm256_sub_ps(y, floorY);
  const __m256 fx1 = _mm256_sub_ps(fx, _mm256_set1_ps(1.0f));
  const __m256 fy1 = _mm256_sub_ps(fy, _mm256_set1_ps(1.0f));
  const __m256 a = fade8(fx), b = fade8(fy);
  return lerp8(b, lerp8(a, gradient8(h, fx, fy), gradient8(_mm256_srli_epi32(h, 4), fx1, fy)),
               lerp8(a, gradient8(_mm256_srli_epi32(h, 8), fx, fy1),
                     gradient8(_mm256_srli_epi32(h, 12), fx1, fy1)));
}

// The noise at (x, y) turned by the octaves' angle.
WIDE __m256 turnedNoise8(const uint16_t* hashes, __m256 x, __m256 y) {
  const __m256 k1 = _mm256_set1_ps(0.7771459f), k2 = _mm256_set1_ps(0.6293203f);
  return noise8(hashes, _mm256_sub_ps(_mm256_mul_ps(k1, x), _mm256_mul_ps(k2, y)),
                _mm256_add_ps(_mm256_mul_ps(k2, x), _mm256_mul_ps(k1, y)));
}

[[gnu::target("avx2")]] void rippleNoise8(const uint16_t* hashes, const float* in, float y0,
                                           float c, NoisePair* out) {
  __m256 x = _mm256_loadu_ps(in);
  __m256 y = _mm256_set1_ps(y0);
  __m256 nu = _mm256_setzero_ps(), nv = _mm256_setzero_ps();
  for (int i = 1; i < c && i <= kMaxFullOctaves; ++i) {
    nu = _mm256_add_ps(nu, turnedNoise8(hashes, x, y));
    x = _mm256_add_ps(x, _mm256_set1_ps(25.0764f));
    y = _mm256_add_ps(y, _mm256_set1_ps(723.453f));
    nv = _mm256_add_ps(nv, turnedNoise8(hashes, x, y));
    y = _mm256_add_ps(y, _mm256_set1_ps(65.81998f));
    x = _mm256_add_ps(x, _mm256_set1_ps(44.8452f));
    x = _mm256_mul_ps(x, _mm256_set1_ps(1.7134f));
    y = _mm256_mul_ps(y, _mm256_set1_ps(1.7134f));
  }
  const float t = c >= 0.0f ? c - std::trunc(c) : c - std::trunc(c - 1.0f);
  if (t > 0.0f) {
    const __m256 weight = _mm256_set1_ps(t);
    nu = _mm256_add_ps(nu, _mm256_mul_ps(weight, noise8(hashes, x, y)));
    y = _mm256_add_ps(y, _mm256_set1_ps(623.453f));
    x = _mm256_add_ps(x, _mm256_set1_ps(13.0764f));
    nv = _mm256_add_ps(nv, _mm256_mul_ps(weight, noise8(hashes, x, y)));
  }
  alignas(32) float u[8], v[8];
  _mm256_store_ps(u, nu);
  _mm256_store_ps(v, nv);
  for (int lane = 0; lane < 8; ++lane) out[lane] = {u[lane], v[lane]};
}

#undef WIDE

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
  int32_t* perm = tables.perm;
  for (uint32_t i = 0; i < 256; ++i) {
    perm[i] = kReferencePermutation[(i + start) & 255];
    perm[i + 256] = perm[i];
  }
  // The gradient of every second-step index (A, B and one more reach 511 at most).
  uint16_t code[512];
  for (int32_t i = 0; i < 512; ++i) code[i] = gradientCode(perm[perm[i]]);
  for (int32_t X = 0; X < 256; ++X)
    for (int32_t Y = 0; Y < 256; ++Y) {
      const int32_t A = perm[X] + Y, B = perm[X + 1] + Y;
      tables.cornerHashes[X * 256 + Y] =
          static_cast<uint16_t>(code[A] | code[B] << 4 | code[A + 1] << 8 | code[B + 1] << 12);
    }
}

}  // namespace

void prepareNoiseTables(NoiseTables& tables, int32_t seed) {
  buildSeedTable(tables, seed);
  buildPermutation(tables, seed);
}

float perlinNoise2(const NoiseTables& tables, float x, float y) {
  return _mm_cvtss_f32(noise4(tables.cornerHashes, _mm_set1_ps(x), _mm_set1_ps(y)));
}

NoisePair rippleNoise(const NoiseTables& tables, float x, float y, float c) {
  NoisePair n;
  rippleNoiseRow(tables, &x, y, c, 1, &n);
  return n;
}

bool gWideNoise = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}();

void rippleNoiseRow(const NoiseTables& tables, const float* x, float y, float c, int32_t count,
                    NoisePair* out) {
  int32_t first = 0;
  if (gWideNoise)
    for (; first + 8 <= count; first += 8) rippleNoise8(tables.cornerHashes, x + first, y, c, out + first);
  for (; first < count; first += 4) {
    const int32_t lanes = count - first < 4 ? count - first : 4;
    alignas(16) float in[4];
    for (int lane = 0; lane < 4; ++lane) in[lane] = x[first + (lane < lanes ? lane : 0)];
    __m128 nu, nv;
    rippleNoise4(tables.cornerHashes, _mm_load_ps(in), y, c, nu, nv);
    alignas(16) float u[4], v[4];
    _mm_store_ps(u, nu);
    _mm_store_ps(v, nv);
    for (int lane = 0; lane < lanes; ++lane) out[first + lane] = {u[lane], v[lane]};
  }
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
