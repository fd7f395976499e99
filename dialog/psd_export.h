// The module's side of the PSD export: the document's depth from the host's image, the
// render at the chosen size into a raster, and the file written from it.
#pragma once

#include "files/psd_writer.h"
#include "host/plugin_state.h"

// The export at the size the size dialog chose: the save dialog "Save a PSD file" in the
// remembered export folder, then the render and the file with the progress window. A file
// that could not be written is explained in a message window. noErr, kErrCancelled when
// the user cancelled the save dialog or the render (the file is still written then), or
// the writer's code.
OSErr exportPsdCommand(PluginState& state, intptr_t owner);

// 1, 2 or 4 bytes per channel for the host's image mode and bits per channel.
uint8_t exportBytesPerChannel(int16_t imageMode, int32_t depth);

// Renders the image at the descriptor's size with the current settings and writes the
// document to `path` (replacing it only when complete). kErrNoMemory, with nothing written,
// when the render raster cannot be had; the writer's code otherwise. `cancelled` is set when
// the user stopped the render: the file is still written, with the rows rendered so far.
OSErr writePsdExport(PluginState& state, const char* path, ExportDescriptor& descriptor, bool& cancelled);
