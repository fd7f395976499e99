// EXIF orientation: how the stored pixels are turned and mirrored to be seen the right way
// up. The filter needs the picture as it is seen, so that the water lies at its bottom.
#pragma once

#include "app/host/host.h"

// The image as it is displayed for `orientation` (1 to 8; anything else leaves it as it is).
HostImage turnUpright(const HostImage& image, int orientation);
