#include "files/metadata_blocks.h"
#include "host/module.h"
#include "resources/dialog_templates.h"
#include "ui/window.h"

static bool aboutProc(UiDialog* dialog, const UiEvent& event, void*) {
  switch (event.message) {
    case UiMessage::init:
      return true;
    case UiMessage::close:
      uiEndDialog(dialog, 1);
      return true;
    case UiMessage::command:
      if (event.id == kAboutWebButton) uiOpenAddress(kMakerWebAddress);
      uiEndDialog(dialog, event.id);
      return true;
  }
  return false;
}

int32_t showAboutBox(intptr_t parent) {
  if (gModule.aboutBoxOpen) return 0;
  gModule.aboutBoxOpen = true;
  const int32_t code = uiRunModal(kAboutTemplate, aboutProc, nullptr, parent);
  gModule.aboutBoxOpen = false;
  return code;
}

static bool messageProc(UiDialog* dialog, const UiEvent& event, void*) {
  if (event.message == UiMessage::init) return true;
  // Any push button closes a message window, and so does closing the window itself.
  uiEndDialog(dialog, event.message == UiMessage::command ? event.id : 2);
  return true;
}

int32_t showMessageWindow(const DialogTemplate& message, intptr_t parent) {
  return uiRunModal(message, messageProc, nullptr, parent);
}

intptr_t hostWindow(const FilterRecord* filterRecord) {
  if (!filterRecord || !filterRecord->platformData) return 0;
  return static_cast<const PlatformData*>(filterRecord->platformData)->hwnd;
}
