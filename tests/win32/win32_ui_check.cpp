// The Win32 backend of the window layer driven through real window messages, under Wine
// in CI (tests/windows/wine_checks.sh): controls at the template's rectangles, clicks,
// typing, lists, the mouse, capture and cursors, painting that reaches the window, timers,
// keys, closing, and a dialog over its owner. Prints every failed check; exits 1 if any failed.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "ui/canvas.h"
#include "ui/window.h"

namespace {
int failures = 0;

void check(bool ok, const char* what) {
  if (ok) return;
  std::printf("win32 ui check failed: %s\n", what);
  ++failures;
}

constexpr int32_t kOk = 1, kField = 10, kList = 11, kFirstRadio = 12, kSecondRadio = 13, kOwnerDrawn = 14;
constexpr UiRect kPainted{150, 70, 100, 60};
constexpr COLORREF kPaintedColour = RGB(10, 200, 30), kButtonColour = RGB(200, 10, 10);
constexpr int32_t kStepTimer = 99, kRepeatTimer = 7;

const ControlTemplate controls[] = {
    {kOk, ControlKind::pushButton, "OK", {200, 160, 80, 24}, kUiDefaultButton},
    {kUiCancel, ControlKind::pushButton, "Cancel", {110, 160, 80, 24}},
    {kField, ControlKind::edit, "", {20, 20, 60, 14}, kUiDigitsOnly | kUiBorder},
    {kList, ControlKind::dropList, "", {20, 44, 100, 120}},
    {kFirstRadio, ControlKind::radioButton, "One", {20, 70, 80, 16}},
    {kSecondRadio, ControlKind::radioButton, "Two", {20, 88, 80, 16}},
    {kOwnerDrawn, ControlKind::ownerDrawButton, "", {150, 20, 40, 30}},
    {15, ControlKind::placeholder, "", kPainted},
};
const DialogTemplate checkTemplate{"CHECK", "Window layer check", 300, 200, controls};

const ControlTemplate innerControls[] = {{kOk, ControlKind::pushButton, "OK", {10, 10, 60, 24}}};
const DialogTemplate innerTemplate{"INNER", "Inner check", 120, 60, innerControls};

struct Seen {
  int step = 0;
  HWND window = nullptr;
  std::string commands;  // " id:code;" for each command
  UiEvent lastMouse{UiMessage::init};
  int mouseMessages = 0;
  int repeats = 0;
  bool closeSeen = false;
  bool ownerDisabledWhileInner = false;
};

std::string commandText(int32_t id, int32_t code) { return " " + std::to_string(id) + ":" + std::to_string(code) + ";"; }

bool innerProc(UiDialog* dialog, const UiEvent& e, void* context) {
  auto* outer = static_cast<HWND>(context);
  if (e.message == UiMessage::init) uiSetTimer(dialog, 1, 30, false);
  if (e.message == UiMessage::timer) {
    check(!IsWindowEnabled(outer), "the owner is disabled while a dialog over it runs");
    uiEndDialog(dialog, 5);
  }
  return e.message == UiMessage::init || e.message == UiMessage::timer;
}

RECT clientRectOf(HWND window, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(window, id), &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A picture cursor with its hotspot shows at once over the dialog, and the arrow comes back.
void checkCursors(UiDialog* d, HWND w) {
  static uint8_t cross[8 * 8 * 4];
  for (int i = 0; i < 8 * 8; ++i) cross[i * 4 + 3] = (i % 8 == 3 || i / 8 == 5) ? 255 : 0;
  POINT over{kPainted.left + 10, kPainted.top + 10};
  ClientToScreen(w, &over);
  SetCursorPos(over.x, over.y);
  uiSetCursor(d, uiPictureCursor({8, 8, cross}, 3, 5));
  HCURSOR shown = GetCursor();
  ICONINFO info{};
  const bool picture = shown && shown != LoadCursor(nullptr, IDC_ARROW) && GetIconInfo(shown, &info);
  check(picture && info.xHotspot == 3 && info.yHotspot == 5, "a picture cursor shows with its hotspot");
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  uiSetCursor(d, kUiArrowCursor);
  check(GetCursor() == LoadCursor(nullptr, IDC_ARROW), "the arrow comes back");
}

// One step a tick: what the previous step sent has been through the message loop by then.
void step(UiDialog* d, Seen& s) {
  HWND w = s.window;
  switch (s.step++) {
    case 0: {
      for (const ControlTemplate& c : controls) {
        if (c.kind == ControlKind::placeholder) continue;
        const RECT r = clientRectOf(w, c.id);
        const bool placed = r.left == c.rect.left && r.top == c.rect.top && r.right - r.left == c.rect.width;
        check(placed, ("control " + std::to_string(c.id) + " lies at its template's rectangle").c_str());
      }
      check(GetDlgItem(w, 15) == nullptr, "a placeholder is no window");
      check(GetFocus() == GetDlgItem(w, kField), "the control given the focus at the start has it once shown");
      SIZE ideal{0, 0};
      check(SendMessageW(GetDlgItem(w, kOk), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)),
            "buttons are the version-6 common controls the manifest asks for");
      SendMessageW(GetDlgItem(w, kOwnerDrawn), BM_CLICK, 0, 0);
      SendMessageW(GetDlgItem(w, kFirstRadio), BM_CLICK, 0, 0);
      for (wchar_t c : std::wstring(L"a7")) PostMessageW(GetDlgItem(w, kField), WM_CHAR, c, 0);
      SendMessageW(GetDlgItem(w, kList), CB_SETCURSEL, 1, 0);
      SendMessageW(w, WM_COMMAND, MAKEWPARAM(kList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(w, kList)));
      break;
    }
    case 1: {
      check(s.commands.find(commandText(kOwnerDrawn, kUiClicked)) != std::string::npos, "a click on an owner-drawn button");
      check(uiRadioChecked(d, kFirstRadio) && !uiRadioChecked(d, kSecondRadio), "a clicked radio button is checked");
      check(SendMessageW(GetDlgItem(w, kFirstRadio), BM_GETCHECK, 0, 0) == BST_CHECKED, "the radio button shows it");
      check(uiControlText(d, kField) == "7", "a digits-only field takes the digit typed and not the letter");
      check(s.commands.find(commandText(kField, kUiEditChanged)) != std::string::npos, "typing sends edit-changed");
      check(uiListSelection(d, kList) == 1 && s.commands.find(commandText(kList, kUiSelectionChanged)) != std::string::npos,
            "a choice in the list is the selection");
      uiSetControlText(d, kField, "42");
      uiEnableControl(d, kUiCancel, false);
      uiShowControl(d, kSecondRadio, false);
      uiListSelect(d, kList, 0);
      uiCheckRadio(d, kFirstRadio, kSecondRadio, kSecondRadio);
      PostMessageW(w, WM_LBUTTONDOWN, MK_CONTROL, MAKELPARAM(160, 80));
      PostMessageW(w, WM_LBUTTONDOWN, 0, MAKELPARAM(30, 25));  // on the edit field: not the dialog's
      break;
    }
    case 2: {
      wchar_t text[16] = L"";
      GetWindowTextW(GetDlgItem(w, kField), text, 16);
      check(std::wstring(text) == L"42", "the program's text shows in the field");
      check(!IsWindowEnabled(GetDlgItem(w, kUiCancel)), "a disabled button is disabled");
      check(!IsWindowVisible(GetDlgItem(w, kSecondRadio)), "a hidden control is hidden");
      check(SendMessageW(GetDlgItem(w, kList), CB_GETCURSEL, 0, 0) == 0, "the program's selection shows");
      check(SendMessageW(GetDlgItem(w, kSecondRadio), BM_GETCHECK, 0, 0) == BST_CHECKED, "the program's radio shows");
      check(s.mouseMessages == 1 && s.lastMouse.message == UiMessage::leftButtonDown, "one press reached the dialog");
      check(s.lastMouse.point.x == 160 && s.lastMouse.point.y == 80 && s.lastMouse.control, "at its point, with Control");
      HDC dc = GetDC(w);
      check(GetPixel(dc, kPainted.left + 5, kPainted.top + 5) == kPaintedColour, "the paint message reaches the window");
      ReleaseDC(w, dc);
      HDC button = GetDC(GetDlgItem(w, kOwnerDrawn));
      check(GetPixel(button, 3, 3) == kButtonColour, "an owner-drawn button paints itself in client coordinates");
      ReleaseDC(GetDlgItem(w, kOwnerDrawn), button);
      uiSetCapture(d);
      PostMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(-20, -20));
      uiSetTimer(d, kRepeatTimer, 20, true);
      break;
    }
    case 3:
      check(GetCapture() == w, "capture takes the mouse");
      check(s.lastMouse.message == UiMessage::mouseMove && s.lastMouse.point.x == -20, "captured, a move outside arrives");
      uiReleaseCapture(d);
      check(GetCapture() == nullptr, "release gives it back");
      checkCursors(d, w);
      check(uiRunModal(innerTemplate, innerProc, w, uiWindowHandle(d)) == 5, "a dialog over this one ends with its code");
      check(IsWindowEnabled(w), "the owner is enabled again after it");
      break;
    case 4:
      check(s.repeats >= 2, "a repeating timer repeats");
      uiKillTimer(d, kRepeatTimer);
      s.repeats = 0;
      PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);  // Cancel is disabled: nothing happens
      break;
    case 5:
      check(s.repeats == 0, "a stopped timer is silent");
      check(s.commands.find(commandText(kUiCancel, kUiClicked)) == std::string::npos, "Escape does not press a disabled Cancel");
      PostMessageW(w, WM_CLOSE, 0, 0);
      break;
    case 6:
      check(s.closeSeen, "closing the window is a close message");
      uiEnableControl(d, kUiCancel, true);
      PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
      return;  // Escape ends the dialog; no more steps
    default:
      return;
  }
  uiSetTimer(d, kStepTimer, 60, false);
}

bool checkProc(UiDialog* d, const UiEvent& e, void* context) {
  auto& s = *static_cast<Seen*>(context);
  switch (e.message) {
    case UiMessage::init:
      uiListAdd(d, kList, "normal");
      uiListAdd(d, kList, "screen");
      uiSetFocus(d, kField);
      uiSetTimer(d, kStepTimer, 300, false);
      return true;
    case UiMessage::paint:
      canvasFill(e.canvas, kPainted, {10, 200, 30});
      return true;
    case UiMessage::drawItem:
      canvasFill(e.canvas, e.area, {200, 10, 10});
      return true;
    case UiMessage::timer:
      if (e.id == kRepeatTimer) ++s.repeats;
      if (e.id != kStepTimer) return true;
      if (!s.window) s.window = FindWindowW(nullptr, L"Window layer check");
      step(d, s);
      return true;
    case UiMessage::leftButtonDown:
    case UiMessage::mouseMove:
      s.lastMouse = e;
      ++s.mouseMessages;
      return true;
    case UiMessage::close:
      s.closeSeen = true;
      return true;
    case UiMessage::command:
      s.commands += commandText(e.id, e.code);
      if (e.id == kUiCancel) uiEndDialog(d, kUiCancel);
      return true;
    default:
      return false;
  }
}
}  // namespace

int main() {
  Seen seen;
  const int32_t code = uiRunModal(checkTemplate, checkProc, &seen, 0);
  check(code == kUiCancel, "Escape ends the dialog with Cancel");
  check(seen.step == 7, "every step ran");
  if (code == kUiCannotShow) std::printf("win32 ui check: %s\n", uiLastError());
  std::printf("win32 ui check: %d failed\n", failures);
  return failures ? 1 : 0;
}
