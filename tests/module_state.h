// The plug-in's working record behind a host's data slot, for tests that look inside a run.
#pragma once

#include "app/host/host.h"
#include "host/plugin_state.h"

inline PluginState& stateOf(Host& host) { return *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data)); }
