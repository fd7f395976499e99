// The artwork carried as data, for a build that cannot paint it (Windows: no Cairo). The
// data source is written at build time by resources/tools/write_artwork_source from the
// same painters the Linux module runs, so both show the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>

struct StoredArtwork {
  int32_t id;
  int32_t width, height;
  int32_t hotX, hotY;  // cursors only
  const char* packed;  // resources/windows/artwork_packing.h
  size_t packedSize;
};

// Pictures in ascending id order, then the cursors.
extern const StoredArtwork kStoredPictures[];
extern const size_t kStoredPictureCount;
extern const StoredArtwork kStoredCursors[];
extern const size_t kStoredCursorCount;
