// The presets page: every settings file of a folder shown by its embedded thumbnail.
#pragma once

#include "sdk/host_interface.h"

// Writes the page at `pagePath` for the settings files in `sourceFolder`: every entry whose
// name holds ".q8r" in any case. Nothing is written when the folder cannot be listed (99)
// or the page cannot be opened (99); otherwise the page's first write error, or noErr.
OSErr writePresetsPage(const char* sourceFolder, const char* pagePath);
