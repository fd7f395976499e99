// The main dialog, in which the user edits the settings of one run before it is rendered.
#pragma once

#include "host/plugin_state.h"

// Runs the dialog modally over the host's window. Returns 3 after OK and 2 after Cancel;
// sets state.dialogExit (1 OK, 2 Cancel) and, on Cancel, *state.result = -128.
int32_t runMainDialog(PluginState& state);

// The dialog's values that last one run: no capture, no drag, no zoom pending.
void resetDialogRunValues(ParameterBlock& block);
