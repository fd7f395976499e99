// tarve apply: an image file through the filter into another image file.
#pragma once

#include <string>

#include "app/options.h"

constexpr int kExitError = 2;
constexpr int kExitCancelled = 1;  // the dialog ended with Cancel: nothing written
constexpr int kExitInterrupted = 130;  // as a shell reports a process ended by Ctrl-C

// Returns the exit status; a failure has printed its one line on standard error.
int applyCommand(const Options& options);

// One input into one output with the options' settings. In a batch every line the run
// prints names the input, and an existing output is replaced only with --overwrite.
struct ApplyJob {
  std::string input, output;
  bool batch = false;
};
int applyFile(const Options& options, const ApplyJob& job);
