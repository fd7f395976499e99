#include "ui/win32/win32_backend.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <tuple>

#include "ui/user_input.h"
#include "ui/win32/gdi_canvas.h"
#include "ui/win32/wide_text.h"

namespace {
constexpr wchar_t kClassName[] = L"TarveDialogWindow";
constexpr UINT kWakeMessage = WM_APP + 1;
std::vector<UiDialog*> openDialogs;

UiDialog* dialogOf(HWND window) { return reinterpret_cast<UiDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

// ---------------------------------------------------------------------------------------
// Cursors

// A picture cursor in straight alpha, as icons keep it; the mask is unused where there is alpha.
HCURSOR pictureCursor(const UiCursor& cursor) {
  const UiPicture& p = cursor.picture;
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = p.width;
  header.bV5Height = -p.height;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00FF0000;
  header.bV5GreenMask = 0x0000FF00;
  header.bV5BlueMask = 0x000000FF;
  header.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits,
                                    nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour || !bits) return nullptr;
  auto* out = static_cast<uint32_t*>(bits);
  for (int32_t i = 0; i < p.width * p.height; ++i) {
    const uint8_t* in = p.rgba + static_cast<size_t>(i) * 4;
    out[i] = uint32_t(in[3]) << 24 | uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | in[2];
  }
  const std::vector<uint8_t> zeros(static_cast<size_t>((p.width + 15) / 16 * 2) * p.height, 0);
  HBITMAP mask = CreateBitmap(p.width, p.height, 1, 1, zeros.data());
  ICONINFO info{FALSE, static_cast<DWORD>(cursor.hotX), static_cast<DWORD>(cursor.hotY), mask, colour};
  HCURSOR made = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colour);
  return made;
}

// Picture cursors are made once per picture and hotspot and kept, as the pictures are.
HCURSOR cursorFor(const UiCursor& cursor) {
  static std::map<std::tuple<const uint8_t*, int32_t, int32_t>, HCURSOR> pictures;
  if (cursor.kind == UiCursorKind::wait) return LoadCursor(nullptr, IDC_WAIT);
  if (cursor.kind == UiCursorKind::arrow || !cursor.picture.rgba) return LoadCursor(nullptr, IDC_ARROW);
  HCURSOR& made = pictures[{cursor.picture.rgba, cursor.hotX, cursor.hotY}];
  if (!made) made = pictureCursor(cursor);
  return made ? made : LoadCursor(nullptr, IDC_ARROW);
}

// The dialog's cursor is its client area's; the wait cursor also covers its controls.
bool cursorIsOurs(const UiDialog* dialog, HWND under) {
  HWND window = recordOf(dialog)->window;
  return under == window || dialog->captured || (dialog->cursor.kind == UiCursorKind::wait && IsChild(window, under));
}

// ---------------------------------------------------------------------------------------
// Messages

UiEvent mouseEvent(UiMessage message, WPARAM wParam, LPARAM lParam) {
  UiEvent event{message};
  event.point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  event.control = (wParam & MK_CONTROL) != 0;
  return event;
}

void mouse(UiDialog* dialog, const UiEvent& event) {
  userMouse(dialog, event);
  win32AfterInput(dialog);
}

LRESULT CALLBACK dialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  UiDialog* dialog = dialogOf(window);
  if (!dialog || !recordOf(dialog)) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      const RECT& r = paint.rcPaint;
      BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, dialog->surface->dc, r.left, r.top, SRCCOPY);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the surface covers the whole client area
    case WM_LBUTTONDOWN:
      mouse(dialog, mouseEvent(UiMessage::leftButtonDown, wParam, lParam));
      return 0;
    case WM_RBUTTONDOWN:
      mouse(dialog, mouseEvent(UiMessage::rightButtonDown, wParam, lParam));
      return 0;
    case WM_MOUSEMOVE:
      mouse(dialog, mouseEvent(UiMessage::mouseMove, wParam, lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      UiEvent event = mouseEvent(UiMessage::buttonUp, wParam, lParam);
      event.rightButton = message == WM_RBUTTONUP;
      mouse(dialog, event);
      return 0;
    }
    case WM_TIMER:
      fireTimer(dialog, static_cast<int32_t>(wParam));
      win32AfterInput(dialog);
      return 0;
    case WM_CLOSE:
      userClose(dialog);
      win32AfterInput(dialog);
      return 0;  // the window goes when the dialog ends, not before
    case WM_COMMAND:
      if (lParam) {
        childCommand(dialog, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        win32AfterInput(dialog);
      }
      return 0;
    case WM_DRAWITEM:
      drawChild(dialog, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = childBackground(dialog, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && cursorIsOurs(dialog, reinterpret_cast<HWND>(wParam))) {
        SetCursor(cursorFor(dialog->cursor));
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      // As in any dialog, the control that had the focus has it again when the window is
      // activated, rather than the window itself.
      if (LOWORD(wParam) != WA_INACTIVE && dialog->focus >= 0) {
        HWND focused = GetDlgItem(window, dialog->focus);
        if (focused && IsWindowEnabled(focused) && IsWindowVisible(focused)) {
          SetFocus(focused);
          return 0;
        }
      }
      break;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a message box, the task switcher): the drag is over.
      if (reinterpret_cast<HWND>(lParam) != window) dialog->captured = false;
      return 0;
    case kWakeMessage:
      recordOf(dialog)->wakePosted = false;
      win32AfterInput(dialog);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool isOpenDropList(HWND window) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  return lstrcmpiW(name, L"ComboBox") == 0 && SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0);
}

// Escape and Enter go to the layer (an open drop-down list keeps them, to close itself);
// Tab moves between the controls as in any dialog.
void dispatch(UiDialog* dialog, MSG& msg) {
  HWND window = recordOf(dialog)->window;
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN) &&
      (msg.hwnd == window || IsChild(window, msg.hwnd)) && !isOpenDropList(GetFocus())) {
    userKey(dialog, msg.wParam == VK_ESCAPE ? kUiKeyEscape : kUiKeyEnter);
    win32AfterInput(dialog);
    return;
  }
  if (IsDialogMessageW(window, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

// ---------------------------------------------------------------------------------------
// The backend's operations

void cursorChanged(UiDialog* dialog) {
  POINT at;
  if (!recordOf(dialog) || !GetCursorPos(&at)) return;
  // A busy dialog shows the wait cursor before its work, not after.
  if (cursorIsOurs(dialog, WindowFromPoint(at))) SetCursor(cursorFor(dialog->cursor));
}

void captureChanged(UiDialog* dialog) {
  Win32Record* record = recordOf(dialog);
  if (!record) return;
  if (dialog->captured) SetCapture(record->window);
  else if (GetCapture() == record->window) ReleaseCapture();
}

void areaChanged(UiDialog* dialog, const UiRect& area) {
  if (!recordOf(dialog)) return;
  const RECT rect{area.left, area.top, area.left + area.width, area.top + area.height};
  InvalidateRect(recordOf(dialog)->window, &rect, FALSE);
}

void wake(UiDialog* dialog) {
  Win32Record* record = recordOf(dialog);
  // Posted messages come before input: they are delivered, then the painting is done.
  if (!record || !record->window || record->wakePosted) return;
  record->wakePosted = PostMessageW(record->window, kWakeMessage, 0, 0) != 0;
}

void update(UiDialog* dialog) {
  Win32Record* record = recordOf(dialog);
  if (!record) return;
  // A busy dialog shows what it painted and takes input (a click on Cancel, say) now and then.
  UpdateWindow(record->window);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    dispatch(dialog, msg);
  }
}

void raise(UiDialog* dialog) {
  if (!recordOf(dialog)) return;
  BringWindowToTop(recordOf(dialog)->window);
  SetForegroundWindow(recordOf(dialog)->window);
}

void timerStarted(UiDialog* dialog, UiTimer& timer) {
  if (recordOf(dialog)) SetTimer(recordOf(dialog)->window, static_cast<UINT_PTR>(timer.id), timer.interval, nullptr);
}

void timerStopped(UiDialog* dialog, UiTimer& timer) {
  if (recordOf(dialog)) KillTimer(recordOf(dialog)->window, static_cast<UINT_PTR>(timer.id));
}

// The class lives while a dialog is open: a module unloaded and loaded again must not find
// it pointing into its old place.
bool registerClass() {
  if (!openDialogs.empty()) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = dialogWindowProc;
  windowClass.hInstance = layerInstance();
  windowClass.hCursor = nullptr;  // WM_SETCURSOR sets it
  windowClass.lpszClassName = kClassName;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void unregisterClass() {
  if (openDialogs.empty()) UnregisterClassW(kClassName, layerInstance());
}

void runLoop(UiDialog* dialog) {
  MSG msg;
  while (!dialog->ended) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is quitting: the dialog ends as if cancelled, and the quit goes on.
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      uiEndDialog(dialog, kUiCancel);
      break;
    }
    dispatch(dialog, msg);
  }
}

int32_t run(UiDialog* dialog, intptr_t owner) {
  const CommonControlsScope controls;
  if (!registerClass()) {
    setLastError("cannot register the dialog window class");
    return kUiCannotShow;
  }
  const DialogTemplate& t = *dialog->dialogTemplate;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN | (t.systemMenu ? WS_SYSMENU : 0);
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, dialog->width, dialog->height};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int32_t width = frame.right - frame.left, height = frame.bottom - frame.top;
  HWND ownerWindow = windowOf(owner);
  const POINT at = placeOver(ownerWindow, width, height, t.systemMenu);
  dialog->position = {at.x, at.y};

  Win32Record record;
  dialog->native = &record;
  record.window = CreateWindowExW(exStyle, kClassName, wideText(t.title ? t.title : "").c_str(), style, at.x, at.y,
                                  width, height, ownerWindow, nullptr, layerInstance(), dialog);
  if (!record.window) {
    dialog->native = nullptr;
    unregisterClass();
    setLastError("cannot create the dialog window");
    return kUiCannotShow;
  }
  SendMessageW(record.window, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
  createControls(dialog);
  openDialogs.push_back(dialog);
  startDialog(dialog);
  if (!dialog->ended) {
    if (ownerWindow && IsWindowEnabled(ownerWindow)) {
      record.disabledOwner = ownerWindow;
      EnableWindow(ownerWindow, FALSE);
    }
    ShowWindow(record.window, SW_SHOW);
    UpdateWindow(record.window);
    cursorChanged(dialog);
    runLoop(dialog);
  }
  // The owner takes the activation back before this window goes, so that no other program
  // comes to the front.
  if (record.disabledOwner) EnableWindow(record.disabledOwner, TRUE);
  if (GetCapture() == record.window) ReleaseCapture();
  for (UiTimer& timer : dialog->timers) timerStopped(dialog, timer);
  openDialogs.erase(std::find(openDialogs.begin(), openDialogs.end(), dialog));
  ShowWindow(record.window, SW_HIDE);
  DestroyWindow(record.window);
  releaseControls(dialog);
  dialog->native = nullptr;
  unregisterClass();
  return dialog->code;
}

const UiBackend backend{run,
                        controlChanged,
                        timerStarted,
                        timerStopped,
                        cursorChanged,
                        captureChanged,
                        areaChanged,
                        wake,
                        update,
                        raise,
                        monotonicMilliseconds,
                        win32OpenFile,
                        win32SaveFile,
                        win32ChooseColour};
}  // namespace

Win32Record* recordOf(const UiDialog* dialog) { return static_cast<Win32Record*>(dialog->native); }

HINSTANCE layerInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&layerInstance), &module);
  return module;
}

CommonControlsScope::CommonControlsScope() {
  static const HANDLE context = [] {
    ACTCTXW wanted{};
    wanted.cbSize = sizeof wanted;
    wanted.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    wanted.hModule = layerInstance();
    wanted.lpResourceName = MAKEINTRESOURCEW(2);
    return CreateActCtxW(&wanted);
  }();
  active = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie);
}

CommonControlsScope::~CommonControlsScope() {
  if (active) DeactivateActCtx(0, cookie);
}

HWND windowOf(intptr_t owner) {
  if (!owner) return nullptr;
  for (const UiDialog* open : openDialogs) {
    if (uiWindowHandle(open) == owner) return recordOf(open)->window;
  }
  // A host hands over its own window.
  HWND window = reinterpret_cast<HWND>(owner);
  return IsWindow(window) ? window : nullptr;
}

void win32AfterInput(UiDialog* dialog) {
  if (recordOf(dialog)) settleDialog(dialog);
}

POINT placeOver(HWND owner, int32_t width, int32_t height, bool systemMenu) {
  HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                           : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  RECT work{0, 0, 1920, 1080};
  if (GetMonitorInfoW(monitor, &info)) work = info.rcWork;
  const UiRect screen{work.left, work.top, work.right - work.left, work.bottom - work.top};
  UiRect area = screen;
  RECT client;
  if (owner && GetClientRect(owner, &client)) {
    POINT origin{0, 0};
    ClientToScreen(owner, &origin);
    area = {origin.x, origin.y, client.right, client.bottom};
  }
  const UiPoint at = placeWindow(area, width, height, screen, systemMenu);
  return {at.x, at.y};
}

const UiBackend& uiBackend() { return backend; }

uint32_t uiTickCount() { return GetTickCount(); }

bool uiOpenAddress(const char* address) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", wideText(address ? address : "").c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  // Anything above 32 is success.
  return result > 32;
}
