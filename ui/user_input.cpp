#include "ui/user_input.h"

#include <cctype>

namespace {
bool takesInput(const UiControl* control) { return control && control->enabled && control->shown; }

bool contains(const UiRect& r, UiPoint p) {
  return p.x >= r.left && p.y >= r.top && p.x < r.left + r.width && p.y < r.top + r.height;
}

void sendCommand(UiDialog* dialog, int32_t id, int32_t code) { deliver(dialog, {UiMessage::command, id, code}); }

void editChanged(UiDialog* dialog, UiControl& field) {
  dialog->backend->controlChanged(dialog, field);
  sendCommand(dialog, field.id, kUiEditChanged);
}
}  // namespace

bool isChildWindow(ControlKind kind) {
  return kind != ControlKind::text && kind != ControlKind::picture && kind != ControlKind::placeholder;
}

void userClick(UiDialog* dialog, int32_t id) {
  UiControl* control = findControl(dialog, id);
  if (!takesInput(control)) return;
  switch (control->kind) {
    case ControlKind::radioButton:
      for (UiControl& other : dialog->controls) {
        if (other.kind == ControlKind::radioButton && other.group == control->group && other.checked != (&other == control)) {
          other.checked = &other == control;
          dialog->backend->controlChanged(dialog, other);
        }
      }
      [[fallthrough]];
    case ControlKind::pushButton:
    case ControlKind::iconButton:
    case ControlKind::ownerDrawButton:
      uiSetFocus(dialog, id);
      sendCommand(dialog, id, kUiClicked);
      return;
    default:
      return;
  }
}

void userType(UiDialog* dialog, int32_t id, const std::string& text) {
  UiControl* field = findControl(dialog, id);
  if (!takesInput(field) || field->kind != ControlKind::edit) return;
  uiSetFocus(dialog, id);
  for (char c : text) {
    if ((field->style & kUiDigitsOnly) && !std::isdigit(static_cast<unsigned char>(c))) continue;
    field->text += c;
    editChanged(dialog, *field);
    // The procedure may have moved or removed the control meanwhile.
    field = findControl(dialog, id);
    if (!field) return;
  }
}

void userPaste(UiDialog* dialog, int32_t id, const std::string& text) {
  UiControl* field = findControl(dialog, id);
  if (!takesInput(field) || field->kind != ControlKind::edit || text.empty()) return;
  uiSetFocus(dialog, id);
  field->text += text;
  editChanged(dialog, *field);
}

void userErase(UiDialog* dialog, int32_t id) {
  UiControl* field = findControl(dialog, id);
  if (!takesInput(field) || field->kind != ControlKind::edit || field->text.empty()) return;
  uiSetFocus(dialog, id);
  field->text.clear();
  editChanged(dialog, *field);
}

void userEdited(UiDialog* dialog, int32_t id, const std::string& text) {
  UiControl* field = findControl(dialog, id);
  if (!takesInput(field) || field->kind != ControlKind::edit || field->text == text) return;
  field->text = text;
  sendCommand(dialog, id, kUiEditChanged);
}

void userSelect(UiDialog* dialog, int32_t id, int32_t index) {
  UiControl* list = findControl(dialog, id);
  if (!takesInput(list) || list->kind != ControlKind::dropList) return;
  if (index < 0 || index >= static_cast<int32_t>(list->items.size())) return;
  uiSetFocus(dialog, id);
  list->selection = index;
  dialog->backend->controlChanged(dialog, *list);
  sendCommand(dialog, id, kUiSelectionChanged);
}

void userFocus(UiDialog* dialog, int32_t id) {
  const UiControl* control = findControl(dialog, id);
  if (takesInput(control) && isChildWindow(control->kind)) uiSetFocus(dialog, id);
}

void userKey(UiDialog* dialog, int32_t key) {
  if (deliver(dialog, {UiMessage::key, key})) return;
  int32_t id = 0;
  if (key == kUiKeyEscape) {
    id = kUiCancel;
  } else if (key == kUiKeyEnter) {
    // A push button with the focus is the one Enter presses; otherwise the default button,
    // and with none, OK, whose id is 1.
    id = 1;
    for (const UiControl& control : dialog->controls) {
      if (control.style & kUiDefaultButton) id = control.id;
    }
    const UiControl* focused = findControl(dialog, dialog->focus);
    if (focused && (focused->kind == ControlKind::pushButton || focused->kind == ControlKind::iconButton)) id = focused->id;
  } else {
    return;
  }
  // A disabled button cannot be pressed from the keyboard either.
  const UiControl* button = findControl(dialog, id);
  if (button && !button->enabled) return;
  sendCommand(dialog, id, kUiClicked);
}

void userMouse(UiDialog* dialog, const UiEvent& event) {
  if (!dialog->captured) {
    if (!contains({0, 0, dialog->width, dialog->height}, event.point)) return;
    for (const UiControl& control : dialog->controls) {
      if (control.shown && isChildWindow(control.kind) && contains(childWindowRect(control), event.point)) return;
    }
  }
  deliver(dialog, event);
}

void userClose(UiDialog* dialog) {
  if (!deliver(dialog, {UiMessage::close})) sendCommand(dialog, kUiCancel, kUiClicked);
}
