#include "app/orientation.h"

#include <cstring>

HostImage turnUpright(const HostImage& image, int orientation) {
  if (orientation < 2 || orientation > 8) return image;
  // 5 to 8 exchange the sides.
  const bool across = orientation >= 5;
  const int32_t w = across ? image.height : image.width, h = across ? image.width : image.height;
  const int32_t lastX = image.width - 1, lastY = image.height - 1;
  HostImage upright = makeHostImage(w, h, image.depth, image.colourPlanes, image.transparency);
  const size_t pixelBytes = size_t(image.planes()) * image.bytesPerSample();
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* out = upright.samples.data() + size_t(y) * upright.rowBytes();
    for (int32_t x = 0; x < w; ++x, out += pixelBytes) {
      // The stored pixel seen at (x, y).
      int32_t sx = 0, sy = 0;
      switch (orientation) {
        case 2: sx = lastX - x, sy = y; break;
        case 3: sx = lastX - x, sy = lastY - y; break;
        case 4: sx = x, sy = lastY - y; break;
        case 5: sx = y, sy = x; break;
        case 6: sx = y, sy = lastY - x; break;
        case 7: sx = lastX - y, sy = lastY - x; break;
        default: sx = lastX - y, sy = x; break;
      }
      std::memcpy(out, image.samples.data() + size_t(sy) * image.rowBytes() + size_t(sx) * pixelBytes, pixelBytes);
    }
  }
  return upright;
}
