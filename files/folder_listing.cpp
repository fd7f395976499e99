#include "files/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include "files/file_io.h"
#include "files/paths.h"

OSErr listFiles(const char* folder, std::vector<std::string>& names) {
  names.clear();
  if (!folder || !folder[0]) return kErrCannotOpen;
  DIR* listing = opendir(folder);
  if (!listing) return kErrCannotOpen;
  while (const dirent* entry = readdir(listing)) {
    const FileSpec path = joinPath(folder, entry->d_name);
    struct stat info;
    if (stat(path.path, &info) != 0 || S_ISDIR(info.st_mode)) continue;
    names.emplace_back(entry->d_name);
  }
  closedir(listing);
  return noErr;
}
