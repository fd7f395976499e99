// The 25 memory dots around their picture panel: storing, recalling, pinning and emptying
// by click, the stored look shown in the panel as the pointer passes over a dot.
#include <algorithm>

#include "dialog/main_dialog_record.h"
#include "dialog/memory_dot_files.h"
#include "files/thumbnail.h"
#include "resources/artwork.h"
#include "ui/canvas.h"

namespace {

constexpr UiRect kPanelPicture{370, 403, 88, 88};

int32_t slotOf(int32_t id) { return id - kIdFirstMemoryDot; }

bool contains(const UiRect& r, UiPoint p) {
  return p.x >= r.left && p.x < r.left + r.width && p.y >= r.top && p.y < r.top + r.height;
}

void select(MemoryDots& dots, int32_t slot) {
  for (int16_t& display : dots.display)
    if (display == kDotCurrent) display = kDotFilled;
  dots.display[slot] = kDotCurrent;
}

void emptyPanel(MainDialog& d) {
  const bool wasShowing = !d.panelPicture.empty();
  d.panelPicture.clear();
  d.shownDot = d.hoveredDot = -1;
  if (wasShowing) redrawControl(d, kIdDotPreview);
}

// A dot whose picture cannot be read leaves the panel's picture as it was.
void showDot(MainDialog& d, int32_t slot) {
  d.shownDot = d.hoveredDot = slot;
  if (!loadMemoryDotThumbnail(*d.state, slot)) return;
  d.panelPicture.resize(size_t(kThumbnailSide) * kThumbnailSide * 3);
  thumbnailRgb(d.state->thumbnail, d.panelPicture.data());
  redrawControl(d, kIdDotPreview);
}

// Stores the current settings into an empty slot and selects it; a slot whose file cannot
// be written stays empty, since it would recall nothing.
bool storeInto(MainDialog& d, int32_t slot) {
  readControlsIntoSettings(d);
  if (!storeMemoryDot(*d.state, slot)) return false;
  select(d.state->memoryDots, slot);
  showDot(d, slot);
  d.hoveredDot = -1;
  return true;
}

// A dot whose file has gone or been damaged since it was stored holds nothing any more.
void recall(MainDialog& d, int32_t slot) {
  MemoryDots& dots = d.state->memoryDots;
  if (!recallMemoryDot(*d.state, slot)) {
    dots.display[slot] = kDotEmpty;
    dots.pinned[slot] = 0;
    if (d.shownDot == slot) emptyPanel(d);
    return;
  }
  select(dots, slot);
  writeSettingsIntoControls(d);
  redrawControl(d, kIdStatusLine);
  d.rerender = true;
}

int32_t dotPicture(int16_t display, bool pinned, bool pressed) {
  if (display == kDotEmpty) return pressed ? kArtworkDotEmptyPressed : kArtworkDotEmpty;
  if (display == kDotFilled) {
    if (pinned) return pressed ? kArtworkDotHeldPinnedPressed : kArtworkDotHeldPinned;
    return pressed ? kArtworkDotHeldPressed : kArtworkDotHeld;
  }
  if (pinned) return pressed ? kArtworkDotSelectedPinnedPressed : kArtworkDotSelectedPinned;
  return pressed ? kArtworkDotSelectedPressed : kArtworkDotSelected;
}

}  // namespace

void redrawMemoryDots(MainDialog& d) {
  for (int32_t id = kIdFirstMemoryDot; id <= kIdLastMemoryDot; ++id) redrawControl(d, id);
}

void resetMemoryDotPanel(MainDialog& d) {
  MemoryDots& dots = d.state->memoryDots;
  for (int32_t i = 0; i < kMemoryDotCount; ++i) {
    dots.display[i] = kDotEmpty;
    dots.controlId[i] = kIdFirstMemoryDot + i;
  }
  d.hoveredDot = d.shownDot = -1;
  d.panelPicture.clear();
  redrawControl(d, kIdDotPreview);
}

void startMemoryDots(MainDialog& d) {
  MemoryDots& dots = d.state->memoryDots;
  for (int32_t i = 0; i < kMemoryDotCount; ++i) {
    if (!dots.pinned[i]) continue;
    // A pin whose file has gone (the temporary folder was cleaned) would show a dot that
    // recalls nothing: it is forgotten instead.
    if (memoryDotFileExists(i))
      dots.display[i] = kDotFilled;
    else
      dots.pinned[i] = 0;
  }
  const int32_t* firstFree = std::find(dots.pinned, dots.pinned + kMemoryDotCount, 0);
  if (firstFree != dots.pinned + kMemoryDotCount) storeInto(d, int32_t(firstFree - dots.pinned));
  redrawMemoryDots(d);
}

void memoryDotClick(MainDialog& d, int32_t id) {
  const int32_t slot = slotOf(id);
  if (slot < 0 || slot >= kMemoryDotCount) return;
  PluginState& state = *d.state;
  MemoryDots& dots = state.memoryDots;
  if (dots.display[slot] == kDotEmpty) {
    // Control with the left button stores for this run only.
    if (storeInto(d, slot)) dots.pinned[slot] = state.mouseControl && !state.mouseRight ? 0 : 1;
  } else if (state.mouseRight) {
    dots.display[slot] = kDotEmpty;
    dots.pinned[slot] = 0;
    emptyPanel(d);
  } else if (state.mouseControl) {
    dots.pinned[slot] = 0;
  } else {
    recall(d, slot);
  }
  redrawMemoryDots(d);
}

void dotPanelClick(MainDialog& d) {
  const int32_t slot = d.shownDot;
  if (slot < 0 || d.state->memoryDots.display[slot] == kDotEmpty) return;
  recall(d, slot);
  redrawMemoryDots(d);
}

void memoryDotsHover(MainDialog& d, UiPoint point) {
  const MemoryDots& dots = d.state->memoryDots;
  for (int32_t slot = 0; slot < kMemoryDotCount; ++slot) {
    if (!contains(controlRect(kIdFirstMemoryDot + slot), point)) continue;
    if (dots.display[slot] == kDotEmpty)
      emptyPanel(d);
    else if (d.hoveredDot != slot)
      showDot(d, slot);
  }
}

void memoryDotPressedLook(MainDialog& d, int32_t id, UiPoint point) {
  const int32_t pressed = contains(controlRect(id), point) ? kDotPressed : 0;
  if ((d.value[id] & kDotPressed) == pressed) return;
  d.value[id] = (d.value[id] & ~kDotPressed) | pressed;
  redrawControl(d, id);
}

void paintMemoryDot(MainDialog& d, Canvas* canvas, int32_t id) {
  const int32_t slot = slotOf(id);
  const MemoryDots& dots = d.state->memoryDots;
  const int32_t picture = dotPicture(dots.display[slot], dots.pinned[slot] != 0, d.value[id] & kDotPressed);
  const UiRect r = controlRect(id);
  canvasPicture(canvas, artworkPicture(picture), {r.left, r.top + 2});
}

void paintDotPanel(MainDialog& d, Canvas* canvas) {
  const UiRect r = controlRect(kIdDotPreview);
  canvasPicture(canvas, artworkPicture(kArtworkDotFrame), {r.left, r.top});
  if (d.panelPicture.empty()) return;
  canvasPixels(canvas, d.panelPicture.data(), kThumbnailSide, kThumbnailSide, kThumbnailSide * 3, 3, kPanelPicture);
}
