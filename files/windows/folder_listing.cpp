#include "files/folder_listing.h"

#include <windows.h>

#include "files/file_io.h"
#include "files/paths.h"
#include "files/windows/wide_paths.h"

OSErr listFiles(const char* folder, std::vector<std::string>& names) {
  names.clear();
  if (!folder || !folder[0]) return kErrCannotOpen;
  const FileSpec pattern = joinPath(folder, "*");
  if (!pattern.path[0]) return kErrCannotOpen;
  WIN32_FIND_DATAW found;
  const HANDLE listing = FindFirstFileW(widePath(pattern.path).c_str(), &found);
  if (listing == INVALID_HANDLE_VALUE) {
    // An empty folder has no entries at all; anything else is a folder we cannot list.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return noErr;
    return kErrCannotOpen;
  }
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(utf8Path(found.cFileName));
  } while (FindNextFileW(listing, &found));
  FindClose(listing);
  return noErr;
}
