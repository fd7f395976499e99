// The commit step's undo levels: which change records one, and Undo, which swaps between
// the last two recorded.
#pragma once

#include <cstdint>

#include "dialog/control_table.h"
#include "host/plugin_state.h"

enum class UndoLevel { none, memory, memoryAndFile };

constexpr int32_t kIdCentrePick = 777;  // a centre picked in the preview, as a commit id

// What a change of the control with this id records. `holdsSettings` is, for a memory dot,
// whether it holds settings once its click was handled, and for the dot panel whether it
// shows a dot; the other two are the button and key of that click.
UndoLevel undoLevelFor(int32_t id, bool holdsSettings, bool rightButton, bool controlHeld);

// "Tarve undo 0" or "Tarve undo 1" in the temporary folder.
FileSpec undoFilePath(int32_t slot);

// Switches to the other slot and copies the settings into it; the file level also writes
// them to that slot's undo file. A file that cannot be written is not reported: the slot
// then restores from memory alone.
void recordUndoLevel(PluginState& state, UndoLevel level);

// Returns to the other slot when it holds a level; the centre stays where it is. False,
// with nothing changed, when there is no level to return to.
bool undoStep(PluginState& state);

// Turns the selected dot back into a filled one.
void deselectMemoryDots(MemoryDots& dots);
