// Where windows go and how big dialog units are: the same for every backend.
#include <algorithm>

#include "ui/window.h"

namespace {
// Rounds a × b / c to the nearest whole number, halves away from zero.
int32_t scaleRounded(int32_t a, int32_t b, int32_t c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = c / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}
}  // namespace

UiRect uiDialogUnitsToPixels(const UiRect& units) {
  return {scaleRounded(units.left, kUiBaseUnitX, 4), scaleRounded(units.top, kUiBaseUnitY, 8),
          scaleRounded(units.width, kUiBaseUnitX, 4), scaleRounded(units.height, kUiBaseUnitY, 8)};
}

UiPoint placeWindow(const UiRect& owner, int32_t width, int32_t height, const UiRect& screen, bool systemMenu) {
  const int32_t shift = systemMenu ? kUiCaptionButtonWidth : kUiCaptionButtonWidth - kUiCaptionButtonWidth / 3;
  UiPoint p;
  p.x = owner.left + std::max(0, owner.width - width) / 2 - shift;
  p.y = owner.top + std::max(0, owner.height - height) / 3;
  const int32_t right = screen.left + screen.width, bottom = screen.top + screen.height;
  if (p.x + width > right) p.x = std::max(screen.left, right - width);
  if (p.y + height > bottom) p.y = std::max(screen.top, bottom - height);
  return p;
}
