#include "resources/windows/artwork_packing.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr size_t kLiteral = 0x00, kRepeat = 0x80, kAbove = 0xC0;
constexpr size_t kMostLiteral = 128, kMostRun = 64;

bool samePixel(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, 4) == 0; }

// How many pixels from `at` on equal `reference(i)`, up to `most`.
template <typename Reference>
size_t runOf(std::span<const uint8_t> rgba, size_t at, size_t most, Reference reference) {
  const size_t pixels = rgba.size() / 4;
  size_t n = 0;
  while (n < most && at + n < pixels && samePixel(&rgba[(at + n) * 4], reference(at + n))) ++n;
  return n;
}
}  // namespace

std::vector<uint8_t> packPixels(std::span<const uint8_t> rgba, int32_t width) {
  static constexpr uint8_t kTransparent[4] = {0, 0, 0, 0};
  if (width <= 0) return {};
  const size_t pixels = rgba.size() / 4, row = static_cast<size_t>(width);
  auto previous = [&](size_t i) { return i == 0 ? kTransparent : &rgba[(i - 1) * 4]; };
  auto above = [&](size_t i) { return &rgba[(i - row) * 4]; };
  // A run as long as the pixels allow, with "the previous pixel" meaning the one before `at`.
  auto repeatRun = [&](size_t at) {
    return runOf(rgba, at, kMostRun, [&](size_t) { return previous(at); });
  };
  auto aboveRun = [&](size_t at) { return at >= row ? runOf(rgba, at, kMostRun, above) : 0; };
  std::vector<uint8_t> packed;
  size_t i = 0;
  while (i < pixels) {
    const size_t repeat = repeatRun(i), fromAbove = aboveRun(i);
    if (repeat > 0 || fromAbove > 0) {
      const bool useAbove = fromAbove > repeat;
      const size_t n = useAbove ? fromAbove : repeat;
      packed.push_back(static_cast<uint8_t>((useAbove ? kAbove : kRepeat) + n - 1));
      i += n;
      continue;
    }
    // Pixels that no run covers go as they are, until one would.
    size_t n = 1;
    while (n < kMostLiteral && i + n < pixels && repeatRun(i + n) == 0 && aboveRun(i + n) == 0) ++n;
    packed.push_back(static_cast<uint8_t>(kLiteral + n - 1));
    packed.insert(packed.end(), rgba.begin() + static_cast<ptrdiff_t>(i * 4), rgba.begin() + static_cast<ptrdiff_t>((i + n) * 4));
    i += n;
  }
  return packed;
}

bool unpackPixels(std::span<const uint8_t> packed, int32_t width, std::span<uint8_t> rgba) {
  if (width <= 0) return rgba.empty() && packed.empty();
  const size_t pixels = rgba.size() / 4, row = static_cast<size_t>(width);
  size_t in = 0, out = 0;
  while (in < packed.size()) {
    const size_t code = packed[in++];
    const size_t n = code < kRepeat ? code - kLiteral + 1 : code < kAbove ? code - kRepeat + 1 : code - kAbove + 1;
    if (out + n > pixels) return false;
    if (code < kRepeat) {
      if (packed.size() - in < n * 4) return false;
      std::copy_n(&packed[in], n * 4, &rgba[out * 4]);
      in += n * 4;
    } else if (code < kAbove) {
      // Before the first pixel, "the previous one" is transparent black.
      uint8_t pixel[4] = {0, 0, 0, 0};
      if (out > 0) std::copy_n(&rgba[(out - 1) * 4], 4, pixel);
      for (size_t k = 0; k < n; ++k) std::copy_n(pixel, 4, &rgba[(out + k) * 4]);
    } else {
      if (out < row) return false;
      // The row above may overlap what is being written only when a row is shorter than the run.
      for (size_t k = 0; k < n * 4; ++k) rgba[out * 4 + k] = rgba[(out - row) * 4 + k];
    }
    out += n;
  }
  return out == pixels;
}
