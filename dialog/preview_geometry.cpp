#include "dialog/preview_geometry.h"

#include <algorithm>
#include <cstdio>

int32_t visibleWidth(int32_t width, int32_t scale) { return std::min(width / scale, kPreviewArea.width); }
int32_t visibleHeight(int32_t height, int32_t scale) { return std::min(height / scale, kPreviewArea.height); }

static int32_t clampAxis(int32_t offset, int32_t size, int32_t areaSize, int32_t scale) {
  const int32_t limit = std::max(0, size / scale - areaSize) * scale;
  return std::clamp(offset, 0, limit) / scale * scale;
}

PixelPoint clampPan(PixelPoint pan, int32_t width, int32_t height, int32_t scale) {
  return {clampAxis(pan.x, width, kPreviewArea.width, scale), clampAxis(pan.y, height, kPreviewArea.height, scale)};
}

PixelPoint zoomedPan(PixelPoint pan, int32_t width, int32_t height, int32_t oldScale, int32_t newScale) {
  const int32_t centreX = pan.x + visibleWidth(width, oldScale) * oldScale / 2;
  const int32_t centreY = pan.y + visibleHeight(height, oldScale) * oldScale / 2;
  const PixelPoint corner{centreX - visibleWidth(width, newScale) * newScale / 2,
                          centreY - visibleHeight(height, newScale) * newScale / 2};
  return clampPan(corner, width, height, newScale);
}

PixelPoint pictureCorner(int32_t pictureWidth, int32_t pictureHeight) {
  const PreviewArea& a = kPreviewArea;
  return {pictureWidth < a.width ? a.left + (a.width - pictureWidth) / 2 : a.left,
          pictureHeight < a.height ? a.top + (a.height - pictureHeight) / 2 : a.top};
}

void zoomText(int32_t scale, char (&text)[8]) { std::snprintf(text, sizeof text, "%d%%", 100 / std::max(scale, 1)); }

void pickCentre(ParameterBlock& block, int32_t mx, int32_t my, PixelPoint corner, int32_t scale, int32_t width,
                int32_t height) {
  block.centrePixel = {(mx - corner.x) * scale + block.panOffset.x, (my - corner.y) * scale + block.panOffset.y};
  block.settings.centreX = static_cast<float>(block.centrePixel.x) / static_cast<float>(std::max(width, 1));
  block.settings.centreY = static_cast<float>(block.centrePixel.y) / static_cast<float>(std::max(height, 1));
}
