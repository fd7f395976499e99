// The window layer the dialogs run on: dialogs built from templates of controls with ids
// and pixel rectangles, driven by a dialog procedure that receives messages. A backend
// shows them: headless (in memory, for tests and scripts) or a desktop toolkit.
#pragma once

#include <cstdint>
#include <span>

struct UiRect {
  int32_t left, top, width, height;
};

// A picture the module draws: straight (not premultiplied) 8-bit RGBA, row by row,
// width × 4 bytes a row. The module's artwork comes to the layer in this form.
struct UiPicture {
  int32_t width, height;
  const uint8_t* rgba;
};

enum class ControlKind { pushButton, text, picture, placeholder };

struct ControlTemplate {
  int32_t id;
  ControlKind kind;
  const char* text;
  UiRect rect;
};

struct DialogTemplate {
  const char* name;
  const char* title;
  int32_t width, height;  // client area
  std::span<const ControlTemplate> controls;
};

enum class UiMessage { init, command, close };

struct UiEvent {
  UiMessage message;
  int32_t id;  // the control of a command
};

struct UiDialog;

// Returns true when it handled the message.
using DialogProc = bool (*)(UiDialog* dialog, const UiEvent& event, void* context);

// Shows the dialog modally over `parent` (0: the desktop) and returns the code it ended with.
int32_t uiRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t parent);
void uiEndDialog(UiDialog* dialog, int32_t code);
const DialogTemplate& uiDialogTemplate(const UiDialog* dialog);

// The common placement of a modal window: centred horizontally over the parent's client
// area (or the screen), a third of the way down the free space, then kept on the screen.
struct UiPoint {
  int32_t x, y;
};
UiPoint placeWindow(const UiRect& parent, int32_t width, int32_t height, const UiRect& screen);

// Opens an address with the desktop's default handler.
bool uiOpenAddress(const char* address);
