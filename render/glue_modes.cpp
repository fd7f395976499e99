#include "render/glue_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/colour_spaces.h"
#include "render/colour_wheel.h"
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
int32_t luma(const Channels& c) { return (77 * c[0] + 150 * c[1] + 28 * c[2]) >> 8; }

// Pixels whose weighted sums differ only in the low byte count as equally bright.
int32_t lumaKey(const Channels& c) { return (77 * c[0] + 150 * c[1] + 28 * c[2]) & ~0xFF; }

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
  return t < D::half ? ((D::top - y2) * t) >> D::halfShift : D::top - ((y2 * s) >> D::halfShift);
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
Channels perChannel(const Channels& w, const Channels& i, const uint8_t*) {
  return {static_cast<int32_t>(f(w[0], i[0])), static_cast<int32_t>(f(w[1], i[1])),
          static_cast<int32_t>(f(w[2], i[2]))};
}

Channels proceduralPlus8(const Channels& w, const Channels& i, const uint8_t* triangle) {
  Channels out;
  for (int c = 0; c < 3; ++c) {
    const int32_t t = triangle[i[c]];
    out[c] = (t * w[c] + (255 - t) * i[c]) >> 8;
  }
  return out;
}

// ---- modes that take the whole pixel --------------------------------------------------------

Channels bright(const Channels& w, const Channels& i, const uint8_t*) {
  return lumaKey(w) < lumaKey(i) ? i : w;
}

Channels dim(const Channels& w, const Channels& i, const uint8_t*) {
  return lumaKey(i) < lumaKey(w) ? i : w;
}

// Each channel mixes towards the water by a neighbouring channel of the water (or of the
// image): red by green, green by blue, blue by red for a turn of 1; red by blue for 2.
template <class D, bool byImage, int turn>
Channels neighbourMix(const Channels& w, const Channels& i, const uint8_t*) {
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
UnitColour toUnit(const Channels& c) {
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
double unitLuma(const Channels& c) {
  return luma(c) / static_cast<double>(D::top);
}

template <class D>
Channels color(const Channels& w, const Channels& i, const uint8_t*) {
  return fromUnit<D>(fromChromaY(toChroma(toUnit<D>(w)).chroma, unitLuma<D>(i)));
}

template <class D>
Channels luminance(const Channels& w, const Channels& i, const uint8_t*) {
  return fromUnit<D>(fromChromaY(toChroma(toUnit<D>(i)).chroma, unitLuma<D>(w)));
}

template <class D>
Channels saturation(const Channels& w, const Channels& i, const uint8_t*) {
  const ChromaColour image = toChroma(toUnit<D>(i));
  const double waterSaturation = toChroma(toUnit<D>(w)).s;
  return fromUnit<D>(fromChromaY(withSaturation(image, waterSaturation), hsyY(image)));
}

template <class D>
Channels hue(const Channels& w, const Channels& i, const uint8_t*) {
  const ChromaColour image = toChroma(toUnit<D>(i));
  return fromUnit<D>(fromChromaY(withSaturation(toChroma(toUnit<D>(w)), image.s), hsyY(image)));
}

// Lightness far from one half (near black or white) shuts the water out.
double midtoneWeight(double l) {
  const double e = std::abs(2.0 * l - 1.0);
  const double e2 = e * e;
  return 1.0 - e2 * e2;
}

template <class D, bool bySaturation>
Channels waxOrWane(const Channels& w, const Channels& i, const uint8_t*) {
  const ChromaColour water = toChroma(toUnit<D>(w));
  const double k = (bySaturation ? water.s : 1.0 - water.s) * midtoneWeight(water.l);
  Channels out;
  for (int c = 0; c < 3; ++c) out[c] = static_cast<int32_t>(i[c] * (1.0 - k) + w[c] * k);
  return out;
}

// Hue and saturation as a point on the colour wheel, moved from the water's point towards the
// image's by how far both lightnesses are from black and white. Measured from the water's own
// angle, the water's point lies on the axis, so one turn and one angle are all it takes.
template <class D>
Channels frontal(const Channels& w, const Channels& i, const uint8_t*) {
  const Hsl water = toHsl(toUnit<D>(w));
  const Hsl image = toHsl(toUnit<D>(i));
  const double t = midtoneWeight(water.l) * midtoneWeight(image.l);
  const WheelPoint turn = wheelPoint(image.h - water.h);
  const double x = water.s + (image.s * turn.x - water.s) * t;
  const double y = image.s * turn.y * t;
  double h = water.h + turnsOf(x, y);
  h -= static_cast<double>(h >= 1.0);
  return fromUnit<D>(fromHsl({h, std::sqrt(x * x + y * y), std::min(water.l, image.l)}));
}

template <class D>
Channels sinister(const Channels& w, const Channels& i, const uint8_t*) {
  const ChromaColour water = toChroma(toUnit<D>(w));
  return fromUnit<D>(fromChromaY(water.chroma, dex(unitLuma<D>(i), hsyY(water))));
}

// The product of the two brightnesses, lifted like "multibright"; near black and near white
// the `anchor` pulls the result back towards its own brightness.
template <class D, bool anchorOnImage>
Channels anteriorOrPosterior(const Channels& w, const Channels& i, const uint8_t*) {
  const ChromaColour water = toChroma(toUnit<D>(w));
  const ChromaColour image = toChroma(toUnit<D>(i));
  const double waterY = hsyY(water), imageY = hsyY(image);
  const double p = imageY * waterY;
  double y = (2.0 - p) * p;
  const double anchor = anchorOnImage ? imageY : waterY;
  if (anchor > 0.8) y = y + (anchor - 0.8) * 5.0 * (anchor - y);
  if (anchor < 0.2) y = y + (0.2 - anchor) * 5.0 * (anchor - y);
  return fromUnit<D>(fromChromaY(anchorOnImage ? image.chroma : water.chroma, y));
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
Channels inLattice(const Channels& w, const Channels& i, const uint8_t*) {
  const Channels lw = latticeLookup<D>(kForwardLattice, w);
  const Channels li = latticeLookup<D>(kForwardLattice, i);
  const Channels mixed = {static_cast<int32_t>(first(lw[0], li[0])),
                          static_cast<int32_t>(rest(lw[1], li[1])),
                          static_cast<int32_t>(rest(lw[2], li[2]))};
  return latticeLookup<D>(kInverseLattice, mixed);
}

// ---- the table --------------------------------------------------------------------------------

// The modes read their pixels channel by channel and return the result; the table's entries
// hand it back through a reference. Passing three-channel values by value packs them into
// register pairs through the stack, where they stall against the caller's fresh stores.
template <Channels (*mode)(const Channels&, const Channels&, const uint8_t*)>
void run(const Channels& water, const Channels& image, const uint8_t* triangle, Channels& out) {
  out = mode(water, image, triangle);
}

template <class D>
constexpr GlueCombine proceduralPlus() {
  if constexpr (kEightBit<D>)
    return run<proceduralPlus8>;
  else
    return run<perChannel<D, proceduralPlus16>>;
}

// Indexed by glue number; entry 0 serves the numbers that are not modes.
template <class D>
constexpr GlueCombine kCombiners[kGlueCount + 1] = {
    run<perChannel<D, normal<D>>>,
    run<perChannel<D, normal<D>>>,
    proceduralPlus<D>(),
    run<perChannel<D, proceduralMinus<D>>>,
    run<perChannel<D, difference<D>>>,
    run<perChannel<D, lighten<D>>>,
    run<perChannel<D, darken<D>>>,
    run<perChannel<D, add<D>>>,
    run<perChannel<D, subtract<D>>>,
    run<perChannel<D, multiply<D>>>,
    run<perChannel<D, screen<D>>>,
    run<perChannel<D, hardlight<D>>>,
    run<perChannel<D, overlay<D>>>,
    run<perChannel<D, superlay<D>>>,
    run<perChannel<D, exclusion<D>>>,
    run<color<D>>,
    run<luminance<D>>,
    run<perChannel<D, linearLight<D>>>,
    run<perChannel<D, pinLight<D>>>,
    run<perChannel<D, spinLight<D>>>,
    run<perChannel<D, vividA<D>>>,
    run<perChannel<D, vividB<D>>>,
    run<saturation<D>>,
    run<hue<D>>,
    run<perChannel<D, similarity<D>>>,
    run<perChannel<D, cross<D>>>,
    run<perChannel<D, harshDiff<D>>>,
    run<perChannel<D, softLight<D>>>,
    run<bright>,
    run<dim>,
    run<perChannel<D, dodge<D>>>,
    run<perChannel<D, burn<D>>>,
    run<perChannel<D, ace<D>>>,
    run<perChannel<D, king<D>>>,
    run<perChannel<D, queen<D>>>,
    run<perChannel<D, jack<D>>>,
    run<perChannel<D, bitAnd<D>>>,
    run<perChannel<D, bitOr<D>>>,
    run<perChannel<D, bitXor<D>>>,
    run<perChannel<D, multibright<D>>>,
    run<perChannel<D, hot<D>>>,
    run<perChannel<D, cold<D>>>,
    run<perChannel<D, wet<D>>>,
    run<perChannel<D, dry<D>>>,
    run<perChannel<D, up<D>>>,
    run<perChannel<D, down<D>>>,
    run<waxOrWane<D, true>>,
    run<waxOrWane<D, false>>,
    run<neighbourMix<D, false, 1>>,
    run<neighbourMix<D, false, 2>>,
    run<neighbourMix<D, true, 1>>,
    run<neighbourMix<D, true, 2>>,
    run<perChannel<D, hardMix<D>>>,
    run<frontal<D>>,
    run<inLattice<D, multiply<D>, overlay<D>>>,
    run<inLattice<D, screenProduct<D>, overlay<D>>>,
    run<inLattice<D, pinImage<D>, pinImage<D>>>,
    run<inLattice<D, pinWater<D>, pinWater<D>>>,
    run<perChannel<D, dextrous<D>>>,
    run<sinister<D>>,
    run<anteriorOrPosterior<D, false>>,
    run<anteriorOrPosterior<D, true>>,
    run<perChannel<D, screendim<D>>>,
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
