// The headless backend: dialogs live in memory. A test (or a script, through the
// environment) says which commands the user gives; every dialog shown is recorded.
//
// Environment, read at each modal run when no events were queued in memory:
//   TARVE_HEADLESS_EVENTS  commands for every dialog, e.g. "command 1" or "command 2;close"
//   TARVE_HEADLESS_LOG     a file to which one line "shown NAME" is appended per dialog
#pragma once

#include <string>
#include <vector>

#include "ui/window.h"

struct HeadlessShown {
  std::string name;
  std::string title;
  UiPoint position;
  int32_t endCode;
};

int32_t headlessRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t parent);

// Queue events for the next dialogs: each dialog takes events until it ends.
void headlessQueueEvent(UiEvent event);
void headlessClear();
const std::vector<HeadlessShown>& headlessShownDialogs();
