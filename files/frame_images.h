// The four pictures that frame every thumbnail on a gallery page with a soft grey drop
// shadow: the page stretches them along the thumbnail's sides.
#pragma once

#include <cstdint>
#include <vector>

#include "sdk/host_interface.h"

struct FrameImage {
  const char* name;  // "top", "left", "right" or "bottom"
  int32_t width, height;
  int32_t left, top;  // where it lies in the 94 x 95 frame around a picture at (3, 2)
};

// Around an 88 x 88 picture: 94 x 2 above, 3 x 88 on each side, 94 x 5 below.
inline constexpr FrameImage kFrameImages[4] = {
    {"top", 94, 2, 0, 0}, {"left", 3, 88, 0, 2}, {"right", 3, 88, 91, 2}, {"bottom", 94, 5, 0, 90}};

// The GIF89a file of one frame picture.
std::vector<uint8_t> frameGif(const FrameImage& frame);

// Writes "top.gif", "left.gif", "right.gif" and "bottom.gif" into the folder, replacing
// what is there; the first failure's code (99 when a file cannot be opened).
OSErr writeFrameImages(const char* folder);
