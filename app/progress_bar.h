// The progress bar on standard error: one line redrawn in place, only when the shown
// percentage changes, and finished with a new line so that the shell prompt starts clean.
#pragma once

#include <cstdint>
#include <cstdio>

struct ProgressBar {
  FILE* stream = nullptr;  // null: the bar is off
  int32_t shownPercent = -1;
};

// The host's progress procedure calls this through Host::onProgress.
void progressBarUpdate(void* bar, int32_t done, int32_t total);
// Ends the line the bar was drawn on, if it was drawn; a completed run shows 100 % first
// (modules report progress now and then, not necessarily at the very end).
void progressBarEnd(ProgressBar& bar, bool completed);
