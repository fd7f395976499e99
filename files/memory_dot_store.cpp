#include "files/memory_dot_store.h"

#include <cstdio>

#include "files/file_io.h"

constexpr int32_t kMapVersion = 40;

FileSpec memoryDotPath(int32_t slot) {
  if (slot < 0 || slot > kScratchDotSlot) return makeFileSpec("");
  char name[64];
  std::snprintf(name, sizeof name, "%s memory dot %d%s", "Tarve", int(slot), ".q8r");
  return temporaryFile(name);
}

FileSpec memoryDotMapPath() { return temporaryFile(kMemoryDotMapName); }

FileSpec cachedSettingsPath() { return temporaryFile(kCachedSettingsName); }

OSErr saveMemoryDotMap(const MemoryDots& dots) {
  FileHandle file = kNoFile;
  if (openFile(memoryDotMapPath().path, FileAccess::writing, file) != noErr) return kErrCannotOpen;
  OSErr result = writeInt32(file, kMapVersion);
  for (int i = 0; i < kMemoryDotCount && result == noErr; ++i) result = writeInt32(file, dots.pinned[i]);
  if (result == noErr) result = setEndOfFile(file);
  closeFile(file);
  return result;
}

OSErr loadMemoryDotMap(MemoryDots& dots) {
  for (int32_t& flag : dots.pinned) flag = 0;
  FileHandle file = kNoFile;
  if (openFile(memoryDotMapPath().path, FileAccess::reading, file) != noErr) return kErrCannotOpen;
  int32_t version;
  OSErr result = readInt32(file, version);
  for (int i = 0; i < kMemoryDotCount && result == noErr; ++i) result = readInt32(file, dots.pinned[i]);
  closeFile(file);
  return result;
}
