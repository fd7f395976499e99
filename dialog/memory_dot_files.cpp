#include "dialog/memory_dot_files.h"

#include "dialog/thumbnail_capture.h"
#include "files/file_io.h"
#include "files/memory_dot_store.h"
#include "files/thumbnail.h"
#include "host/settings_file.h"

bool storeMemoryDot(PluginState& state, int32_t slot) {
  capturePreviewThumbnail(state);
  const Raster* thumbnail = rasterExists(state.thumbnail) ? &state.thumbnail : nullptr;
  return writeSettingsFile(memoryDotPath(slot).path, state.parameters->settings, thumbnail) == noErr;
}

bool recallMemoryDot(PluginState& state, int32_t slot) {
  Settings& settings = state.parameters->settings;
  // Half a dot would be a look nobody stored: the values count whole or not at all.
  Settings read = settings;
  ThumbnailRead found{};
  if (readSettingsFile(memoryDotPath(slot).path, kReadSettingsAndThumbnail, read, nullptr, found) != noErr)
    return false;
  settings = read;
  return true;
}

bool loadMemoryDotThumbnail(PluginState& state, int32_t slot) {
  if (!rasterExists(state.thumbnail)) return false;
  resetToBlankThumbnail(state.thumbnail);
  Settings ignored{};
  ThumbnailRead found{};
  return readSettingsFile(memoryDotPath(slot).path, kReadThumbnailOnly, ignored, &state.thumbnail, found) == noErr &&
         found.loaded;
}

bool memoryDotFileExists(int32_t slot) {
  FileHandle file = kNoFile;
  if (openFile(memoryDotPath(slot).path, FileAccess::reading, file) != noErr) return false;
  closeFile(file);
  return true;
}
