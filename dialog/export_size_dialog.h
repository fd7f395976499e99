// The size of a PSD export, asked for in a small dialog before the export starts.
#pragma once

#include "host/plugin_state.h"

constexpr int32_t kExportSideMin = 2;
constexpr int32_t kExportSideMax = 30000;

// The main dialog's PSD export button: asks for the export size and, after OK, runs the
// export (save dialog, render with progress, file). While the size dialog is open a second
// request only raises it. True when the size dialog ended with OK. `owner` is the main
// dialog's window, which the save dialog belongs to.
bool askExportSize(PluginState& state, intptr_t owner);

// A field's text as OK reads it: every character but digits, "+" and "-" dropped, the rest
// read as a decimal number (nothing reads as 0), then kept within 2 … 30000.
int32_t exportSideFromText(const char* text);
