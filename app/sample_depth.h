// Samples between the depths of image files and the depths of the host (16-bit samples
// through hostFrom16 and fileFrom16).
#pragma once

#include <cstdint>

#include "app/host/host.h"

// A 16-bit image just read from a file brought to the host's scale, in place; other depths
// are left as they are.
void samplesFromFile(HostImage& image);

// The image at another depth (8, 16 or 32). Floats are clamped to 0..1 when they go to
// integers; integers are scaled to the nearest level.
HostImage convertDepth(const HostImage& image, int32_t depth);
