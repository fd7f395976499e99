#include "dialog/main_dialog.h"

#include "host/module.h"
#include "ui/window.h"

namespace {
constexpr int32_t kOkButton = 1;
constexpr int32_t kCancelButton = 2;

const ControlTemplate mainControls[] = {
    {kOkButton, ControlKind::pushButton, "OK", {790, 470, 80, 24}},
    {kCancelButton, ControlKind::pushButton, "Cancel", {790, 504, 80, 24}},
};
const DialogTemplate mainTemplate{"TARVE", "Tarve", 881, 541, mainControls};

bool mainProc(UiDialog* dialog, const UiEvent& event, void* context) {
  auto& state = *static_cast<PluginState*>(context);
  const bool ok = event.message == UiMessage::command && event.id == kOkButton;
  const bool cancel = event.message == UiMessage::close ||
                      (event.message == UiMessage::command && event.id == kCancelButton);
  if (ok) {
    state.dialogExit = 1;
    uiEndDialog(dialog, 3);
  } else if (cancel) {
    state.dialogExit = 2;
    *state.result = userCanceledErr;
    uiEndDialog(dialog, 2);
  }
  return ok || cancel;
}
}  // namespace

int32_t runMainDialog(PluginState& state) {
  const int32_t code = uiRunModal(mainTemplate, mainProc, &state, hostWindow(state.filterRecord));
  if (code == kUiCannotShow) reportWindowError(state.filterRecord, state.result);
  return code;
}

void resetDialogRunValues(ParameterBlock& block) {
  block.capturedControl = -1;
  block.captureTick = 0;
  block.panMoved = false;
  block.zoomChanged = false;
  block.lastMouse = block.currentMouse = {0, 0};
}
