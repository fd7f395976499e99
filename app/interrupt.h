// Ctrl-C during a run. The first interrupt only raises a flag, which the host's abort
// procedure reports to the module, so that the run ends the way the interface intends
// (the module cleans up and returns its cancelled result). A second interrupt ends the
// process at once, after removing the temporary output files.
#pragma once

#include <csignal>

extern volatile sig_atomic_t gInterrupted;

void installInterruptHandler();
// The files the second interrupt removes (at most two at a time: an image and an action).
// The text must live until the file is forgotten again.
void removeOnInterrupt(const char* path);
void forgetOnInterrupt(const char* path);
