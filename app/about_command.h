// tarve about: the module's about box, shown by the module in a window of its own.
#pragma once

#include "app/options.h"

// 0 once the box is closed; 2 with one line when it cannot be shown (no display, no module).
int aboutCommand(const Options& options);
