#include "host/settings.h"

#include <cmath>

void applyDefaultSettings(Settings& s) {
  s.waterColour = {0x0101, 0x0202, 0x0303};
  s.rippleHeight = 33;
  s.horizon = 60;
  s.perspective = 57;
  s.undulation = 40;
  s.rippleSize = 0;
  s.offset = 0;
  s.waviness = 40;
  s.blur = 25;
  s.complexity = 50;
  s.altitude = 50;
  s.glue = 1;
  s.brilliance = 42;
  s.randomSeed = 21;
  s.centreX = 0.5f;
  s.centreY = 0.2f;

  s.colourA = {0x6BF0, 0x8311, 0x9CC5};
  s.colourB = {0x0CD9, 0x1721, 0x47F5};
  s.colourC = {0xE3E3, 0xC8C8, 0x9191};
  s.colourD = {0xE1E1, 0xE3E3, 0xEFEF};
  s.colourE = {0xFFFF, 0xFFFF, 0xFFFF};
  s.colourF = {0x70A3, 0x6147, 0x3333};

  // A unit vector: z follows from x and y.
  const float x = -0.68f, y = -0.68f;
  s.vectorA = {x, y, std::sqrt(1.0f - x * x - y * y)};
  s.vectorB = {0.0f, -1.0f, 0.0f};

  s.storedInt01 = 50;
  s.storedInt02 = 80;
  s.storedInt03 = 80;
  s.storedInt04 = 0;
  s.storedInt05 = 30;
  s.storedInt06 = 4;
  s.storedInt07 = 50;
  s.storedInt08 = 0;
  s.storedInt09 = 0;
  s.storedInt10 = 0;
  s.storedInt11 = 50;
  s.storedInt12 = 50;
  s.storedInt13 = 4;
  s.storedInt14 = 0;
  s.storedInt15 = 57;
  s.storedInt16 = 100;
  s.storedInt17 = 0;
  s.storedInt18 = 50;
  s.storedInt19 = 0;
}
