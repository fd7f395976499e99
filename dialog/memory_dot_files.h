// The dialog's memory dots as files: each slot's settings with the preview's picture, in the
// temporary folder, read back over the current settings or only for the picture.
#pragma once

#include <cstdint>

#include "host/plugin_state.h"

// Takes a fresh thumbnail from the preview and writes the current settings with it into the
// slot's file. False when the file could not be written.
bool storeMemoryDot(PluginState& state, int32_t slot);

// Reads the slot's file over the current settings. A file that is missing, cut short or not
// a settings file changes nothing, and false comes back.
bool recallMemoryDot(PluginState& state, int32_t slot);

// The slot's picture into the state's thumbnail, which is reset to the blank gradient first.
// False when the file cannot be read or holds no picture.
bool loadMemoryDotThumbnail(PluginState& state, int32_t slot);

// Whether the slot's file is there to be read.
bool memoryDotFileExists(int32_t slot);
