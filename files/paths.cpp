#include "files/paths.h"

#include "files/file_system.h"

#include <cstring>

bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

static FileSpec emptySpec() {
  FileSpec fspec;
  fspec.path[0] = '\0';
  return fspec;
}

FileSpec makeFileSpec(const char* text) {
  FileSpec fspec = emptySpec();
  if (!text) return fspec;
  const size_t length = std::strlen(text);
  if (length > static_cast<size_t>(kMaxPathChars)) return fspec;
  std::memcpy(fspec.path, text, length + 1);
  return fspec;
}

FileSpec temporaryFile(const char* name) {
  const FileSpec folder = temporaryFolder();
  if (!name) return emptySpec();
  const size_t folderLength = std::strlen(folder.path), nameLength = std::strlen(name);
  if (folderLength + nameLength > static_cast<size_t>(kMaxPathChars)) return emptySpec();
  FileSpec fspec = folder;
  std::memcpy(fspec.path + folderLength, name, nameLength + 1);
  return fspec;
}

FileSpec joinPath(const char* folder, const char* name) {
  if (!folder) folder = "";
  if (!name) name = "";
  const size_t folderLength = std::strlen(folder), nameLength = std::strlen(name);
  if (folderLength + nameLength + 1 > static_cast<size_t>(kMaxPathChars)) return emptySpec();
  FileSpec fspec;
  std::memcpy(fspec.path, folder, folderLength);
  size_t at = folderLength;
  if (folderLength > 0 && !isPathSeparator(folder[folderLength - 1])) fspec.path[at++] = kPathSeparator;
  std::memcpy(fspec.path + at, name, nameLength + 1);
  return fspec;
}

// Index just past the last separator, or 0 when there is none.
static size_t afterLastSeparator(const char* path) {
  size_t after = 0;
  for (size_t i = 0; path[i]; ++i)
    if (isPathSeparator(path[i])) after = i + 1;
  return after;
}

FileSpec folderPart(const char* path) {
  FileSpec fspec = makeFileSpec(path);
  const size_t after = afterLastSeparator(fspec.path);
  if (after > 0) fspec.path[after] = '\0';
  return fspec;
}

void copyFolderPart(const char* path, char* folder, size_t capacity) {
  const FileSpec part = folderPart(path);
  const size_t length = std::strlen(part.path);
  if (capacity == 0) return;
  folder[0] = '\0';
  if (length < capacity) std::memcpy(folder, part.path, length + 1);
}

FileSpec fileNamePart(const char* path) {
  const FileSpec whole = makeFileSpec(path);
  return makeFileSpec(whole.path + afterLastSeparator(whole.path));
}

void stripExtension(char* text) {
  if (!text) return;
  if (char* dot = std::strrchr(text, '.')) *dot = '\0';
}

const char* extensionOf(const char* text) {
  if (!text || std::strlen(text) <= 1) return "";
  const char* dot = std::strrchr(text, '.');
  return dot ? dot : "";
}

OSErr makeSubfolder(const char* folder, const char* name, FileSpec& subfolder) {
  subfolder = joinPath(folder, name);
  const size_t length = std::strlen(subfolder.path);
  if (length == 0 || length + 1 > static_cast<size_t>(kMaxPathChars)) {
    subfolder = emptySpec();
    return kErrCannotOpen;
  }
  if (makeFolder(subfolder.path) != noErr) return kErrCannotOpen;
  subfolder.path[length] = kPathSeparator;
  subfolder.path[length + 1] = '\0';
  return noErr;
}
