// The child controls of a dialog as Win32 controls, kept in step with the layer's record.
#include <algorithm>

#include "ui/canvas.h"
#include "ui/client_surface.h"
#include "ui/user_input.h"
#include "ui/win32/gdi_canvas.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/win32_backend.h"

namespace {
struct ControlClass {
  const wchar_t* name;
  DWORD style;
};

ControlClass classOf(const UiControl& control) {
  switch (control.kind) {
    case ControlKind::pushButton:
      return {L"BUTTON", DWORD((control.style & kUiDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | BS_NOTIFY};
    case ControlKind::iconButton:
    case ControlKind::ownerDrawButton:
      return {L"BUTTON", BS_OWNERDRAW | BS_NOTIFY};
    case ControlKind::radioButton:
      // Not automatic: the layer checks it and clears the rest of its group.
      return {L"BUTTON", BS_RADIOBUTTON | BS_NOTIFY};
    case ControlKind::edit:
      return {L"EDIT", DWORD(ES_LEFT | ((control.style & kUiAutoScroll) ? ES_AUTOHSCROLL : 0) |
                             ((control.style & kUiDigitsOnly) ? ES_NUMBER : 0))};
    case ControlKind::dropList:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL};
    default:
      return {nullptr, 0};
  }
}

HWND childOf(const UiDialog* dialog, int32_t id) { return GetDlgItem(recordOf(dialog)->window, id); }

std::string textOf(HWND child) {
  const int length = GetWindowTextLengthW(child);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(child, text.data(), length + 1);
  return utf8Text(text.c_str());
}

void syncList(Win32Record& record, HWND child, const UiControl& list) {
  std::vector<std::string>& shown = record.listItems[list.id];
  if (shown != list.items) {
    // Entries are mostly added one by one at the end: only the new ones go in.
    const bool grows = shown.size() < list.items.size() && std::equal(shown.begin(), shown.end(), list.items.begin());
    if (!grows) {
      SendMessageW(child, CB_RESETCONTENT, 0, 0);
      shown.clear();
    }
    for (size_t i = shown.size(); i < list.items.size(); ++i) {
      SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(list.items[i]).c_str()));
    }
    shown = list.items;
  }
  if (SendMessageW(child, CB_GETCURSEL, 0, 0) != list.selection) SendMessageW(child, CB_SETCURSEL, list.selection, 0);
}

void syncPlace(HWND window, HWND child, const UiControl& control) {
  RECT now;
  GetWindowRect(child, &now);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&now), 2);
  // A drop-down list's rectangle reaches as far as its list drops, as Win32 takes it.
  const UiRect& r = control.rect;
  if (now.left != r.left || now.top != r.top || now.right - now.left != r.width ||
      (control.kind != ControlKind::dropList && now.bottom - now.top != r.height)) {
    MoveWindow(child, r.left, r.top, r.width, r.height, TRUE);
  }
}
}  // namespace

void createControls(UiDialog* dialog) {
  Win32Record& record = *recordOf(dialog);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(record.window, GWLP_HINSTANCE));
  for (const UiControl& control : dialog->controls) {
    const ControlClass made = classOf(control);
    if (!made.name) continue;
    DWORD style = WS_CHILD | made.style;
    if (control.style & kUiTabStop) style |= WS_TABSTOP;
    if (control.style & kUiGroup) style |= WS_GROUP;
    // A one-pixel border: the dialogs' value fields are a line of text high, with no room
    // for a sunken edge.
    if (control.kind == ControlKind::edit && (control.style & kUiBorder)) style |= WS_BORDER;
    const UiRect& r = control.rect;
    HWND child = CreateWindowExW(0, made.name, wideText(control.text).c_str(), style, r.left, r.top, r.width,
                                 r.height, record.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                 instance, nullptr);
    if (!child) continue;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    if (control.kind == ControlKind::edit) SendMessageW(child, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(1, 1));
    // A closed drop-down list is no taller than the layer's field.
    if (control.kind == ControlKind::dropList) SendMessageW(child, CB_SETITEMHEIGHT, WPARAM(-1), kUiDropListFieldHeight - 6);
    controlChanged(dialog, control);
  }
}

void controlChanged(UiDialog* dialog, const UiControl& control) {
  Win32Record* record = recordOf(dialog);
  if (!record) return;
  HWND child = childOf(dialog, control.id);
  if (!child || !isChildWindow(control.kind)) return;  // painted controls are painted again by the layer
  record->syncing = true;
  syncPlace(record->window, child, control);
  if (!IsWindowEnabled(child) != !control.enabled) EnableWindow(child, control.enabled);
  if (!IsWindowVisible(child) != !control.shown) ShowWindow(child, control.shown ? SW_SHOWNA : SW_HIDE);
  switch (control.kind) {
    case ControlKind::dropList:
      syncList(*record, child, control);
      break;
    case ControlKind::iconButton:
    case ControlKind::ownerDrawButton:
      InvalidateRect(child, nullptr, FALSE);
      break;
    case ControlKind::radioButton: {
      const WPARAM check = control.checked ? BST_CHECKED : BST_UNCHECKED;
      if (static_cast<WPARAM>(SendMessageW(child, BM_GETCHECK, 0, 0)) != check) SendMessageW(child, BM_SETCHECK, check, 0);
      [[fallthrough]];
    }
    default:
      if (textOf(child) != control.text) SetWindowTextW(child, wideText(control.text).c_str());
      break;
  }
  if (dialog->focus == control.id && control.enabled && control.shown && GetFocus() != child) SetFocus(child);
  record->syncing = false;
}

void childCommand(UiDialog* dialog, int32_t id, int32_t notification, HWND child) {
  const UiControl* control = findControl(dialog, id);
  if (recordOf(dialog)->syncing || !control) return;
  switch (control->kind) {
    case ControlKind::edit:
      if (notification == EN_CHANGE) userEdited(dialog, id, textOf(child));
      if (notification == EN_SETFOCUS) userFocus(dialog, id);
      return;
    case ControlKind::dropList:
      if (notification == CBN_SELCHANGE) userSelect(dialog, id, static_cast<int32_t>(SendMessageW(child, CB_GETCURSEL, 0, 0)));
      if (notification == CBN_SETFOCUS) userFocus(dialog, id);
      return;
    case ControlKind::iconButton:
    case ControlKind::ownerDrawButton:
      // Owner-drawn buttons report a quick second click as a double click; it is a click.
      if (notification == BN_DOUBLECLICKED) notification = BN_CLICKED;
      [[fallthrough]];
    default:
      if (notification == BN_CLICKED) userClick(dialog, id);
      if (notification == BN_SETFOCUS) userFocus(dialog, id);
      return;
  }
}

void drawChild(UiDialog* dialog, const DRAWITEMSTRUCT& item) {
  const UiControl* control = findControl(dialog, static_cast<int32_t>(item.CtlID));
  if (!control) return;
  const UiRect& r = control->rect;
  Canvas* canvas = canvasOnContext(item.hDC, {-r.left, -r.top});
  const bool pressed = item.itemState & ODS_SELECTED;
  if (control->kind == ControlKind::iconButton) {
    // An icon button is its picture alone, over the dialog's own painting, moved a pixel
    // while pressed.
    BitBlt(item.hDC, r.left, r.top, r.width, r.height, dialog->surface->dc, r.left, r.top, SRCCOPY);
    const UiPicture& p = control->picture;
    const int32_t shift = pressed ? 1 : 0;
    canvasPicture(canvas, p, {r.left + (r.width - p.width) / 2 + shift, r.top + (r.height - p.height) / 2 + shift});
  } else {
    uint32_t state = control->enabled ? 0 : kUiItemDisabled;
    if (item.itemState & ODS_FOCUS) state |= kUiItemFocused;
    if (pressed) state |= kUiItemPressed;
    deliver(dialog, {.message = UiMessage::drawItem, .id = control->id, .canvas = canvas, .area = r, .itemState = state});
  }
  canvasEnd(canvas);
}

// Radio buttons stand on the dialog's painting: their ground is its colour where they are.
HBRUSH childBackground(UiDialog* dialog, HWND child, HDC dc) {
  const UiControl* control = findControl(dialog, GetDlgCtrlID(child));
  const UiSurface* surface = dialog->surface;
  if (!control || control->kind != ControlKind::radioButton || !surface->pixels) return nullptr;
  const int32_t x = std::clamp(control->rect.left, 0, surface->width - 1);
  const int32_t y = std::clamp(control->rect.top, 0, surface->height - 1);
  const uint32_t pixel = surface->pixels[static_cast<size_t>(y) * surface->width + x];
  const COLORREF colour = RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
  HBRUSH& brush = recordOf(dialog)->backgrounds[control->id];
  LOGBRUSH kept{};
  if (brush && GetObjectW(brush, sizeof kept, &kept) && kept.lbColor != colour) {
    DeleteObject(brush);
    brush = nullptr;
  }
  if (!brush) brush = CreateSolidBrush(colour);
  SetBkColor(dc, colour);
  return brush;
}

void releaseControls(UiDialog* dialog) {
  for (auto& [id, brush] : recordOf(dialog)->backgrounds) DeleteObject(brush);
  recordOf(dialog)->backgrounds.clear();
}
