#include "dialog/undo_levels.h"

#include <cstring>

#include "dialog/main_dialog_record.h"
#include "host/settings_file.h"

UndoLevel undoLevelFor(int32_t id, bool holdsSettings, bool rightButton, bool controlHeld) {
  switch (id) {
    case kIdCancel:
    case kIdOk:
    case kIdSavePreset:
    case kIdZoomIn:
    case kIdZoomOut:
    case kIdZoom100:
    case kIdPresetsGallery:
    case kIdUndo: return UndoLevel::none;
    case kIdLoadPreset: return UndoLevel::memoryAndFile;
    case kEditTimer:
    case kIdCentrePick: return UndoLevel::memory;
    default: break;
  }
  switch (controlEntry(id).kind) {
    case DialogControlKind::memoryDot:
      return holdsSettings && !rightButton && !controlHeld ? UndoLevel::memoryAndFile : UndoLevel::none;
    // Its right click makes the memory-dots page, which leaves the settings as they were.
    case DialogControlKind::dotPreview:
      return holdsSettings && !rightButton ? UndoLevel::memoryAndFile : UndoLevel::none;
    case DialogControlKind::slider:
    case DialogControlKind::pushButton:
    case DialogControlKind::iconButton:
    case DialogControlKind::colourSwatch:
    case DialogControlKind::glueList: return UndoLevel::memory;
    default: return UndoLevel::none;
  }
}

FileSpec undoFilePath(int32_t slot) { return temporaryFile(slot == 0 ? "Tarve undo 0" : "Tarve undo 1"); }

void recordUndoLevel(PluginState& state, UndoLevel level) {
  if (level == UndoLevel::none) return;
  const ParameterBlock& block = *state.parameters;
  state.undoSlot = 1 - state.undoSlot;
  UndoSlot& slot = state.undoSlots[state.undoSlot];
  slot.settings = block.settings;
  std::memcpy(slot.settingsFileName, block.settingsFileName, kPathLength);
  slot.valid = true;
  slot.fromFile = level == UndoLevel::memoryAndFile &&
                  writeSettingsFile(undoFilePath(state.undoSlot).path, block.settings, nullptr) == noErr;
}

bool undoStep(PluginState& state) {
  const int32_t other = 1 - state.undoSlot;
  const UndoSlot& slot = state.undoSlots[other];
  if (!slot.valid) return false;
  Settings& settings = state.parameters->settings;
  const float centreX = settings.centreX, centreY = settings.centreY;
  settings = slot.settings;
  if (slot.fromFile) {
    // A file that was changed or damaged since it was written cannot leave half its values
    // over the level: it counts whole or not at all.
    Settings fromFile = slot.settings;
    ThumbnailRead found{};
    if (readSettingsFile(undoFilePath(other).path, kReadSettingsAndThumbnail, fromFile, nullptr, found) == noErr)
      settings = fromFile;
  }
  settings.centreX = centreX;
  settings.centreY = centreY;
  std::memcpy(state.parameters->settingsFileName, slot.settingsFileName, kPathLength);
  state.undoSlot = other;
  return true;
}

void deselectMemoryDots(MemoryDots& dots) {
  for (int16_t& display : dots.display)
    if (display == kDotCurrent) display = kDotFilled;
}
