// The open dialog's life (building, messages, painting, timers) and the operations on its
// controls, the same for every backend.
#include <algorithm>

#include "ui/canvas.h"
#include "ui/client_surface.h"
#include "ui/dialog_record.h"
#include "ui/user_input.h"

namespace {
constexpr UiColour kDefaultBackground{240, 240, 240};

UiRect unite(const UiRect& a, const UiRect& b) {
  if (a.width <= 0 || a.height <= 0) return b;
  if (b.width <= 0 || b.height <= 0) return a;
  const int32_t left = std::min(a.left, b.left), top = std::min(a.top, b.top);
  const int32_t right = std::max(a.left + a.width, b.left + b.width);
  const int32_t bottom = std::max(a.top + a.height, b.top + b.height);
  return {left, top, right - left, bottom - top};
}

bool overlaps(const UiRect& a, const UiRect& b) {
  return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// Static texts and pictures are painted by the layer on top of the dialog's own painting,
// so that the mouse reaches the dialog through them.
void paintStatics(UiDialog* dialog, Canvas* canvas) {
  for (const UiControl& control : dialog->controls) {
    if (!control.shown) continue;
    if (control.kind == ControlKind::picture && control.picture.rgba) {
      canvasPicture(canvas, control.picture, {control.rect.left, control.rect.top});
    } else if (control.kind == ControlKind::text) {
      canvasWrappedText(canvas, control.rect, control.text.c_str(), control.enabled ? kUiTextBlack : kUiTextGrey,
                        (control.style & kUiCentred) ? UiAlign::centre : UiAlign::left);
    }
  }
}

// A change a backend need not show by itself: painted controls are painted again.
void changed(UiDialog* dialog, const UiControl& control) {
  if (!isChildWindow(control.kind) || control.kind == ControlKind::ownerDrawButton) uiRedraw(dialog, control.rect);
  dialog->backend->controlChanged(dialog, control);
}
}  // namespace

UiControl* findControl(UiDialog* dialog, int32_t id) {
  for (UiControl& control : dialog->controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

const UiControl* findControl(const UiDialog* dialog, int32_t id) {
  return findControl(const_cast<UiDialog*>(dialog), id);
}

UiRect childWindowRect(const UiControl& control) {
  UiRect rect = control.rect;
  if (control.kind == ControlKind::dropList) rect.height = std::min(rect.height, kUiDropListFieldHeight);
  return rect;
}

bool deliver(UiDialog* dialog, const UiEvent& event) { return dialog->proc(dialog, event, dialog->context); }

void buildDialog(UiDialog& dialog) {
  const DialogTemplate& t = *dialog.dialogTemplate;
  const bool units = t.units == UiUnits::dialogUnits;
  const UiRect size = units ? uiDialogUnitsToPixels({0, 0, t.width, t.height}) : UiRect{0, 0, t.width, t.height};
  dialog.width = size.width;
  dialog.height = size.height;
  int32_t group = 0;
  ControlKind previous = ControlKind::placeholder;
  for (const ControlTemplate& c : t.controls) {
    UiControl control{c.id, c.kind, c.style, units ? uiDialogUnitsToPixels(c.rect) : c.rect};
    control.text = c.text ? c.text : "";
    control.shown = c.kind != ControlKind::placeholder;
    // Radio buttons that follow each other form one group, unless one says it begins another.
    if (c.kind == ControlKind::radioButton && (previous != ControlKind::radioButton || (c.style & kUiGroup))) ++group;
    control.group = group;
    previous = c.kind;
    dialog.controls.push_back(control);
  }
  dialog.surface = surfaceCreate(std::max(1, dialog.width), std::max(1, dialog.height));
}

void releaseDialog(UiDialog& dialog) {
  for (UiTimer& timer : dialog.timers) dialog.backend->timerStopped(&dialog, timer);
  dialog.timers.clear();
  surfaceDestroy(dialog.surface);
  dialog.surface = nullptr;
}

void paintDialog(UiDialog* dialog) {
  if (!dialog->needsPaint) return;
  const UiRect area = dialog->paintArea;
  dialog->needsPaint = false;
  dialog->paintArea = {0, 0, 0, 0};
  Canvas* canvas = canvasBegin(dialog->surface);
  canvasClip(canvas, area);
  canvasSave(canvas);
  if (!deliver(dialog, {.message = UiMessage::eraseBackground, .canvas = canvas, .area = area})) {
    canvasFill(canvas, area, kDefaultBackground);
  }
  canvasRestore(canvas);
  canvasSave(canvas);
  deliver(dialog, {.message = UiMessage::paint, .canvas = canvas, .area = area});
  canvasRestore(canvas);
  paintStatics(dialog, canvas);
  for (const UiControl& control : dialog->controls) {
    if (control.kind != ControlKind::ownerDrawButton || !control.shown || !overlaps(control.rect, area)) continue;
    canvasSave(canvas);
    canvasClip(canvas, control.rect);
    uint32_t state = control.enabled ? 0 : kUiItemDisabled;
    if (dialog->focus == control.id) state |= kUiItemFocused;
    deliver(dialog, {.message = UiMessage::drawItem, .id = control.id, .canvas = canvas, .area = control.rect,
                     .itemState = state});
    canvasRestore(canvas);
  }
  canvasEnd(canvas);
  dialog->backend->areaChanged(dialog, area);
}

void settleDialog(UiDialog* dialog) {
  while (!dialog->ended && !dialog->posted.empty()) {
    const UiEvent event = dialog->posted.front();
    dialog->posted.pop_front();
    deliver(dialog, event);
  }
  if (!dialog->ended) paintDialog(dialog);
}

void startDialog(UiDialog* dialog) {
  deliver(dialog, {UiMessage::init});
  uiRedrawAll(dialog);
  settleDialog(dialog);
}

void fireTimer(UiDialog* dialog, int32_t id) {
  auto timer = std::find_if(dialog->timers.begin(), dialog->timers.end(), [id](const UiTimer& t) { return t.id == id; });
  if (timer == dialog->timers.end()) return;
  if (timer->repeat) {
    timer->due += timer->interval;
  } else {
    dialog->backend->timerStopped(dialog, *timer);
    dialog->timers.erase(timer);
  }
  deliver(dialog, {UiMessage::timer, id});
}

// ---------------------------------------------------------------------------------------

void uiEndDialog(UiDialog* dialog, int32_t code) {
  dialog->ended = true;
  dialog->code = code;
  if (dialog->captured) uiReleaseCapture(dialog);
  dialog->backend->wake(dialog);
}

const DialogTemplate& uiDialogTemplate(const UiDialog* dialog) { return *dialog->dialogTemplate; }

intptr_t uiWindowHandle(const UiDialog* dialog) { return reinterpret_cast<intptr_t>(dialog); }

void uiRaise(UiDialog* dialog) { dialog->backend->raise(dialog); }

void uiPostMessage(UiDialog* dialog, const UiEvent& event) {
  dialog->posted.push_back(event);
  dialog->backend->wake(dialog);
}

std::string uiControlText(const UiDialog* dialog, int32_t id) {
  const UiControl* control = findControl(dialog, id);
  return control ? control->text : std::string();
}

void uiSetControlText(UiDialog* dialog, int32_t id, const char* text) {
  UiControl* control = findControl(dialog, id);
  if (!control) return;
  control->text = text ? text : "";
  changed(dialog, *control);
  if (control->kind == ControlKind::edit) deliver(dialog, {UiMessage::command, id, kUiEditChanged});
}

void uiSetControlPicture(UiDialog* dialog, int32_t id, const UiPicture& picture) {
  if (UiControl* control = findControl(dialog, id)) {
    control->picture = picture;
    changed(dialog, *control);
  }
}

void uiEnableControl(UiDialog* dialog, int32_t id, bool enabled) {
  UiControl* control = findControl(dialog, id);
  if (!control || control->enabled == enabled) return;
  control->enabled = enabled;
  if (!enabled && dialog->focus == id) dialog->focus = -1;
  changed(dialog, *control);
}

bool uiControlEnabled(const UiDialog* dialog, int32_t id) {
  const UiControl* control = findControl(dialog, id);
  return control && control->enabled;
}

void uiShowControl(UiDialog* dialog, int32_t id, bool shown) {
  UiControl* control = findControl(dialog, id);
  if (!control || control->kind == ControlKind::placeholder || control->shown == shown) return;
  control->shown = shown;
  if (!shown && dialog->focus == id) dialog->focus = -1;
  changed(dialog, *control);
}

bool uiControlShown(const UiDialog* dialog, int32_t id) {
  const UiControl* control = findControl(dialog, id);
  return control && control->shown;
}

void uiMoveControl(UiDialog* dialog, int32_t id, const UiRect& rect) {
  UiControl* control = findControl(dialog, id);
  if (!control) return;
  if (!isChildWindow(control->kind)) uiRedraw(dialog, control->rect);
  control->rect = rect;
  changed(dialog, *control);
}

UiRect uiControlRect(const UiDialog* dialog, int32_t id) {
  const UiControl* control = findControl(dialog, id);
  return control ? control->rect : UiRect{0, 0, 0, 0};
}

bool uiHasControl(const UiDialog* dialog, int32_t id) { return findControl(dialog, id) != nullptr; }

void uiListClear(UiDialog* dialog, int32_t id) {
  UiControl* list = findControl(dialog, id);
  if (!list || list->kind != ControlKind::dropList) return;
  list->items.clear();
  list->selection = -1;
  changed(dialog, *list);
}

void uiListAdd(UiDialog* dialog, int32_t id, const char* text) {
  UiControl* list = findControl(dialog, id);
  if (!list || list->kind != ControlKind::dropList) return;
  list->items.emplace_back(text ? text : "");
  changed(dialog, *list);
}

int32_t uiListCount(const UiDialog* dialog, int32_t id) {
  const UiControl* list = findControl(dialog, id);
  return list ? static_cast<int32_t>(list->items.size()) : 0;
}

void uiListSelect(UiDialog* dialog, int32_t id, int32_t index) {
  UiControl* list = findControl(dialog, id);
  if (!list || list->kind != ControlKind::dropList) return;
  list->selection = index >= 0 && index < static_cast<int32_t>(list->items.size()) ? index : -1;
  changed(dialog, *list);
}

int32_t uiListSelection(const UiDialog* dialog, int32_t id) {
  const UiControl* list = findControl(dialog, id);
  return list ? list->selection : -1;
}

void uiCheckRadio(UiDialog* dialog, int32_t first, int32_t last, int32_t checked) {
  for (UiControl& control : dialog->controls) {
    if (control.kind != ControlKind::radioButton || control.id < first || control.id > last) continue;
    if (control.checked == (control.id == checked)) continue;
    control.checked = control.id == checked;
    changed(dialog, control);
  }
}

bool uiRadioChecked(const UiDialog* dialog, int32_t id) {
  const UiControl* control = findControl(dialog, id);
  return control && control->checked;
}

int32_t uiFocusedControl(const UiDialog* dialog) { return dialog->focus; }

void uiSetFocus(UiDialog* dialog, int32_t id) {
  UiControl* control = findControl(dialog, id);
  if (!control || dialog->focus == id) return;
  const int32_t previous = dialog->focus;
  dialog->focus = id;
  // An owner-drawn button shows its focus in its own painting.
  if (UiControl* old = findControl(dialog, previous)) changed(dialog, *old);
  changed(dialog, *control);
}

void uiRedraw(UiDialog* dialog, const UiRect& area) {
  const UiRect client{0, 0, dialog->width, dialog->height};
  if (!overlaps(area, client)) return;
  const int32_t left = std::max(area.left, 0), top = std::max(area.top, 0);
  const int32_t right = std::min(area.left + area.width, client.width);
  const int32_t bottom = std::min(area.top + area.height, client.height);
  dialog->paintArea = unite(dialog->paintArea, {left, top, right - left, bottom - top});
  const bool first = !dialog->needsPaint;
  dialog->needsPaint = true;
  if (first) dialog->backend->wake(dialog);
}

void uiRedrawAll(UiDialog* dialog) { uiRedraw(dialog, {0, 0, dialog->width, dialog->height}); }

void uiUpdate(UiDialog* dialog) {
  paintDialog(dialog);
  dialog->backend->update(dialog);
}

Canvas* uiBeginDraw(UiDialog* dialog) { return canvasBegin(dialog->surface); }

void uiEndDraw(UiDialog* dialog, Canvas* canvas) {
  canvasEnd(canvas);
  dialog->backend->areaChanged(dialog, {0, 0, dialog->width, dialog->height});
}

void uiSetTimer(UiDialog* dialog, int32_t id, uint32_t milliseconds, bool repeat) {
  uiKillTimer(dialog, id);
  dialog->timers.push_back({id, milliseconds, repeat, dialog->backend->clock() + milliseconds});
  dialog->backend->timerStarted(dialog, dialog->timers.back());
}

void uiKillTimer(UiDialog* dialog, int32_t id) {
  auto timer = std::find_if(dialog->timers.begin(), dialog->timers.end(), [id](const UiTimer& t) { return t.id == id; });
  if (timer == dialog->timers.end()) return;
  dialog->backend->timerStopped(dialog, *timer);
  dialog->timers.erase(timer);
}

void uiSetCapture(UiDialog* dialog) {
  dialog->captured = true;
  dialog->backend->captureChanged(dialog);
}

void uiReleaseCapture(UiDialog* dialog) {
  if (!dialog->captured) return;
  dialog->captured = false;
  dialog->backend->captureChanged(dialog);
}

bool uiHasCapture(const UiDialog* dialog) { return dialog->captured; }

void uiSetCursor(UiDialog* dialog, const UiCursor& cursor) {
  dialog->cursor = cursor;
  dialog->backend->cursorChanged(dialog);
}

UiCursor uiCurrentCursor(const UiDialog* dialog) { return dialog->cursor; }
