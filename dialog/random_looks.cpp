#include "dialog/random_looks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "render/colour_spaces.h"

namespace {

void nameSettings(ParameterBlock& block, const char* name) {
  std::snprintf(block.settingsFileName, sizeof block.settingsFileName, "%s", name);
}

// The base of every drawn water colour: a deep blue.
constexpr UnitColour kBaseWater{0.04, 0.05, 0.21};

Colour16 drawWaterColour(RandomGenerator& g) {
  Hsl hsl = toHsl(kBaseWater);
  hsl.h += (randomBetween(g, 0, 100) - 50) * 0.05;
  hsl.s *= randomBetween(g, 0, 100) * 0.01;
  hsl.l *= randomBetween(g, 0, 100) * 0.02;
  if (randomBetween(g, 0, 100) > 40) hsl.l = 0.0;  // black water, three times in five
  // The offset spreads the hue over several turns; wrapping keeps every hue equally likely.
  hsl.h -= std::floor(hsl.h);
  const UnitColour c = fromHsl(hsl);
  auto channel = [](double v) { return static_cast<uint16_t>(std::floor(std::clamp(v, 0.0, 1.0) * 65535.0)); };
  return {channel(c.r), channel(c.g), channel(c.b)};
}

}  // namespace

#ifdef _WIN32
// On Windows the looks come from the C runtime's own generator, as they always have; the
// record's state is not used there.
void seedRandom(RandomGenerator&, uint32_t seed) { std::srand(seed); }

int32_t nextRandom(RandomGenerator&) { return std::rand(); }
#else
// Elsewhere the same sequence as that runtime's generator, kept in the state record.
void seedRandom(RandomGenerator& generator, uint32_t seed) { generator.state = seed; }

int32_t nextRandom(RandomGenerator& generator) {
  generator.state = generator.state * 214013u + 2531011u;
  return static_cast<int32_t>((generator.state >> 16) & 0x7FFF);
}
#endif

int32_t randomBetween(RandomGenerator& generator, int32_t a, int32_t b) {
  if (b < a) std::swap(a, b);
  const int64_t span = int64_t{b} - a;
  int64_t mask = 1;
  while (mask < span) mask = mask * 2 + 1;
  for (;;) {
    const int64_t r = a + (mask & (nextRandom(generator) >> 4));
    if (r <= b) return static_cast<int32_t>(r);
  }
}

void diceSettings(ParameterBlock& block, RandomGenerator& g) {
  Settings& s = block.settings;
  s.waviness = randomBetween(g, 0, 70);
  s.complexity = randomBetween(g, 0, 60);
  s.brilliance = randomBetween(g, 30, 60);
  const int32_t blurA = randomBetween(g, 0, 70);
  s.blur = blurA * randomBetween(g, 0, 70) / 100;
  s.perspective = randomBetween(g, 20, 80);
  s.altitude = randomBetween(g, 1, 90);
  s.rippleSize = randomBetween(g, 20, 100);
  s.rippleHeight = randomBetween(g, 0, 60);
  s.undulation = randomBetween(g, 3, 80);
  s.waterColour = drawWaterColour(g);
  nameSettings(block, "random settings.q8r");
}

void ecceSettings(ParameterBlock& block, RandomGenerator& g) {
  block.settings.randomSeed = nextRandom(g) & 2047;
  nameSettings(block, "random settings.q8r");
}

void plainSettings(ParameterBlock& block) {
  applyDefaultSettings(block.settings);
  nameSettings(block, "plain settings.q8r");
}
