// The quick-reference card: a box with one picture that names every control.
#include "dialog/main_dialog_record.h"
#include "resources/artwork.h"
#include "ui/canvas.h"

namespace {

constexpr int32_t kCardControl = 1000;
constexpr int32_t kInfoTimer = 1;

const ControlTemplate kInfoControls[] = {{kCardControl, ControlKind::picture, nullptr, {0, 0, 702, 363}}};
const DialogTemplate kInfoTemplate{"INFO", "Info", 702, 363, kInfoControls};

bool infoBoxOpen = false;

struct InfoContext {
  const MainDialog* owner;
};

bool infoProc(UiDialog* dialog, const UiEvent& event, void* context) {
  const InfoContext& info = *static_cast<InfoContext*>(context);
  switch (event.message) {
    case UiMessage::init:
      uiSetControlPicture(dialog, kCardControl, artworkPicture(kArtworkInfoCard));
      uiSetTimer(dialog, kInfoTimer, 1000, false);
      return true;
    case UiMessage::eraseBackground:
      canvasFill(event.canvas, event.area, {255, 255, 255});
      return true;
    // The card lives no longer than the dialog it explains.
    case UiMessage::timer:
      if (info.owner->state->dialogWindow) {
        uiSetTimer(dialog, kInfoTimer, 1000, false);
      } else {
        uiEndDialog(dialog, 1);
      }
      return true;
    case UiMessage::command:
      uiEndDialog(dialog, event.id);
      return true;
    case UiMessage::close:
      uiEndDialog(dialog, 1);
      return true;
    default:
      return false;
  }
}

}  // namespace

void showInfoBox(MainDialog& d) {
  if (infoBoxOpen) return;
  infoBoxOpen = true;
  InfoContext context{&d};
  uiRunModal(kInfoTemplate, infoProc, &context, uiWindowHandle(d.window));
  infoBoxOpen = false;
}
