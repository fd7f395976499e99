#include <cairo.h>
#include <gtest/gtest.h>

#include "tests/isolated_temp.h"
#include "tests/ui/test_dialog.h"
#include "ui/canvas.h"

namespace {
const ControlTemplate controls[] = {
    {7, ControlKind::ownerDrawButton, "", {300, 100, 20, 20}},
    {3, ControlKind::pushButton, "OK", {240, 150, 62, 27}, kUiDefaultButton},
    {8, ControlKind::placeholder, "", {0, 0, 10, 10}},
};
const DialogTemplate paintTemplate{"PAINT", "Paint", 340, 200, controls};

const uint8_t twoPixels[] = {255, 0, 0, 0, 0, 255};
const uint8_t halfSeen[] = {0, 255, 0, 0, 0, 0, 255, 255};  // a transparent and an opaque pixel

struct Snapshot {
  cairo_surface_t* surface;
  explicit Snapshot(const std::string& path) : surface(cairo_image_surface_create_from_png(path.c_str())) {}
  ~Snapshot() { cairo_surface_destroy(surface); }
  bool valid() const { return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS; }
  UiColour at(int x, int y) const {
    const uint8_t* data = cairo_image_surface_get_data(surface);
    const uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * cairo_image_surface_get_stride(surface) + x * 4);
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
  }
};

testing::AssertionResult is(UiColour c, int r, int g, int b) {
  if (c.red == r && c.green == g && c.blue == b) return testing::AssertionSuccess();
  return testing::AssertionFailure() << int(c.red) << "," << int(c.green) << "," << int(c.blue);
}

bool dark(UiColour c) { return c.red < 128 && c.green < 128 && c.blue < 128; }
}  // namespace

TEST(Canvas, PaintedOperationsReachTheSnapshotExactly) {
  headlessClear();
  TestDialog d;
  std::vector<uint32_t> drawStates;
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    Canvas* c = e.canvas;
    switch (e.message) {
      case UiMessage::eraseBackground:
        canvasFill(c, {0, 0, 340, 200}, {255, 255, 255});
        return true;
      case UiMessage::paint:
        canvasFill(c, {10, 10, 20, 20}, {200, 0, 0});
        canvasFrame(c, {40, 10, 20, 20}, {0, 0, 200});
        canvasSetPixel(c, {300, 5}, {1, 2, 3});
        canvasPixels(c, twoPixels, 2, 1, 6, 3, {200, 50, 2, 1});
        canvasPixels(c, twoPixels, 2, 1, 6, 3, {200, 60, 20, 10});  // scaled up ten times
        canvasPicture(c, {2, 1, halfSeen}, {210, 50});
        canvasText(c, {100, 10, 80, 16}, "Horizon", kUiTextBlack, UiAlign::right);
        canvasExcludeClip(c, {0, 50, 20, 20});
        canvasFill(c, {0, 50, 40, 20}, {0, 150, 0});
        return true;
      case UiMessage::drawItem:
        drawStates.push_back(e.itemState);
        canvasButtonFace(c, e.area, e.itemState);
        return true;
      case UiMessage::command:
        if (e.id == 9) {
          Canvas* direct = uiBeginDraw(dialog);
          canvasFill(direct, {0, 80, 10, 10}, {255, 255, 0});
          uiEndDraw(dialog, direct);
        }
        return true;
      default:
        return false;
    }
  };
  const std::string before = isolatedTempFolder() + "before.png", after = isolatedTempFolder() + "after.png";
  d.run(paintTemplate, "snapshot " + before + ";click 7;command 9;snapshot " + after);

  Snapshot s(before);
  ASSERT_TRUE(s.valid());
  EXPECT_EQ(cairo_image_surface_get_width(s.surface), 340);
  EXPECT_TRUE(is(s.at(10, 10), 200, 0, 0));
  EXPECT_TRUE(is(s.at(29, 29), 200, 0, 0));
  EXPECT_TRUE(is(s.at(30, 30), 255, 255, 255));
  EXPECT_TRUE(is(s.at(40, 29), 0, 0, 200));
  EXPECT_TRUE(is(s.at(41, 28), 255, 255, 255));  // a frame, not a fill
  EXPECT_TRUE(is(s.at(300, 5), 1, 2, 3));
  EXPECT_TRUE(is(s.at(200, 50), 255, 0, 0));
  EXPECT_TRUE(is(s.at(201, 50), 0, 0, 255));
  EXPECT_TRUE(is(s.at(202, 65), 255, 0, 0));  // the left half of the enlarged pair
  EXPECT_TRUE(is(s.at(217, 65), 0, 0, 255));
  EXPECT_TRUE(is(s.at(210, 50), 255, 255, 255));  // transparent: the background shows
  EXPECT_TRUE(is(s.at(211, 50), 0, 0, 255));
  EXPECT_TRUE(is(s.at(5, 55), 255, 255, 255));  // clipped out
  EXPECT_TRUE(is(s.at(30, 55), 0, 150, 0));
  // The text ends at the rectangle's right edge and starts well inside it.
  int firstInk = -1, lastInk = -1;
  for (int x = 90; x < 200; ++x) {
    for (int y = 10; y < 26; ++y) {
      if (dark(s.at(x, y))) {
        if (firstInk < 0) firstInk = x;
        lastInk = x;
      }
    }
  }
  EXPECT_GE(lastInk, 176);
  EXPECT_LE(lastInk, 179);
  EXPECT_GT(firstInk, 130);
  // The push button is drawn into the snapshot: a face with a light top-left edge.
  EXPECT_TRUE(is(s.at(240, 150), 255, 255, 255));
  EXPECT_TRUE(is(s.at(243, 153), 222, 222, 222));

  Snapshot a(after);
  ASSERT_TRUE(a.valid());
  EXPECT_TRUE(is(a.at(5, 85), 255, 255, 0));  // drawn outside a paint message, and kept
  // The owner-drawn button was drawn again with the focus the click gave it: a black outline.
  ASSERT_EQ(drawStates.size(), 2u);
  EXPECT_EQ(drawStates[0], 0u);
  EXPECT_EQ(drawStates[1], kUiItemFocused);
  EXPECT_TRUE(is(a.at(300, 100), 0, 0, 0));
}

TEST(Canvas, ARedrawAsksToPaintOnlyTheAreaAndDisabledFacesAreGrey) {
  headlessClear();
  TestDialog d;
  d.handler = [](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::command && e.id == 5) uiRedraw(dialog, {320, 190, 50, 50});
    if (e.message == UiMessage::command && e.id == 6) uiEnableControl(dialog, 7, false);
    if (e.message == UiMessage::drawItem) canvasButtonFace(e.canvas, e.area, e.itemState);
    return false;
  };
  const std::string path = isolatedTempFolder() + "disabled.png";
  d.run(paintTemplate, "command 5;command 6;snapshot " + path);
  const auto paints = d.of(UiMessage::paint);
  ASSERT_EQ(paints.size(), 3u);
  EXPECT_EQ(paints[0].area.width, 340);
  EXPECT_EQ(paints[1].area.left, 320);
  EXPECT_EQ(paints[1].area.width, 20);  // kept inside the client area
  EXPECT_EQ(paints[1].area.height, 10);
  EXPECT_EQ(paints[2].area.left, 300);  // only the button that changed
  EXPECT_EQ(d.of(UiMessage::eraseBackground).size(), 3u);
  Snapshot s(path);
  ASSERT_TRUE(s.valid());
  EXPECT_TRUE(is(s.at(300, 100), 140, 140, 140));
  EXPECT_TRUE(is(s.at(301, 101), 222, 222, 222));
}

TEST(Canvas, StaticTextsWrapAtSpacesWithinTheirRectangles) {
  headlessClear();
  static const ControlTemplate texts[] = {
      {1, ControlKind::text, "The filter cannot run because your program lacks a part", {10, 10, 120, 40}},
  };
  static const DialogTemplate message{"WRAP", "Wrap", 200, 80, texts};
  TestDialog d;
  d.handler = [](UiDialog*, const UiEvent& e) {
    if (e.message == UiMessage::eraseBackground) canvasFill(e.canvas, e.area, {255, 255, 255});
    return e.message == UiMessage::eraseBackground;
  };
  const std::string path = isolatedTempFolder() + "wrap.png";
  d.run(message, "snapshot " + path);
  Snapshot s(path);
  ASSERT_TRUE(s.valid());
  auto inkInRows = [&](int top, int bottom, int left, int right) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (dark(s.at(x, y))) return true;
    return false;
  };
  EXPECT_TRUE(inkInRows(10, 23, 10, 130));
  EXPECT_TRUE(inkInRows(23, 36, 10, 130));   // a second line
  EXPECT_TRUE(inkInRows(36, 50, 10, 130));   // and a third
  EXPECT_FALSE(inkInRows(0, 80, 130, 200));  // nothing past the right edge
  EXPECT_FALSE(inkInRows(50, 80, 0, 200));   // nor below the rectangle
}
