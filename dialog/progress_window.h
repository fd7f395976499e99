// The small window that shows how far an export has come while it renders. It runs the
// export itself, from its timer, so that the window is on the screen first.
#pragma once

#include "host/plugin_state.h"

struct UiDialog;

struct ProgressWindow {
  UiDialog* dialog;
  bool cancelled;
  int32_t shownPercent;
  PluginState* state;
  OSErr (*work)(PluginState& state, void* context);
  void* context;
  OSErr result;
};

// Runs `work` inside the window, which is open meanwhile as state.progressWindow. The work's
// code; kErrCancelled when the window was closed before the work began. A request while
// one is open only raises it, and is answered kErrCancelled.
OSErr runProgressWindow(PluginState& state, OSErr (*work)(PluginState& state, void* context), void* context);

// "%d%%" of (done + total × pass) over (total × passes), and the window to the front.
void showProgress(ProgressWindow& window, int32_t done, int32_t total, int32_t pass, int32_t passes);

// The render stops: the text says so and the cancel flag is set.
void cancelProgress(ProgressWindow& window);
