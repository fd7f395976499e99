#include "render/glue_names.h"

namespace {

const char* const kGlueNames[kGlueCount] = {
    "normal",     "procedural +", "procedural -", "difference", "lighten",      "darken",
    "add",        "subtract",     "multiply",     "screen",     "hard light",   "overlay",
    "superlay",   "exclusion",    "color",        "luminance",  "linear light", "pin light",
    "spin light", "vivid a",      "vivid b",      "saturation", "hue",          "similarity",
    "cross",      "harsh diff",   "soft light",   "bright",     "dim",          "dodge",
    "burn",       "ace",          "king",         "queen",      "jack",         "and",
    "or",         "xor",          "multibright",  "hot",        "cold",         "wet",
    "dry",        "up",           "down",         "wax",        "wane",         "north",
    "south",      "east",         "west",         "hard mix",   "frontal",      "parietal",
    "temporal",   "occipital",    "limbic",       "dextrous",   "sinister",     "anterior",
    "posterior",  "screendim",
};

}  // namespace

const char* glueName(int32_t glue) {
  if (glue < 1 || glue > kGlueCount) return nullptr;
  return kGlueNames[glue - 1];
}
