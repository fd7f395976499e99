// The handlers of the selectors the host calls the module with.
#pragma once

#include "host/plugin_state.h"

// Creates the parameter block in the host's parameters handle when there is none, and
// points state.parameters at it. Sets *result = -108 when it cannot be allocated.
void ensureParameterBlock(PluginState& state);

void doParameters(PluginState& state);
void doPrepare(PluginState& state);
void doStart(PluginState& state);
void doContinue(PluginState& state);
void doFinish(PluginState& state);
