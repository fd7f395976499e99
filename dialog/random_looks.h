// The buttons that change many settings at once: Dice (a random look), Ecce (new ripples for
// the same look) and plain settings (the defaults).
#pragma once

#include <cstdint>

#include "host/plugin_state.h"

void seedRandom(RandomGenerator& generator, uint32_t seed);
// 0 .. 32767.
int32_t nextRandom(RandomGenerator& generator);
// a .. b inclusive (the bounds are swapped when b < a). Only the generator's upper eleven
// bits are used, so a range wider than 2047 is not reached in full.
int32_t randomBetween(RandomGenerator& generator, int32_t a, int32_t b);

// Each also names the settings after what it did.
void diceSettings(ParameterBlock& block, RandomGenerator& generator);
void ecceSettings(ParameterBlock& block, RandomGenerator& generator);
void plainSettings(ParameterBlock& block);
