// The preview in the dialog: drawing it, re-rendering it, the zoom buttons, and the mouse on
// it (a click places the ripple centre, a drag pans a zoomed view).
#include "dialog/main_dialog_record.h"
#include "dialog/preview.h"
#include "dialog/undo_levels.h"
#include "resources/artwork.h"
#include "ui/canvas.h"

namespace {

constexpr UiRect kAreaRect{kPreviewArea.left, kPreviewArea.top, kPreviewArea.width, kPreviewArea.height};

UiRect pictureRect(const PluginState& state) {
  const int32_t width = previewWidth(state), height = previewHeight(state);
  const PixelPoint corner = pictureCorner(width, height);
  return {corner.x, corner.y, width, height};
}

void showCursor(MainDialog& d, int32_t id) {
  const ArtworkCursor cursor = artworkCursor(id);
  uiSetCursor(d.window, uiPictureCursor(cursor.picture, cursor.hotX, cursor.hotY));
  d.cursorChanged = true;
}

bool inArea(UiPoint p) {
  return p.x >= kAreaRect.left && p.x < kAreaRect.left + kAreaRect.width && p.y >= kAreaRect.top &&
         p.y < kAreaRect.top + kAreaRect.height;
}

// Draws outside a paint message, as a render or a pan leaves it.
void drawNow(MainDialog& d, bool surround) {
  Canvas* canvas = uiBeginDraw(d.window);
  if (!canvas) return;
  drawPreview(d, canvas, surround);
  uiEndDraw(d.window, canvas);
}

int32_t imageWidth(const PluginState& s) { return s.savedFilterRect.right - s.savedFilterRect.left; }
int32_t imageHeight(const PluginState& s) { return s.savedFilterRect.bottom - s.savedFilterRect.top; }

void pickAt(MainDialog& d, UiPoint point) {
  const UiRect picture = pictureRect(*d.state);
  pickCentre(blockOf(d), point.x, point.y, {picture.left, picture.top}, blockOf(d).previewScale,
             imageWidth(*d.state), imageHeight(*d.state));
}

}  // namespace

void drawPreview(MainDialog& d, Canvas* canvas, bool surround) {
  if (!blockOf(d).hostPreviewUsable) return;
  const UiRect picture = pictureRect(*d.state);
  displayPreview(*d.state, {picture.left, picture.top}, canvasPlatformContext(canvas));
  if (!surround) return;
  canvasExcludeClip(canvas, picture);
  canvasFill(canvas, kAreaRect, {255, 255, 255});
  // The frame lies just outside the area inset by two pixels; a picture as large as the
  // area covers it.
  canvasFrame(canvas, {kAreaRect.left + 1, kAreaRect.top + 1, kAreaRect.width - 2, kAreaRect.height - 2}, {0, 0, 0});
}

void rerenderPreview(MainDialog& d) {
  uiKillTimer(d.window, kEditTimer);
  readControlsIntoSettings(d);
  if (!blockOf(d).hostPreviewUsable) return;
  uiSetCursor(d.window, kUiWaitCursor);
  renderPreview(*d.state, true);
  uiSetCursor(d.window, kUiArrowCursor);
  d.cursorChanged = false;
  drawNow(d, true);
}

void updateZoomControls(MainDialog& d) {
  ParameterBlock& block = blockOf(d);
  const bool zoom = block.hostPreviewUsable && previewZoomSupported(*d.state->filterRecord);
  const int32_t scale = block.previewScale;
  uiEnableControl(d.window, kIdZoomIn, zoom && scale > 1);
  uiEnableControl(d.window, kIdZoomOut, zoom && scale < d.state->fitScale);
  char text[8];
  zoomText(scale, text);
  uiSetControlText(d.window, kIdZoom100, text);
  block.zoomChanged = false;
}

bool previewPress(MainDialog& d, UiPoint point) {
  ParameterBlock& block = blockOf(d);
  if (!block.hostPreviewUsable) return true;
  // The whole image is in view: a press places the centre at once.
  if (block.previewScale == d.state->fitScale) {
    pickAt(d, point);
    rerenderPreview(d);
    return true;
  }
  block.capturedControl = kIdPreviewArea;
  block.captureTick = static_cast<int32_t>(uiTickCount());
  block.panMoved = false;
  uiSetCapture(d.window);
  block.lastMouse = {static_cast<int16_t>(point.y), static_cast<int16_t>(point.x)};
  showCursor(d, kArtworkCursorPreview);
  return true;
}

void previewMove(MainDialog& d, UiPoint point) {
  ParameterBlock& block = blockOf(d);
  block.currentMouse = {static_cast<int16_t>(point.y), static_cast<int16_t>(point.x)};
  const int32_t dx = block.currentMouse.x - block.lastMouse.x, dy = block.currentMouse.y - block.lastMouse.y;
  const int32_t scale = block.previewScale;
  if (dx != 0 || dy != 0) {
    const PixelPoint before = block.panOffset;
    block.panOffset = clampPan({before.x - dx * scale, before.y - dy * scale}, imageWidth(*d.state),
                               imageHeight(*d.state), scale);
    block.panMoved = true;
    if (fetchPreview(*d.state)) {
      showCursor(d, kArtworkCursorPanning);
      renderPreview(*d.state, false);
      drawNow(d, false);
    }
  }
  block.lastMouse = block.currentMouse;
}

void previewRelease(MainDialog& d, UiPoint point) {
  ParameterBlock& block = blockOf(d);
  if (!block.panMoved) {
    pickAt(d, point);
    commitSettings(d, kIdCentrePick);
  }
  // A pan rendered without new tables; the view at rest gets them made afresh.
  rerenderPreview(d);
  block.capturedControl = -1;
}

void previewHover(MainDialog& d, UiPoint point) {
  if (inArea(point) && blockOf(d).hostPreviewUsable) {
    showCursor(d, kArtworkCursorPreview);
  } else if (d.cursorChanged) {
    uiSetCursor(d.window, kUiArrowCursor);
    d.cursorChanged = false;
  }
}
