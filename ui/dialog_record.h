// What the layer knows of an open dialog, shared by its backends. The controls' state lives
// here; a backend shows it and reports the user's actions through ui/user_input.h.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "ui/window.h"

struct UiControl {
  int32_t id;
  ControlKind kind;
  uint32_t style;
  UiRect rect;
  std::string text{};
  UiPicture picture{0, 0, nullptr};
  bool enabled = true;
  bool shown = true;
  bool checked = false;
  int32_t group = 0;  // radio buttons: the automatic group
  std::vector<std::string> items{};
  int32_t selection = -1;
};

struct UiTimer {
  int32_t id;
  uint32_t interval;
  bool repeat;
  uint64_t due;  // on the backend's clock
  void* native = nullptr;
};

struct UiBackend;
struct UiSurface;  // ui/client_surface.h

struct UiDialog {
  const DialogTemplate* dialogTemplate;
  DialogProc proc;
  void* context;
  const UiBackend* backend;
  void* native = nullptr;  // the backend's own record of the window
  int32_t width = 0, height = 0;  // client area in pixels
  UiPoint position{0, 0};         // the window's top-left corner on the screen
  std::vector<UiControl> controls{};
  bool ended = false;
  int32_t code = 0;
  int32_t focus = -1;
  bool captured = false;
  UiCursor cursor = kUiArrowCursor;
  std::deque<UiEvent> posted{};
  std::vector<UiTimer> timers{};
  // The client area as last painted; a desktop backend shows it, the headless one saves it.
  UiSurface* surface = nullptr;
  bool needsPaint = false;
  UiRect paintArea{0, 0, 0, 0};
};

// What differs between showing a dialog in memory and on a desktop.
struct UiBackend {
  // Runs the dialog's loop until it has ended; returns kUiCannotShow when it cannot.
  int32_t (*run)(UiDialog* dialog, intptr_t owner);
  void (*controlChanged)(UiDialog* dialog, const UiControl& control);
  void (*timerStarted)(UiDialog* dialog, UiTimer& timer);
  void (*timerStopped)(UiDialog* dialog, UiTimer& timer);
  void (*cursorChanged)(UiDialog* dialog);
  void (*captureChanged)(UiDialog* dialog);
  void (*areaChanged)(UiDialog* dialog, const UiRect& area);  // the surface was drawn on
  // Messages were posted, painting asked for or the dialog ended: the loop has work.
  void (*wake)(UiDialog* dialog);
  // A busy dialog's chance to show what it painted and take pending input.
  void (*update)(UiDialog* dialog);
  void (*raise)(UiDialog* dialog);
  uint64_t (*clock)();
  UiChoice (*openFile)(const UiOpenRequest& request, std::string& path);
  UiChoice (*saveFile)(const UiSaveRequest& request, std::string& path);
  UiChoice (*chooseColour)(intptr_t owner, UiColour& colour, std::span<const UiColour> custom);
};

const UiBackend& uiBackend();
// From now on this process shows its windows headless (a test that drives them says so).
void useHeadless();

// A drop-down list's rectangle reaches as far down as its list drops; closed, it is a
// field of at most this height at the top of it.
constexpr int32_t kUiDropListFieldHeight = 20;
// Where a control's own window lies: its rectangle, or a drop-down list's closed field.
UiRect childWindowRect(const UiControl& control);
UiControl* findControl(UiDialog* dialog, int32_t id);
const UiControl* findControl(const UiDialog* dialog, int32_t id);

// Sends a message to the dialog's procedure; returns whether it handled it.
bool deliver(UiDialog* dialog, const UiEvent& event);
// Builds the dialog's controls from its template (in pixels) and its client surface.
void buildDialog(UiDialog& dialog);
void releaseDialog(UiDialog& dialog);
// Delivers the posted messages, then paints what was asked for.
void settleDialog(UiDialog* dialog);
// Sends erase background, paint and drawItem for the area waiting to be painted.
void paintDialog(UiDialog* dialog);
// Starts the dialog: init, the first paint. Shared by the backends' run.
void startDialog(UiDialog* dialog);
// Fires the timer that is due: removes a one-shot timer, moves a repeating one on.
void fireTimer(UiDialog* dialog, int32_t id);
void setLastError(const std::string& text);
// Milliseconds since some moment, never going back: a desktop's clock.
uint64_t monotonicMilliseconds();
// A saved file's name gets the default extension when it has none.
std::string withDefaultExtension(const std::string& path, const char* extension);
