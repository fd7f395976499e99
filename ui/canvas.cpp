// The canvas operations made of the platform's few primitives (fill, pixels, one line of
// text), so that a button face or a wrapped text comes out the same on every platform.
#include "ui/canvas.h"

#include <string>
#include <vector>

#include "ui/client_surface.h"

void canvasFrame(Canvas* canvas, const UiRect& r, UiColour colour) {
  if (r.width <= 0 || r.height <= 0) return;
  canvasFill(canvas, {r.left, r.top, r.width, 1}, colour);
  canvasFill(canvas, {r.left, r.top + r.height - 1, r.width, 1}, colour);
  canvasFill(canvas, {r.left, r.top, 1, r.height}, colour);
  canvasFill(canvas, {r.left + r.width - 1, r.top, 1, r.height}, colour);
}

void canvasButtonFace(Canvas* canvas, const UiRect& rect, uint32_t itemState) {
  constexpr UiColour face{222, 222, 222}, light{255, 255, 255}, shade{160, 160, 160}, dark{96, 96, 96};
  constexpr UiColour grey{140, 140, 140}, black{0, 0, 0};
  canvasFill(canvas, rect, face);
  if (itemState & kUiItemDisabled) {
    canvasFrame(canvas, rect, grey);
    return;
  }
  UiRect r = rect;
  if (itemState & kUiItemFocused) {
    canvasFrame(canvas, r, black);
    r = {r.left + 1, r.top + 1, r.width - 2, r.height - 2};
  }
  if (r.width < 2 || r.height < 2) return;
  const bool pressed = itemState & kUiItemPressed;
  const int32_t right = r.left + r.width - 1, bottom = r.top + r.height - 1;
  // Outer edge, then a softer inner edge; a pressed face swaps light and dark.
  canvasFill(canvas, {r.left, r.top, r.width - 1, 1}, pressed ? dark : light);
  canvasFill(canvas, {r.left, r.top, 1, r.height - 1}, pressed ? dark : light);
  canvasFill(canvas, {r.left, bottom, r.width, 1}, pressed ? light : dark);
  canvasFill(canvas, {right, r.top, 1, r.height}, pressed ? light : dark);
  if (r.width < 4 || r.height < 4) return;
  canvasFill(canvas, {r.left + 1, bottom - 1, r.width - 2, 1}, pressed ? face : shade);
  canvasFill(canvas, {right - 1, r.top + 1, 1, r.height - 2}, pressed ? face : shade);
  if (pressed) {
    canvasFill(canvas, {r.left + 1, r.top + 1, r.width - 3, 1}, shade);
    canvasFill(canvas, {r.left + 1, r.top + 1, 1, r.height - 3}, shade);
  }
}

void canvasSetPixel(Canvas* canvas, UiPoint point, UiColour colour) { canvasFill(canvas, {point.x, point.y, 1, 1}, colour); }

void canvasPicture(Canvas* canvas, const UiPicture& picture, UiPoint at) {
  if (!picture.rgba || picture.width <= 0 || picture.height <= 0) return;
  canvasPixels(canvas, picture.rgba, picture.width, picture.height, picture.width * 4, 4,
               {at.x, at.y, picture.width, picture.height});
}

void canvasWrappedText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align) {
  if (!text) return;
  std::vector<std::string> lines(1);
  const std::string all = text;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(' ', start);
    if (end == std::string::npos) end = all.size();
    const std::string word = all.substr(start, end - start);
    const std::string longer = lines.back().empty() ? word : lines.back() + " " + word;
    // A word wider than the rectangle stays on a line of its own, clipped.
    if (!lines.back().empty() && canvasTextWidth(canvas, longer) > rect.width) lines.push_back(word);
    else lines.back() = longer;
    start = end + 1;
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const UiRect line{rect.left, rect.top + static_cast<int32_t>(i) * kUiBaseUnitY, rect.width, kUiBaseUnitY + 3};
    if (line.top >= rect.top + rect.height) break;
    canvasText(canvas, line, lines[i].c_str(), colour, align);
  }
}
