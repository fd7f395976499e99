#include "files/paths.h"

#include "files/file_io.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

bool isPathSeparator(char c) { return c == '/' || c == '\\'; }

static FileSpec emptySpec() {
  FileSpec spec;
  spec.path[0] = '\0';
  return spec;
}

FileSpec makeFileSpec(const char* text) {
  FileSpec spec = emptySpec();
  if (!text) return spec;
  const size_t length = std::strlen(text);
  if (length > static_cast<size_t>(kMaxPathChars)) return spec;
  std::memcpy(spec.path, text, length + 1);
  return spec;
}

FileSpec temporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  const size_t length = folder ? std::strlen(folder) : 0;
  // Room for the separator we may add: the folder must still be a whole path.
  if (length == 0 || length + 1 > static_cast<size_t>(kMaxPathChars)) return makeFileSpec("/tmp/");
  FileSpec spec = makeFileSpec(folder);
  if (!isPathSeparator(spec.path[length - 1])) {
    spec.path[length] = kPathSeparator;
    spec.path[length + 1] = '\0';
  }
  return spec;
}

FileSpec temporaryFile(const char* name) {
  const FileSpec folder = temporaryFolder();
  if (!name) return emptySpec();
  const size_t folderLength = std::strlen(folder.path), nameLength = std::strlen(name);
  if (folderLength + nameLength > static_cast<size_t>(kMaxPathChars)) return emptySpec();
  FileSpec spec = folder;
  std::memcpy(spec.path + folderLength, name, nameLength + 1);
  return spec;
}

FileSpec joinPath(const char* folder, const char* name) {
  if (!folder) folder = "";
  if (!name) name = "";
  const size_t folderLength = std::strlen(folder), nameLength = std::strlen(name);
  if (folderLength + nameLength + 1 > static_cast<size_t>(kMaxPathChars)) return emptySpec();
  FileSpec spec;
  std::memcpy(spec.path, folder, folderLength);
  size_t at = folderLength;
  if (folderLength > 0 && !isPathSeparator(folder[folderLength - 1])) spec.path[at++] = kPathSeparator;
  std::memcpy(spec.path + at, name, nameLength + 1);
  return spec;
}

// Index just past the last separator, or 0 when there is none.
static size_t afterLastSeparator(const char* path) {
  size_t after = 0;
  for (size_t i = 0; path[i]; ++i)
    if (isPathSeparator(path[i])) after = i + 1;
  return after;
}

FileSpec folderPart(const char* path) {
  FileSpec spec = makeFileSpec(path);
  const size_t after = afterLastSeparator(spec.path);
  if (after > 0) spec.path[after] = '\0';
  return spec;
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
  if (mkdir(subfolder.path, 0777) != 0) {
    struct stat existing;
    if (errno != EEXIST || stat(subfolder.path, &existing) != 0 || !S_ISDIR(existing.st_mode)) return kErrCannotOpen;
  }
  subfolder.path[length] = kPathSeparator;
  subfolder.path[length + 1] = '\0';
  return noErr;
}
