// Values that live as long as the module is loaded and are rewritten at every call, for
// dialog procedures and callbacks that receive no parameters of their own.
#pragma once

#include <cstdint>

#include "sdk/host_interface.h"

struct ModuleValues {
  FilterRecord* filterRecord;
  intptr_t* data;
  int16_t* result;
  void* instance;  // the module's own image, for resources
  bool aboutBoxOpen;
};

extern ModuleValues gModule;

// Shows the about box, unless it is already open; returns how it ended.
int32_t showAboutBox(intptr_t parent);
// Shows a message window from the module's templates; any push button closes it.
int32_t showMessageWindow(const struct DialogTemplate& message, intptr_t parent);

// A window that had to be shown could not be: the host is told why through its error
// string, and *result says so.
void reportWindowError(FilterRecord* filterRecord, int16_t* result);

// The window that owns the module's dialogs: the host's, or none.
intptr_t hostWindow(const FilterRecord* filterRecord);
