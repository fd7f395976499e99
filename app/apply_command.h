// tarve apply: an image file through the filter into another image file.
#pragma once

#include "app/options.h"

constexpr int kExitError = 2;
constexpr int kExitInterrupted = 130;  // as a shell reports a process ended by Ctrl-C

// Returns the exit status; a failure has printed its one line on standard error.
int applyCommand(const Options& options);
