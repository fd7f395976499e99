// The main dialog's two gallery commands: the presets gallery (button 40) and the memory-dots
// gallery (the right click on the memory-dot panel). The dialog asks for the files with its
// file dialogs, then calls one of these. Each writes the page, then shows it in the browser;
// a page that could not be written is not shown, and a message window says so.
#pragma once

#include "host/plugin_state.h"

// The page of the presets in the folder of `chosenFile` (the file picked in "Choose any file
// in the source folder"). The writer's code, or the browser's when the page was written.
OSErr presetsGalleryCommand(PluginState& state, const char* chosenFile, const char* pagePath);

// The page of the filled memory dots, each rendered over the whole image; the dialog shows the
// settings it had before.
OSErr memoryDotsGalleryCommand(PluginState& state, const char* pagePath);
