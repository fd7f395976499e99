// The window layer's backend on Win32: a dialog is a top-level window whose client area
// shows the layer's painted surface, with real child controls at their rectangles.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "ui/dialog_record.h"

struct Win32Record {
  HWND window = nullptr;
  HWND disabledOwner = nullptr;  // enabled again when the dialog ends
  std::map<int32_t, std::vector<std::string>> listItems{};  // what each drop-down list shows
  std::map<int32_t, HBRUSH> backgrounds{};                  // behind each radio button
  bool wakePosted = false;
  // While the layer itself changes a control, the notifications that follow are not the user's.
  bool syncing = false;
};

Win32Record* recordOf(const UiDialog* dialog);
// The library the layer is built into: its windows' class and its manifest are its own.
HINSTANCE layerInstance();

// While it lives, windows and common dialogs are made with the version-6 common controls
// that the module's manifest asks for; a program without that manifest gets what it has.
struct CommonControlsScope {
  ULONG_PTR cookie = 0;
  bool active = false;
  CommonControlsScope();
  ~CommonControlsScope();
  CommonControlsScope(const CommonControlsScope&) = delete;
  CommonControlsScope& operator=(const CommonControlsScope&) = delete;
};
HWND windowOf(intptr_t owner);
// After the dialog has taken input: posted messages, painting, and the end of its loop.
void win32AfterInput(UiDialog* dialog);

// Child controls (win32_controls.cpp).
void createControls(UiDialog* dialog);
void controlChanged(UiDialog* dialog, const UiControl& control);
// WM_COMMAND, WM_DRAWITEM and WM_CTLCOLORSTATIC from a child control.
void childCommand(UiDialog* dialog, int32_t id, int32_t notification, HWND child);
void drawChild(UiDialog* dialog, const DRAWITEMSTRUCT& item);
HBRUSH childBackground(UiDialog* dialog, HWND child, HDC dc);
void releaseControls(UiDialog* dialog);

// Common dialogs (win32_common_dialogs.cpp).
UiChoice win32OpenFile(const UiOpenRequest& request, std::string& path);
UiChoice win32SaveFile(const UiSaveRequest& request, std::string& path);
UiChoice win32ChooseColour(intptr_t owner, UiColour& colour, std::span<const UiColour> custom);
// Where a window goes over its owner (0: the screen), as every window of the layer is placed.
POINT placeOver(HWND owner, int32_t width, int32_t height, bool systemMenu);
