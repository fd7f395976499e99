// Where settings outlive one use of the filter: memory-dot files, the map of pinned dots and
// the cached settings of the last accepted run, all in the temporary folder. The files
// themselves are settings files; this unit names them and keeps the map.
#pragma once

#include <cstdint>

#include "files/paths.h"

constexpr int kMemoryDotCount = 25;     // slots 0..24, shown as dots 1..25
constexpr int32_t kScratchDotSlot = 25;  // holds the user's settings while a gallery is made

enum : int16_t { kDotEmpty = 0, kDotFilled = 1, kDotCurrent = 2 };

// Per slot: the pinned flag (what the map file keeps), the display state and the id of the
// dot's control in the dialog.
struct MemoryDots {
  int32_t pinned[kMemoryDotCount];
  int16_t display[kMemoryDotCount];
  int32_t controlId[kMemoryDotCount];
};

inline constexpr char kMemoryDotMapName[] = "Tarve memdot map 2";
inline constexpr char kCachedSettingsName[] = "Tarve cached settings C";

// "Tarve memory dot <slot>.q8r" in the temporary folder; empty for a slot outside 0..25.
FileSpec memoryDotPath(int32_t slot);
FileSpec memoryDotMapPath();
FileSpec cachedSettingsPath();

// The map: the value 40, then the 25 pinned flags, all 32-bit big-endian.
OSErr saveMemoryDotMap(const MemoryDots& dots);
// Clears every pinned flag first, so a missing or short file leaves the rest unpinned;
// the first value is not looked at.
OSErr loadMemoryDotMap(MemoryDots& dots);
