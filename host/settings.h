// The effect's complete parameter set. It lives inside the host-held parameter block, so it
// survives between runs; the dialog edits it, scripting carries sixteen of its fields,
// settings files store all of it and the renderer reads it.
#pragma once

#include <cstdint>

struct Colour16 {
  uint16_t red, green, blue;
};

struct Vector3 {
  float x, y, z;
};

// Field order matters: it is the order of the record in the host's parameter block.
struct Settings {
  Vector3 vectorA;
  Vector3 vectorB;
  int32_t glue;
  int32_t randomSeed;
  float centreX;  // fraction of the filter rectangle's width from its left edge
  float centreY;  // fraction of its height from its top edge
  Colour16 waterColour;
  Colour16 colourA;
  Colour16 colourB;
  Colour16 colourC;
  Colour16 colourD;
  Colour16 colourE;
  Colour16 colourF;
  Colour16 colourG;
  int32_t rippleHeight;
  int32_t storedInt01;
  int32_t storedInt02;
  int32_t storedInt03;
  int32_t horizon;
  int32_t perspective;
  int32_t storedInt04;
  int32_t storedInt05;
  int32_t storedInt06;
  int32_t storedInt07;
  int32_t undulation;
  int32_t storedInt08;
  int32_t storedInt09;
  int32_t storedInt10;
  int32_t rippleSize;
  int32_t offset;
  int32_t waviness;
  int32_t blur;
  int32_t complexity;
  int32_t altitude;
  int32_t storedInt11;
  int32_t storedInt12;
  int32_t storedInt13;
  int32_t storedInt14;
  int32_t storedInt15;
  int32_t storedInt16;
  int32_t storedInt17;
  int32_t brilliance;
  int32_t storedInt18;
  int32_t storedInt19;
};

// Writes the default of every field except colourG, which keeps what it holds.
void applyDefaultSettings(Settings& settings);
