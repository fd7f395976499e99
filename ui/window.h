// The window layer the dialogs run on: dialogs built from templates of controls with ids
// and rectangles, driven by a dialog procedure that receives messages. A backend shows
// them: headless (in memory, for tests and scripts) or a desktop toolkit.
//
// Everything runs on the caller's thread. A dialog procedure may call any operation here,
// including running another modal dialog.
//
// Which backend: headless when TARVE_UI=headless (every test runs so), when
// TARVE_HEADLESS_EVENTS or TARVE_HEADLESS_LOG is set, or once a program has used
// ui/headless/headless.h; otherwise the desktop (GTK), loaded the first time a window is
// shown. Without a display every window and common dialog reports that it cannot be shown.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct UiRect {
  int32_t left, top, width, height;
};

struct UiPoint {
  int32_t x, y;
};

struct UiColour {
  uint8_t red, green, blue;
};

// A picture the module draws: straight (not premultiplied) 8-bit RGBA, row by row,
// width × 4 bytes a row. The module's artwork comes to the layer in this form.
struct UiPicture {
  int32_t width, height;
  const uint8_t* rgba;
};

// ---------------------------------------------------------------------------------------
// Templates

enum class ControlKind {
  pushButton,       // text; kUiDefaultButton marks the one Enter presses
  iconButton,       // a picture (uiSetControlPicture) instead of text
  ownerDrawButton,  // a button the dialog paints itself on a drawItem message
  edit,             // single-line edit field
  dropList,         // drop-down list; its rectangle reaches down as far as the list drops
  radioButton,      // automatic: a click checks it and clears the others of its group
  text,             // static text
  picture,          // static picture (uiSetControlPicture)
  placeholder,      // never shown: a rectangle the dialog paints and hit-tests itself
};

// Style bits of a control.
constexpr uint32_t kUiDefaultButton = 1u << 0;  // push button pressed by Enter
constexpr uint32_t kUiDigitsOnly = 1u << 1;     // edit: typing accepts digits only (pasting does not filter)
constexpr uint32_t kUiBorder = 1u << 2;         // edit: a sunken border inside its rectangle
constexpr uint32_t kUiAutoScroll = 1u << 3;     // edit: text may run past the field, scrolling sideways
constexpr uint32_t kUiCentred = 1u << 4;        // text: centred instead of left-aligned
constexpr uint32_t kUiGroup = 1u << 5;          // radio button: begins a new group
constexpr uint32_t kUiTabStop = 1u << 6;        // reached with the Tab key

struct ControlTemplate {
  int32_t id;
  ControlKind kind;
  const char* text;
  UiRect rect;
  uint32_t style = 0;
};

// Dialog units are the usual way of laying out small dialogs independently of the font:
// a horizontal unit is a quarter of the dialog font's average character width, a vertical
// unit an eighth of its height. The layer's dialog font is Liberation Sans at 11 pixels,
// whose base units are 6 × 13 pixels.
enum class UiUnits { pixels, dialogUnits };

struct DialogTemplate {
  const char* name;
  const char* title;
  int32_t width, height;  // the client area
  std::span<const ControlTemplate> controls;
  UiUnits units = UiUnits::pixels;
  bool systemMenu = true;  // a close box in the title bar; placement depends on it
};

constexpr int32_t kUiBaseUnitX = 6;
constexpr int32_t kUiBaseUnitY = 13;
// Rounds as the platform's dialog-unit conversion does (to nearest, halves away from zero).
UiRect uiDialogUnitsToPixels(const UiRect& units);

// ---------------------------------------------------------------------------------------
// Messages

enum class UiMessage {
  init,             // after the controls exist, before the dialog is first shown
  command,          // id: the control; code: the notification
  paint,            // canvas: the client area, clipped to `area` that needs painting
  eraseBackground,  // sent before paint for the same area
  drawItem,         // an owner-drawn button: id, canvas (client coordinates), area, itemState
  leftButtonDown,   // point, control (the Control key is held)
  rightButtonDown,
  mouseMove,        // point
  buttonUp,         // point, rightButton
  timer,            // id: the timer
  key,              // id: the key (kUiKeyEscape, kUiKeyEnter, …)
  close,            // the user closes the window; unhandled, it is taken as Cancel (command 2)
};

// Notification codes of a command.
constexpr int32_t kUiClicked = 0;
constexpr int32_t kUiSelectionChanged = 1;  // drop-down list
constexpr int32_t kUiEditChanged = 0x300;   // edit field: its text changed (also when set by the program)

// Keys. A key message the procedure does not handle is turned into a command: Escape into
// a click of Cancel (id 2), Enter into a click of the default button.
constexpr int32_t kUiKeyEnter = 13;
constexpr int32_t kUiKeyEscape = 27;
constexpr int32_t kUiCancel = 2;

// drawItem states.
constexpr uint32_t kUiItemPressed = 1u << 0;
constexpr uint32_t kUiItemFocused = 1u << 1;
constexpr uint32_t kUiItemDisabled = 1u << 2;

struct Canvas;  // painting operations: ui/canvas.h

struct UiEvent {
  UiMessage message;
  int32_t id = 0;
  int32_t code = 0;
  UiPoint point{0, 0};  // client pixels
  bool control = false;
  bool rightButton = false;
  Canvas* canvas = nullptr;
  UiRect area{0, 0, 0, 0};
  uint32_t itemState = 0;
};

struct UiDialog;

// Returns true when it handled the message.
using DialogProc = bool (*)(UiDialog* dialog, const UiEvent& event, void* context);

// ---------------------------------------------------------------------------------------
// Running a dialog

// Returned by uiRunModal when the window cannot be shown (for example, no display);
// uiLastError() then says why.
constexpr int32_t kUiCannotShow = -1;

// Shows the dialog modally over `owner` (0: the desktop; or a uiWindowHandle) and returns
// the code it ended with.
int32_t uiRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t owner);
void uiEndDialog(UiDialog* dialog, int32_t code);
const DialogTemplate& uiDialogTemplate(const UiDialog* dialog);
// A handle that makes this dialog the owner of another window.
intptr_t uiWindowHandle(const UiDialog* dialog);
// Brings the dialog's window to the front.
void uiRaise(UiDialog* dialog);
const char* uiLastError();

// Delivered after the current message has been handled, before any further input.
void uiPostMessage(UiDialog* dialog, const UiEvent& event);

// ---------------------------------------------------------------------------------------
// Controls. Operations on an id the dialog does not have do nothing (and read as empty).

std::string uiControlText(const UiDialog* dialog, int32_t id);
// Setting an edit field's text sends it a kUiEditChanged command, as typing does.
void uiSetControlText(UiDialog* dialog, int32_t id, const char* text);
void uiSetControlPicture(UiDialog* dialog, int32_t id, const UiPicture& picture);
void uiEnableControl(UiDialog* dialog, int32_t id, bool enabled);
bool uiControlEnabled(const UiDialog* dialog, int32_t id);
void uiShowControl(UiDialog* dialog, int32_t id, bool shown);
bool uiControlShown(const UiDialog* dialog, int32_t id);
void uiMoveControl(UiDialog* dialog, int32_t id, const UiRect& rect);
UiRect uiControlRect(const UiDialog* dialog, int32_t id);
bool uiHasControl(const UiDialog* dialog, int32_t id);

// Drop-down lists. The program's own selection sends no notification.
void uiListClear(UiDialog* dialog, int32_t id);
void uiListAdd(UiDialog* dialog, int32_t id, const char* text);
int32_t uiListCount(const UiDialog* dialog, int32_t id);
void uiListSelect(UiDialog* dialog, int32_t id, int32_t index);  // -1: none
int32_t uiListSelection(const UiDialog* dialog, int32_t id);     // -1: none

// Radio buttons: checks `checked` and clears every other radio button with an id in
// first … last.
void uiCheckRadio(UiDialog* dialog, int32_t first, int32_t last, int32_t checked);
bool uiRadioChecked(const UiDialog* dialog, int32_t id);

// The control with the keyboard focus, or -1.
int32_t uiFocusedControl(const UiDialog* dialog);
void uiSetFocus(UiDialog* dialog, int32_t id);

// ---------------------------------------------------------------------------------------
// Painting

// Asks for paint messages for this part of the client area (erase background, paint, and
// drawItem for the owner-drawn buttons in it) once the current message is handled.
void uiRedraw(UiDialog* dialog, const UiRect& area);
void uiRedrawAll(UiDialog* dialog);
// Paints what was asked for now, for a dialog that is busy and cannot return to its loop.
void uiUpdate(UiDialog* dialog);
// Draws on the client area outside a paint message; what is drawn stays until painted over.
Canvas* uiBeginDraw(UiDialog* dialog);
void uiEndDraw(UiDialog* dialog, Canvas* canvas);

// ---------------------------------------------------------------------------------------
// Timers, the clock, capture and cursors

// Starts (or restarts) the dialog's timer `id`: a timer message after `milliseconds`, and
// again every `milliseconds` when `repeat` is set. A one-shot timer is gone once it fires.
void uiSetTimer(UiDialog* dialog, int32_t id, uint32_t milliseconds, bool repeat);
void uiKillTimer(UiDialog* dialog, int32_t id);
// Milliseconds on a clock that only moves forward.
uint32_t uiTickCount();

// While captured, every mouse message goes to the dialog, wherever the pointer is.
void uiSetCapture(UiDialog* dialog);
void uiReleaseCapture(UiDialog* dialog);
bool uiHasCapture(const UiDialog* dialog);

enum class UiCursorKind { arrow, wait, picture };
struct UiCursor {
  UiCursorKind kind;
  UiPicture picture{0, 0, nullptr};  // kind picture: valid for the life of the module
  int32_t hotX = 0, hotY = 0;
};
constexpr UiCursor kUiArrowCursor{UiCursorKind::arrow};
constexpr UiCursor kUiWaitCursor{UiCursorKind::wait};
inline UiCursor uiPictureCursor(const UiPicture& picture, int32_t hotX, int32_t hotY) {
  return {UiCursorKind::picture, picture, hotX, hotY};
}
// The cursor over the dialog's window, shown at once (also while the dialog is busy).
void uiSetCursor(UiDialog* dialog, const UiCursor& cursor);
UiCursor uiCurrentCursor(const UiDialog* dialog);

// ---------------------------------------------------------------------------------------
// Common dialogs. Only one file dialog is open at a time: a request while one is open
// returns UiChoice::busy at once.

enum class UiChoice { chosen, cancelled, busy, cannotShow };

struct UiFileFilter {
  const char* name;     // "Tarve presets (*.q8r)"
  const char* pattern;  // "*.q8r", or several: "*.jpg;*.jpeg"
};

// The panel beside an open dialog's list: called whenever the selection changes (path is
// empty when the selection is not a file) to draw into `area`; what it drew stays until
// the next call.
using UiPreviewProc = void (*)(Canvas* canvas, const UiRect& area, const char* path, void* context);

struct UiOpenRequest {
  intptr_t owner;  // 0: no window
  const char* title;
  std::span<const UiFileFilter> filters;
  const char* folder;        // where to start; empty: the toolkit's choice
  const char* proposedName;  // may be empty
  bool mustExist = true;
  int32_t previewWidth = 0, previewHeight = 0;  // pixels; 0: no panel
  UiPreviewProc drawPreview = nullptr;
  void* previewContext = nullptr;
};

struct UiSaveRequest {
  intptr_t owner;
  const char* title;
  std::span<const UiFileFilter> filters;
  const char* defaultExtension;  // added to a name without one ("q8r"); may be empty
  const char* folder;
  const char* proposedName;
  // Saving always asks before a file is overwritten.
};

UiChoice uiOpenFile(const UiOpenRequest& request, std::string& path);
UiChoice uiSaveFile(const UiSaveRequest& request, std::string& path);

// Colour choice with 16 custom colours kept for the life of the module; a confirmed colour
// is also added to them. `colour` changes only when chosen.
UiChoice uiChooseColour(intptr_t owner, UiColour& colour);
std::span<const UiColour, 16> uiCustomColours();

// ---------------------------------------------------------------------------------------
// Placement

// The common placement of every window: centred horizontally over the owner's client area
// (or the screen; a window wider than that is not centred past its left edge), then moved
// left by the width of a caption button (by two thirds of it when the window has no system
// menu); a third of the free height down (never above the owner's top); then, if it would
// reach past the screen's right or bottom edge, moved back to end there, but not past the
// screen's left or top. `width` and `height` are the whole window's.
constexpr int32_t kUiCaptionButtonWidth = 36;
UiPoint placeWindow(const UiRect& owner, int32_t width, int32_t height, const UiRect& screen, bool systemMenu);

// Opens an address with the desktop's default handler.
bool uiOpenAddress(const char* address);
