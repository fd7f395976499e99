// The one settings file format of the program: presets (.q8r), the cached settings of the
// last accepted run, memory dots and undo levels. A version number, then 32-bit big-endian
// values, then the thumbnail as JPEG. Files of every version since the first still load.
#pragma once

#include <cstdint>

#include "host/settings.h"
#include "raster/raster.h"
#include "sdk/host_interface.h"

constexpr int32_t kSettingsFileVersion = 40;

enum SettingsReadMode : int32_t {
  kReadSettingsAndThumbnail = 0,
  kReadThumbnailOnly = 1,  // file previews and galleries: the settings stay untouched
};

// What a read found of the thumbnail.
struct ThumbnailRead {
  bool loaded;            // a picture was put into the thumbnail raster
  int32_t width, height;  // as the file gives them (0..128); 0 when it holds none
};

// Writes version 40; with a thumbnail raster the picture is stored as a 128 x 128 JPEG,
// without one (or without memory for it) the thumbnail block is the single value 0.
// 99 when the file cannot be opened; otherwise the first write error, if any.
OSErr writeSettingsFile(const char* path, const Settings& settings, const Raster* thumbnail);

// Reads a file of any version 1..40 over `settings` (mode 0) and brings older versions up
// to date. The thumbnail, when the file has one and `thumbnail` is a raster, is scaled into
// it. Reading stops at the first failed read: what was read until then is kept, every
// other field keeps the value it had, and the result is readErr. A version outside 1..40
// is readErr with nothing changed; 99 when the file cannot be opened. `found` is always
// reset first.
OSErr readSettingsFile(const char* path, int32_t mode, Settings& settings, Raster* thumbnail, ThumbnailRead& found);

// The cached settings "Tarve cached settings C" in the temporary folder: loaded over the
// current settings at Start when the host gives no scripting parameters, saved after the
// dialog closes with OK. A missing file is not an error for the user: the settings stay.
OSErr loadCachedSettings(Settings& settings, Raster* thumbnail);
OSErr saveCachedSettings(const Settings& settings, const Raster* thumbnail);
