#include "dialog/progress_window.h"

#include <cstdio>

#include "files/file_io.h"
#include "ui/window.h"

namespace {

enum : int32_t { kPercentText = 2, kRenderingText = 3, kStartTimer = 993 };
constexpr uint32_t kInputInterval = 50;  // milliseconds

const ControlTemplate progressControls[] = {
    {kRenderingText, ControlKind::text, "Rendering...", {6, 10, 90, 8}, kUiCentred},
    {kPercentText, ControlKind::text, "0%", {6, 26, 90, 8}, kUiCentred},
};
const DialogTemplate psdProgressTemplate{"MONDO_PROGRESS", "PSD file progress", 102, 50, progressControls,
                                         UiUnits::dialogUnits};
const DialogTemplate pageProgressTemplate{"MONDO_PROGRESS", "Web page progress", 102, 50, progressControls,
                                          UiUnits::dialogUnits};

ProgressWindow* openWindow = nullptr;

void markCancelled(ProgressWindow& w) {
  w.cancelled = true;
  if (w.dialog) uiSetControlText(w.dialog, kPercentText, "Cancelling...");
}

bool progressProc(UiDialog* dialog, const UiEvent& event, void* context) {
  ProgressWindow& w = *static_cast<ProgressWindow*>(context);
  switch (event.message) {
    case UiMessage::init:
      w.dialog = dialog;
      uiRaise(dialog);
      uiSetCursor(dialog, kUiWaitCursor);
      w.cancelled = false;
      uiSetTimer(dialog, kStartTimer, 1000, false);
      return true;
    case UiMessage::timer:
      if (event.id != kStartTimer) return false;
      uiKillTimer(dialog, kStartTimer);
      w.working = true;
      w.result = w.work(*w.state, w.context);
      w.working = false;
      uiSetCursor(dialog, kUiArrowCursor);
      uiEndDialog(dialog, 1);
      return true;
    case UiMessage::command:
      // Escape; the window has no buttons.
      if (event.id != kUiCancel) return false;
      [[fallthrough]];
    case UiMessage::close:
      // The work ends the window itself, with everything it must still write.
      if (w.working) {
        markCancelled(w);
        return true;
      }
      uiSetCursor(dialog, kUiArrowCursor);
      uiEndDialog(dialog, 2);
      return true;
    default:
      return false;
  }
}

}  // namespace

OSErr runProgressWindow(PluginState& state, ProgressTitle title, OSErr (*work)(PluginState& state, void* context),
                        void* context) {
  if (openWindow) {
    if (openWindow->dialog) uiRaise(openWindow->dialog);
    return kErrCancelled;
  }
  ProgressWindow window{nullptr, false, false, false, 0, -1, &state, work, context, kErrCancelled};
  openWindow = &window;
  state.progressWindow = &window;
  uiRunModal(title == ProgressTitle::psdFile ? psdProgressTemplate : pageProgressTemplate, progressProc, &window, 0);
  state.progressWindow = nullptr;
  openWindow = nullptr;
  return window.result;
}

void showProgress(ProgressWindow& window, int32_t done, int32_t total, int32_t pass, int32_t passes) {
  if (!window.dialog || window.cancelled || total <= 0 || passes <= 0) return;
  const int32_t percent = int32_t((int64_t(done) + int64_t(total) * pass) * 100 / (int64_t(total) * passes));
  // The text is drawn only when the number changes: thousands of rows, a hundred steps.
  if (percent == window.shownPercent) return;
  window.shownPercent = percent;
  char text[16];
  std::snprintf(text, sizeof text, "%d%%", int(percent));
  uiSetControlText(window.dialog, kPercentText, text);
  uiRaise(window.dialog);
  uiUpdate(window.dialog);
}

void cancelProgress(ProgressWindow& window) {
  if (window.cancelled) return;
  markCancelled(window);
  if (window.dialog) uiUpdate(window.dialog);
}

bool progressStopWanted(ProgressWindow& window) {
  // Taking the input is a round trip to the display: twenty times a second answers a click
  // at once and costs the render nothing.
  const uint32_t now = uiTickCount();
  if (window.dialog && !window.cancelled && (!window.inputSeen || now - window.inputSeenAt >= kInputInterval)) {
    window.inputSeen = true;
    window.inputSeenAt = now;
    uiUpdate(window.dialog);
  }
  return window.cancelled;
}
