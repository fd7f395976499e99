// The dialog paints its own controls over the background picture: captions, sliders, the
// status line, the memory dots and their panel; the colour swatch is an owner-drawn button.
#include "dialog/main_dialog_record.h"
#include "dialog/parameter_controls.h"
#include "resources/artwork.h"
#include "ui/canvas.h"

namespace {

constexpr UiColour kWhite{255, 255, 255};
constexpr UiColour kDisabledFace{222, 222, 222};
constexpr UiColour kDisabledLine{140, 140, 140};

void paintCaption(MainDialog& d, Canvas* canvas, int32_t id, const ControlEntry& entry) {
  const UiRect r = controlRect(id);
  // The text stands two pixels above the rectangle's middle line, as the sliders beside it.
  // The rectangles are narrower than the longer captions; right-aligned, those run on to the
  // left over the empty panel instead of losing their first letters.
  const int32_t overhang = 40;
  const UiRect text{r.left - overhang, r.top - 2 + (r.height - 14) / 2, r.width + overhang, r.height - 2};
  canvasText(canvas, text, captionText(entry.textIndex), d.enabled[id] ? kUiTextBlack : kUiTextGrey, UiAlign::right);
}

void paintSlider(MainDialog& d, Canvas* canvas, int32_t id, const ControlEntry& entry) {
  const UiRect r = controlRect(id);
  if (!d.enabled[id]) {
    const UiRect track{r.left, r.top, r.width - 2, 11};
    canvasFill(canvas, track, kDisabledFace);
    canvasFrame(canvas, track, kDisabledLine);
    return;
  }
  canvasPicture(canvas, artworkPicture(entry.track), {r.left, r.top});
  const int32_t x = sliderThumbX(d.value[id], r.left, r.width, d.minimum[id], d.maximum[id]);
  canvasPicture(canvas, artworkPicture(kArtworkSliderThumb), {x, r.top + 1});
}

}  // namespace

UiRect controlRect(int32_t id) {
  LayoutRect r{0, 0, 0, 0};
  controlLayout(id, r);
  return {r.left, r.top, r.width, r.height};
}

void paintBackground(Canvas* canvas, const UiRect& area) {
  canvasFill(canvas, area, kWhite);
  canvasPicture(canvas, artworkPicture(kArtworkDialogBackground), {0, 0});
}

void paintControl(MainDialog& d, Canvas* canvas, int32_t id) {
  const ControlEntry entry = controlEntry(id);
  const UiRect r = controlRect(id);
  switch (entry.kind) {
    case DialogControlKind::label:
      paintCaption(d, canvas, id, entry);
      break;
    case DialogControlKind::slider:
      paintSlider(d, canvas, id, entry);
      break;
    case DialogControlKind::statusLine:
      canvasText(canvas, {r.left, r.top + 2, r.width, r.height - 2}, blockOf(d).settingsFileName, kUiTextBlack,
                 UiAlign::left);
      break;
    case DialogControlKind::memoryDot:
      paintMemoryDot(d, canvas, id);
      break;
    case DialogControlKind::dotPreview:
      paintDotPanel(d, canvas);
      break;
    default:
      break;  // real child windows paint themselves; the preview is drawn before the controls
  }
}

void paintSwatch(MainDialog& d, Canvas* canvas, uint32_t itemState) {
  const UiRect r = controlRect(kIdColourSwatch);
  if (!d.enabled[kIdColourSwatch]) itemState |= kUiItemDisabled;
  canvasButtonFace(canvas, r, itemState);
  if (itemState & kUiItemDisabled) return;
  const int32_t inset = itemState & kUiItemFocused ? 3 : 2;
  const Colour16& c = d.colour[kIdColourSwatch];
  canvasFill(canvas, {r.left + inset, r.top + inset, r.width - 2 * inset, r.height - 2 * inset},
             {colourByte(c.red), colourByte(c.green), colourByte(c.blue)});
}

void redrawControl(MainDialog& d, int32_t id) { uiRedraw(d.window, controlRect(id)); }
