// The main dialog's two gallery commands: the presets gallery (button 40) and the memory-dots
// gallery (the right click on the memory-dot panel). Each asks for the files, writes the page
// under the wait cursor, then shows it in the browser; a page that could not be written is
// not shown, and a message window says so.
#pragma once

#include "host/plugin_state.h"

struct MainDialog;

// "Choose any file in the source folder", then "Save an HTML page".
void presetsGalleryButton(MainDialog& d);
// "Save an HTML page"; afterwards the dialog shows the settings it had before.
void memoryDotsGalleryClick(MainDialog& d);

// The commands without their file dialogs, for any caller that has the paths: the page of
// the presets in the folder of `chosenFile`, or of the filled memory dots (rendered under the
// progress window; kErrCancelled, with nothing written, when it is closed before the first
// dot). The writer's code, or the browser's when the page was written. The message window is
// owned by `owner`.
OSErr presetsGalleryCommand(intptr_t owner, const char* chosenFile, const char* pagePath);
OSErr memoryDotsGalleryCommand(PluginState& state, intptr_t owner, const char* pagePath);
