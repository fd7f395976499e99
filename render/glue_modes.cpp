#include "render/glue_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/colour_spaces.h"
#include "render/depth_conversions.h"
#include "render/glue_names.h"
#include "render/lattice_lookup.h"

namespace {

// The formulas are written once, on the constants of a depth. At 16 bits 255 and 256 both
// become 32768, 128 becomes 16384, and the shifts by 8 and 7 become shifts by 15 and 14.
// Products of two 16-bit values overflow 32 bits, so 16-bit arithmetic is 64-bit.
struct Depth8 {
  using Int = int32_t;
  static constexpr Int top = 255;
  static constexpr Int full = 256;
  static constexpr Int half = 128;
  static constexpr int shift = 8;
  static constexpr int halfShift = 7;
  static constexpr float productScale = 1.53787e-5f;  // 1 / 255^2
};

struct Depth16 {
  using Int = int64_t;
  static constexpr Int top = 32768;
  static constexpr Int full = 32768;
  static constexpr Int half = 16384;
  static constexpr int shift = 15;
  static constexpr int halfShift = 14;
  static constexpr float productScale = 9.313226e-10f;  // 1 / 32768^2
};

template <class D>
using Int = typename D::Int;

template <class D>
constexpr bool kEightBit = D::top == 255;

template <class D>
Int<D> clampTop(Int<D> v) {
  return std::clamp<Int<D>>(v, 0, D::top);
}

// ---- blend functions ----------------------------------------------------------------------

template <class D>
Int<D> hardlight(Int<D> w, Int<D> i) {
  return w < D::half ? (w * i) >> D::halfShift
                     : D::top - (((D::top - w) * (D::top - i)) >> D::halfShift);
}

template <class D>
Int<D> overlay(Int<D> w, Int<D> i) {
  return i < D::half ? (w * i) >> D::halfShift
                     : D::top - (((D::top - w) * (D::top - i)) >> D::halfShift);
}

template <class D>
Int<D> pin(Int<D> base, Int<D> blend) {
  return blend < D::half ? std::min(base, 2 * blend) : std::max(base, 2 * blend - D::top);
}

// The weights total 255, so the shift by 8 keeps luma on the channels' own scale at both
// depths.
int32_t luma(Channels c) { return (77 * c[0] + 150 * c[1] + 28 * c[2]) >> 8; }

// Pixels whose weighted sums differ only in the low byte count as equally bright.
int32_t lumaKey(Channels c) { return (77 * c[0] + 150 * c[1] + 28 * c[2]) & ~0xFF; }

double dex(double a, double b) {
  const double result = a < b ? a * 0.5 / b : (a > 0.0 ? 1.0 - b * 0.5 / a : 1.0);
  return std::min(result, 1.0);
}

// ---- modes that treat each channel alone ----------------------------------------------------

template <class D>
Int<D> normal(Int<D> w, Int<D>) {
  return w;
}

// 16 bits: the water's weight peaks at one half where the 8-bit table peaks at 255/256.
Int<Depth16> proceduralPlus16(Int<Depth16> w, Int<Depth16> i) {
  const Int<Depth16> weight = i < 16384 ? i / 2 : 16384 - i / 2;
  return (w * weight + (16384 - weight) * i) >> 14;
}

template <class D>
Int<D> proceduralMinus(Int<D> w, Int<D> i) {
  return std::min(w + ((w * i) >> D::shift), D::top);
}

template <class D>
Int<D> difference(Int<D> w, Int<D> i) {
  return ((D::top - w) * i + (D::top - i) * w) >> D::shift;
}

template <class D>
Int<D> lighten(Int<D> w, Int<D> i) {
  return std::max(w, i);
}

template <class D>
Int<D> darken(Int<D> w, Int<D> i) {
  return std::min(w, i);
}

template <class D>
Int<D> add(Int<D> w, Int<D> i) {
  return std::min(w + i, D::top);
}

template <class D>
Int<D> subtract(Int<D> w, Int<D> i) {
  return std::max<Int<D>>(w - i, 0);
}

template <class D>
Int<D> multiply(Int<D> w, Int<D> i) {
  return (w * i) >> D::shift;
}

template <class D>
Int<D> screen(Int<D> w, Int<D> i) {
  return w + (((D::top - w) * i) >> D::shift);
}

template <class D>
Int<D> superlay(Int<D> w, Int<D> i) {
  const Int<D> x = D::top - ((w * i) >> D::shift);
  const Int<D> s = (x * x) >> D::shift;
  const Int<D> t = D::top - s;
  const Int<D> y = D::top - (((D::top - w) * i) >> D::shift) - w;
  const Int<D> y2 = (y * y) >> D::shift;
  return t < D::half ? ((D::top - y2) * t) >> D::halfShift
                     : D::top - ((y2 * s) >> D::halfShift);
}

// At 16 bits full equals top and this is "difference".
template <class D>
Int<D> exclusion(Int<D> w, Int<D> i) {
  return ((D::top - i) * w + (D::full - w) * i) >> D::shift;
}

template <class D>
Int<D> linearLight(Int<D> w, Int<D> i) {
  return w < D::half ? std::max<Int<D>>(i + 2 * w - D::full, 0)
                     : std::min(i + 2 * w - D::top, D::top);
}

template <class D>
Int<D> pinLight(Int<D> w, Int<D> i) {
  return pin<D>(i, w);
}

template <class D>
Int<D> spinLight(Int<D> w, Int<D> i) {
  return pin<D>(w, i);
}

int32_t vividA8(int32_t w, int32_t i) {
  const int32_t v = w < 128 ? ((i - 255) * 256) / (2 * w + 1) + 255 : (i * 256) / (511 - 2 * w);
  return std::clamp(v, 0, 255);
}

int32_t reduceTo8(Int<Depth16> v) {
  return std::min(static_cast<int32_t>(((v + 1) >> 7) & 511), 255);
}

// The divisions go wrong in the 16-bit range, so 16 bits take the 8-bit result.
template <class D>
Int<D> vividA(Int<D> w, Int<D> i) {
  if constexpr (kEightBit<D>)
    return vividA8(w, i);
  else
    return to16From8(vividA8(reduceTo8(w), reduceTo8(i)));
}

template <class D>
Int<D> vividB(Int<D> w, Int<D> i) {
  return clampTop<D>(2 * w - i);
}

template <class D>
Int<D> similarity(Int<D> w, Int<D> i) {
  return D::top - std::abs(w + i - D::top);
}

// The divisor brings the squares back to the channels' scale: 128^2 / 64 = 256 at 8 bits,
// 16384^2 / 8192 = 32768 at 16.
template <class D>
Int<D> cross(Int<D> w, Int<D> i) {
  constexpr Int<D> divisor = kEightBit<D> ? 64 : 8192;
  const Int<D> a = (w - D::half) * (w - D::half) / divisor;
  const Int<D> b = (i - D::half) * (i - D::half) / divisor;
  return clampTop<D>(D::top - std::abs(a - b));
}

template <class D>
Int<D> harshDiff(Int<D> w, Int<D> i) {
  return std::abs(w - i);
}

int32_t softLightHigh8(int32_t w, int32_t i) {
  const int32_t d = 255 - i;
  return 255 - ((((d * d) >> 8) * (w - 130) + (258 - w) * d) >> 7);
}

// The upper branch bends at fixed 8-bit values (130, 258), so 16 bits compute it in 8 bits.
// A full 32768 reduces to 256, one past the 8-bit range, and could come back as 32896.
template <class D>
Int<D> softLight(Int<D> w, Int<D> i) {
  if (w < D::half) return (w * i + ((i * i) >> D::shift) * (D::half - w)) >> D::halfShift;
  if constexpr (kEightBit<D>)
    return softLightHigh8(w, i);
  else
    return clampTop<D>(
        softLightHigh8(static_cast<int32_t>(w / 128), static_cast<int32_t>(i / 128)) * 128);
}

template <class D>
Int<D> dodge(Int<D> w, Int<D> i) {
  if constexpr (!kEightBit<D>) {
    if (w == D::top) return D::top;
  }
  return clampTop<D>((i * D::full) / (D::full - w));
}

template <class D>
Int<D> burn(Int<D> w, Int<D> i) {
  return clampTop<D>(((i - D::top) * D::full) / (w + 1) + D::top);
}

template <class D>
Int<D> ace(Int<D> w, Int<D> i) {
  return (w * w + (D::full - w) * i) >> D::shift;
}

// The same formula at both depths: at 8 bits it barely moves the image.
template <class D>
Int<D> king(Int<D> w, Int<D> i) {
  return ((w - i + 32768) * i) >> 15;
}

template <class D>
Int<D> queen(Int<D> w, Int<D> i) {
  if constexpr (kEightBit<D>)
    return ((255 - w) * w + (w + 1) * i) >> 8;
  else
    return ((i - w + 32768) * w) >> 15;
}

template <class D>
Int<D> jack(Int<D> w, Int<D> i) {
  if constexpr (kEightBit<D>)
    return ((255 - i) * w + (i + 1) * i) >> 8;
  else
    return (i * i + (32768 - i) * w) >> 15;
}

template <class D>
Int<D> bitAnd(Int<D> w, Int<D> i) {
  return w & i;
}

// 32768 is a single bit, so at 16 bits "or" and "xor" can leave the range.
template <class D>
Int<D> bitOr(Int<D> w, Int<D> i) {
  return std::min(w | i, D::top);
}

template <class D>
Int<D> bitXor(Int<D> w, Int<D> i) {
  return std::min(w ^ i, D::top);
}

template <class D>
Int<D> multibright(Int<D> w, Int<D> i) {
  const float p = static_cast<float>(w * i) * D::productScale;
  return static_cast<Int<D>>((2.0f - p) * static_cast<float>(D::top) * p);
}

template <class D>
Int<D> hot(Int<D> w, Int<D> i) {
  return pin<D>(pin<D>(D::top - w, i), pin<D>(w, i));
}

template <class D>
Int<D> cold(Int<D> w, Int<D> i) {
  return pin<D>(pin<D>(D::top - i, w), pin<D>(i, w));
}

template <class D>
Int<D> wet(Int<D> w, Int<D> i) {
  return pin<D>(D::top - hardlight<D>(w, D::top - i), overlay<D>(w, i));
}

template <class D>
Int<D> dry(Int<D> w, Int<D> i) {
  return pin<D>(hardlight<D>(w, i), overlay<D>(D::top - w, i));
}

template <class D>
Int<D> up(Int<D> w, Int<D> i) {
  return pin<D>(overlay<D>(w, i), hardlight<D>(w, i));
}

template <class D>
Int<D> down(Int<D> w, Int<D> i) {
  return pin<D>(hardlight<D>(w, i), overlay<D>(w, i));
}

template <class D>
Int<D> hardMix(Int<D> w, Int<D> i) {
  return w + i > D::top ? D::top : 0;
}

template <class D>
Int<D> dextrous(Int<D> w, Int<D> i) {
  constexpr double top = static_cast<double>(D::top);
  return static_cast<Int<D>>(dex(static_cast<double>(i) / top, static_cast<double>(w) / top) * top);
}

template <class D>
Int<D> screendim(Int<D> w, Int<D> i) {
  const float s = 1.0f - static_cast<float>((D::top - w) * (D::top - i)) * D::productScale;
  return static_cast<Int<D>>(s * s * static_cast<float>(D::top));
}

template <class D, Int<D> (*f)(Int<D>, Int<D>)>
Channels perChannel(Channels w, Channels i, const uint8_t*) {
  return {static_cast<int32_t>(f(w[0], i[0])), static_cast<int32_t>(f(w[1], i[1])),
          static_cast<int32_t>(f(w[2], i[2]))};
}

Channels proceduralPlus8(Channels w, Channels i, const uint8_t* triangle) {
  Channels out;
  for (int c = 0; c < 3; ++c) {
    const int32_t t = triangle[i[c]];
    out[c] = (t * w[c] + (255 - t) * i[c]) >> 8;
  }
  return out;
}

// ---- modes that take the whole pixel --------------------------------------------------------

Channels bright(Channels w, Channels i, const uint8_t*) { return lumaKey(w) < lumaKey(i) ? i : w; }

Channels dim(Channels w, Channels i, const uint8_t*) { return lumaKey(i) < lumaKey(w) ? i : w; }

// Each channel mixes towards the water by a neighbouring channel of the water (or of the
// image): red by green, green by blue, blue by red for a turn of 1; red by blue for 2.
template <class D, bool byImage, int turn>
Channels neighbourMix(Channels w, Channels i, const uint8_t*) {
  const Channels& key = byImage ? i : w;
  Channels out;
  for (int c = 0; c < 3; ++c) {
    const Int<D> k = key[(c + turn) % 3];
    out[c] = static_cast<int32_t>((i[c] * k + (D::full - k) * w[c]) >> D::shift);
  }
  return out;
}

// ---- modes in a colour space ------------------------------------------------------------------

template <class D>
UnitColour toUnit(Channels c) {
  constexpr double scale = 1.0 / static_cast<double>(D::top);
  return {c[0] * scale, c[1] * scale, c[2] * scale};
}

template <class D>
Channels fromUnit(UnitColour c) {
  constexpr double top = static_cast<double>(D::top);
  return {static_cast<int32_t>(c.r * top), static_cast<int32_t>(c.g * top),
          static_cast<int32_t>(c.b * top)};
}

template <class D>
double unitLuma(Channels c) {
  return luma(c) / static_cast<double>(D::top);
}

template <class D>
Channels color(Channels w, Channels i, const uint8_t*) {
  const Hsl water = toHsl(toUnit<D>(w));
  return fromUnit<D>(fromHsy(water.h, water.s, unitLuma<D>(i)));
}

template <class D>
Channels luminance(Channels w, Channels i, const uint8_t*) {
  const Hsl image = toHsl(toUnit<D>(i));
  return fromUnit<D>(fromHsy(image.h, image.s, unitLuma<D>(w)));
}

template <class D>
Channels saturation(Channels w, Channels i, const uint8_t*) {
  const Hsy image = toHsy(toUnit<D>(i));
  return fromUnit<D>(fromHsy(image.h, toHsl(toUnit<D>(w)).s, image.y));
}

template <class D>
Channels hue(Channels w, Channels i, const uint8_t*) {
  const Hsy image = toHsy(toUnit<D>(i));
  return fromUnit<D>(fromHsy(toHsl(toUnit<D>(w)).h, image.s, image.y));
}

// Lightness far from one half (near black or white) shuts the water out.
double midtoneWeight(double l) {
  const double e = std::abs(2.0 * l - 1.0);
  const double e2 = e * e;
  return 1.0 - e2 * e2;
}

template <class D, bool bySaturation>
Channels waxOrWane(Channels w, Channels i, const uint8_t*) {
  const Hsl water = toHsl(toUnit<D>(w));
  const double k = (bySaturation ? water.s : 1.0 - water.s) * midtoneWeight(water.l);
  Channels out;
  for (int c = 0; c < 3; ++c) out[c] = static_cast<int32_t>(i[c] * (1.0 - k) + w[c] * k);
  return out;
}

template <class D>
Channels frontal(Channels w, Channels i, const uint8_t*) {
  constexpr double kTurn = 6.283185307179586;
  const Hsl water = toHsl(toUnit<D>(w));
  const Hsl image = toHsl(toUnit<D>(i));
  const double t = midtoneWeight(water.l) * midtoneWeight(image.l);
  const double wx = water.s * std::cos(kTurn * water.h), wy = water.s * std::sin(kTurn * water.h);
  const double ix = image.s * std::cos(kTurn * image.h), iy = image.s * std::sin(kTurn * image.h);
  const double x = wx + (ix - wx) * t;
  const double y = wy + (iy - wy) * t;
  double angle = std::atan2(y, x);
  if (angle < 0.0) angle += kTurn;
  return fromUnit<D>(fromHsl({angle / kTurn, std::hypot(x, y), std::min(water.l, image.l)}));
}

template <class D>
Channels sinister(Channels w, Channels i, const uint8_t*) {
  const Hsy water = toHsy(toUnit<D>(w));
  return fromUnit<D>(fromHsy(water.h, water.s, dex(unitLuma<D>(i), water.y)));
}

// The product of the two brightnesses, lifted like "multibright"; near black and near white
// the `anchor` pulls the result back towards the water's own brightness.
template <class D, bool anchorOnImage>
Channels anteriorOrPosterior(Channels w, Channels i, const uint8_t*) {
  const Hsy water = toHsy(toUnit<D>(w));
  const Hsy image = toHsy(toUnit<D>(i));
  const double p = image.y * water.y;
  double y = (2.0 - p) * p;
  const double anchor = anchorOnImage ? image.y : water.y;
  if (anchor > 0.8) y = y + (anchor - 0.8) * 5.0 * (anchor - y);
  if (anchor < 0.2) y = y + (0.2 - anchor) * 5.0 * (anchor - y);
  const Hsy& keep = anchorOnImage ? image : water;
  return fromUnit<D>(fromHsy(keep.h, keep.s, y));
}

// ---- modes in the lattice space -------------------------------------------------------------

template <class D>
Channels latticeLookup(const ColourLattice& lattice, Channels c) {
  if constexpr (kEightBit<D>)
    return latticeLookup8(lattice, c);
  else
    return latticeLookup16(lattice, c);
}

template <class D>
Int<D> screenProduct(Int<D> w, Int<D> i) {
  return D::top - (((D::top - i) * (D::top - w)) >> D::shift);
}

template <class D>
Int<D> pinImage(Int<D> w, Int<D> i) {
  return pin<D>(i, w);
}

template <class D>
Int<D> pinWater(Int<D> w, Int<D> i) {
  return pin<D>(w, i);
}

// Luma by `first`, the two opponent colours by `rest`.
template <class D, Int<D> (*first)(Int<D>, Int<D>), Int<D> (*rest)(Int<D>, Int<D>)>
Channels inLattice(Channels w, Channels i, const uint8_t*) {
  const Channels lw = latticeLookup<D>(kForwardLattice, w);
  const Channels li = latticeLookup<D>(kForwardLattice, i);
  const Channels mixed = {static_cast<int32_t>(first(lw[0], li[0])),
                          static_cast<int32_t>(rest(lw[1], li[1])),
                          static_cast<int32_t>(rest(lw[2], li[2]))};
  return latticeLookup<D>(kInverseLattice, mixed);
}

// ---- the table --------------------------------------------------------------------------------

template <class D>
constexpr GlueCombine proceduralPlus() {
  if constexpr (kEightBit<D>)
    return proceduralPlus8;
  else
    return perChannel<D, proceduralPlus16>;
}

// Indexed by glue number; entry 0 serves the numbers that are not modes.
template <class D>
constexpr GlueCombine kCombiners[kGlueCount + 1] = {
    perChannel<D, normal<D>>,
    perChannel<D, normal<D>>,
    proceduralPlus<D>(),
    perChannel<D, proceduralMinus<D>>,
    perChannel<D, difference<D>>,
    perChannel<D, lighten<D>>,
    perChannel<D, darken<D>>,
    perChannel<D, add<D>>,
    perChannel<D, subtract<D>>,
    perChannel<D, multiply<D>>,
    perChannel<D, screen<D>>,
    perChannel<D, hardlight<D>>,
    perChannel<D, overlay<D>>,
    perChannel<D, superlay<D>>,
    perChannel<D, exclusion<D>>,
    color<D>,
    luminance<D>,
    perChannel<D, linearLight<D>>,
    perChannel<D, pinLight<D>>,
    perChannel<D, spinLight<D>>,
    perChannel<D, vividA<D>>,
    perChannel<D, vividB<D>>,
    saturation<D>,
    hue<D>,
    perChannel<D, similarity<D>>,
    perChannel<D, cross<D>>,
    perChannel<D, harshDiff<D>>,
    perChannel<D, softLight<D>>,
    bright,
    dim,
    perChannel<D, dodge<D>>,
    perChannel<D, burn<D>>,
    perChannel<D, ace<D>>,
    perChannel<D, king<D>>,
    perChannel<D, queen<D>>,
    perChannel<D, jack<D>>,
    perChannel<D, bitAnd<D>>,
    perChannel<D, bitOr<D>>,
    perChannel<D, bitXor<D>>,
    perChannel<D, multibright<D>>,
    perChannel<D, hot<D>>,
    perChannel<D, cold<D>>,
    perChannel<D, wet<D>>,
    perChannel<D, dry<D>>,
    perChannel<D, up<D>>,
    perChannel<D, down<D>>,
    waxOrWane<D, true>,
    waxOrWane<D, false>,
    neighbourMix<D, false, 1>,
    neighbourMix<D, false, 2>,
    neighbourMix<D, true, 1>,
    neighbourMix<D, true, 2>,
    perChannel<D, hardMix<D>>,
    frontal<D>,
    inLattice<D, multiply<D>, overlay<D>>,
    inLattice<D, screenProduct<D>, overlay<D>>,
    inLattice<D, pinImage<D>, pinImage<D>>,
    inLattice<D, pinWater<D>, pinWater<D>>,
    perChannel<D, dextrous<D>>,
    sinister<D>,
    anteriorOrPosterior<D, false>,
    anteriorOrPosterior<D, true>,
    perChannel<D, screendim<D>>,
};

}  // namespace

void buildTriangleTable(uint8_t (&triangle)[kTriangleSize]) {
  for (int32_t i = 0; i < kTriangleSize; ++i)
    triangle[i] = static_cast<uint8_t>(i < 128 ? 2 * i : 511 - 2 * i);
}

GlueCombine glueCombiner(int32_t depth, int32_t glue) {
  if (glue < 1 || glue > kGlueCount) glue = 0;
  return depth == 8 ? kCombiners<Depth8>[glue] : kCombiners<Depth16>[glue];
}
