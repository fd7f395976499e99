// Scripting parameters: a host that records actions plays a recorded run's values to the
// module at Start, and takes the values of every run back at Finish to record them.
#pragma once

#include "host/plugin_state.h"
#include "host/scripting_keys.h"

// Hosts that offer the descriptor procedures but must not have them used.
constexpr OSType kSkippingHostSignatures[] = {fourCharCode("PSP8"), fourCharCode("PSP9")};

// The host's descriptor parameters and both procedure tables are present, of version 0, long
// enough, and every procedure in them is set.
bool descriptorsAvailable(const FilterRecord& record);
bool hostSkipsScripting(const FilterRecord& record);
// Whether the host plays scripted values for this run, in which case they, and not the
// last-used settings, are the run's settings.
bool scriptedParametersPresent(const FilterRecord& record);

// At Start, before the dialog: takes the host's descriptor (if any) into the settings and
// decides from the host's play information whether the dialog is shown. A close error other
// than a missing parameter is left in *result and ends Start.
void readScriptingParameters(PluginState& state);
// At Finish: hands the run's values to the host, which records them.
void writeScriptingParameters(PluginState& state);
