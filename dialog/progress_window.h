// The small window that shows how far an export has come while it renders. It runs the
// export itself, from its timer, so that the window is on the screen first.
#pragma once

#include "host/plugin_state.h"

struct UiDialog;

struct ProgressWindow {
  UiDialog* dialog;
  bool cancelled;
  bool working;          // the work has begun: closing the window now stops it instead
  bool inputSeen;        // progressStopWanted has looked at the input once
  uint32_t inputSeenAt;  // and when, on uiTickCount's clock
  int32_t shownPercent;
  PluginState* state;
  OSErr (*work)(PluginState& state, void* context);
  void* context;
  OSErr result;
};

// The window's title: the PSD export's, or the memory-dots page's.
enum class ProgressTitle { psdFile, webPage };

// Runs `work` inside the window, which is open meanwhile as state.progressWindow. The work's
// code; kErrCancelled when the window was closed before the work began. Closing the window
// (or Escape) while the work runs cancels it, as far as the work looks (progressStopWanted).
// A request while one is open only raises it, and is answered kErrCancelled.
OSErr runProgressWindow(PluginState& state, ProgressTitle title, OSErr (*work)(PluginState& state, void* context),
                        void* context);

// "%d%%" of (done + total × pass) over (total × passes), and the window to the front.
void showProgress(ProgressWindow& window, int32_t done, int32_t total, int32_t pass, int32_t passes);

// The render stops: the text says so and the cancel flag is set.
void cancelProgress(ProgressWindow& window);

// Answers whether the work should stop, letting the window take what the user did
// meanwhile (closing it cancels) the first time and then every 50 ms: a render calls it at
// every row it polls.
bool progressStopWanted(ProgressWindow& window);
