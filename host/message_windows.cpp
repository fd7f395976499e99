#include <algorithm>
#include <cstring>

#include "files/metadata_blocks.h"
#include "host/module.h"
#include "resources/artwork.h"
#include "resources/dialog_templates.h"
#include "ui/canvas.h"
#include "ui/window.h"

// The about box and the message windows are white, as their pictures are.
static bool paintWhite(const UiEvent& event) {
  canvasFill(event.canvas, event.area, {255, 255, 255});
  return true;
}

static bool aboutProc(UiDialog* dialog, const UiEvent& event, void*) {
  switch (event.message) {
    case UiMessage::init:
      uiSetControlPicture(dialog, kAboutLogo, artworkPicture(kArtworkAboutLogo));
      uiSetControlPicture(dialog, kAboutTitle, artworkPicture(kArtworkAboutTitle));
      uiSetControlPicture(dialog, kAboutMaker, artworkPicture(kArtworkAboutMaker));
      return true;
    case UiMessage::eraseBackground:
      return paintWhite(event);
    // Escape closes the box like its close box; left to the layer it would become a press of
    // the web button, which shares Cancel's id.
    case UiMessage::key:
      if (event.id != kUiKeyEscape) return false;
      [[fallthrough]];
    case UiMessage::close:
      uiEndDialog(dialog, 1);
      return true;
    case UiMessage::command:
      if (event.id == kAboutWebButton) uiOpenAddress(kMakerWebAddress);
      uiEndDialog(dialog, event.id);
      return true;
    default:
      return false;
  }
}

int32_t showAboutBox(intptr_t parent) {
  if (gModule.aboutBoxOpen) return 0;
  gModule.aboutBoxOpen = true;
  const int32_t code = uiRunModal(kAboutTemplate, aboutProc, nullptr, parent);
  gModule.aboutBoxOpen = false;
  return code;
}

static bool messageProc(UiDialog* dialog, const UiEvent& event, void*) {
  switch (event.message) {
    case UiMessage::eraseBackground:
      return paintWhite(event);
    // Any push button closes a message window, and so does closing the window itself.
    case UiMessage::command:
      uiEndDialog(dialog, event.id);
      return true;
    case UiMessage::close:
      uiEndDialog(dialog, kUiCancel);
      return true;
    default:
      return event.message == UiMessage::init;
  }
}

int32_t showMessageWindow(const DialogTemplate& message, intptr_t parent) {
  return uiRunModal(message, messageProc, nullptr, parent);
}

intptr_t hostWindow(const FilterRecord* filterRecord) {
  if (!filterRecord || !filterRecord->platformData) return 0;
  return static_cast<const PlatformData*>(filterRecord->platformData)->hwnd;
}

void reportWindowError(FilterRecord* filterRecord, int16_t* result) {
  *result = errReportString;
  if (!filterRecord || !filterRecord->errorString) {
    *result = errPlugInHostInsufficient;
    return;
  }
  // The host shows a Pascal string: a length byte, then at most 255 characters.
  const char* text = uiLastError();
  const size_t length = std::min<size_t>(std::strlen(text), 255);
  unsigned char* out = *filterRecord->errorString;
  out[0] = static_cast<unsigned char>(length);
  std::memcpy(out + 1, text, length);
}
