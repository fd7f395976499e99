#include "files/file_system.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "files/paths.h"

OSErr openFile(const char* path, FileAccess access, FileHandle& file) {
  if (!path || !path[0]) return kErrCannotOpen;
  // Non-blocking only for the open itself: a FIFO must not stall us before we can see
  // that it is not a regular file.
  const int flags = access == FileAccess::writing ? O_WRONLY | O_CREAT : O_RDONLY;
  const int fd = open(path, flags | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) return kErrCannotOpen;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, flags & O_ACCMODE) != 0) {
    close(fd);
    return kErrCannotOpen;
  }
  file = fd;
  return noErr;
}

OSErr closeFile(FileHandle& file) {
  const bool closed = file == kNoFile || close(static_cast<int>(file)) == 0;
  file = kNoFile;
  return closed ? noErr : writErr;
}

OSErr setEndOfFile(FileHandle file) {
  const off_t position = lseek(static_cast<int>(file), 0, SEEK_CUR);
  if (position < 0 || ftruncate(static_cast<int>(file), position) != 0) return writErr;
  return noErr;
}

OSErr writeRaw(FileHandle file, const void* data, size_t count) {
  const char* bytes = static_cast<const char*>(data);
  while (count > 0) {
    const ssize_t written = write(static_cast<int>(file), bytes, count);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return writErr;
    bytes += written;
    count -= static_cast<size_t>(written);
  }
  return noErr;
}

OSErr filePosition(FileHandle file, int64_t& position) {
  const off_t at = lseek(static_cast<int>(file), 0, SEEK_CUR);
  if (at < 0) return writErr;
  position = at;
  return noErr;
}

OSErr seekFile(FileHandle file, int64_t position) {
  return lseek(static_cast<int>(file), off_t(position), SEEK_SET) == off_t(position) ? noErr : writErr;
}

OSErr readRaw(FileHandle file, void* data, size_t count) {
  char* bytes = static_cast<char*>(data);
  while (count > 0) {
    const ssize_t got = read(static_cast<int>(file), bytes, count);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return readErr;
    bytes += got;
    count -= static_cast<size_t>(got);
  }
  return noErr;
}

FileSpec temporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  const size_t length = folder ? std::strlen(folder) : 0;
  // Room for the separator we may add: the folder must still be a whole path.
  if (length == 0 || length + 1 > static_cast<size_t>(kMaxPathChars)) return makeFileSpec("/tmp/");
  FileSpec fspec = makeFileSpec(folder);
  if (!isPathSeparator(fspec.path[length - 1])) {
    fspec.path[length] = kPathSeparator;
    fspec.path[length + 1] = '\0';
  }
  return fspec;
}

OSErr makeFolder(const char* path) {
  if (mkdir(path, 0777) == 0) return noErr;
  struct stat existing;
  if (errno != EEXIST || stat(path, &existing) != 0 || !S_ISDIR(existing.st_mode)) return kErrCannotOpen;
  return noErr;
}

ReplacementStart beginReplacement(const char* path, FileReplacement& replacement, FileHandle& file) {
  replacement = {};
  replacement.destination = path;
  // A link is followed, so that the file it names is replaced and the link stays.
  struct stat status {};
  if (lstat(path, &status) == 0 && S_ISLNK(status.st_mode)) {
    char target[PATH_MAX];
    if (realpath(path, target)) replacement.destination = target;
  }
  if (stat(replacement.destination.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    errno = EISDIR;
    return ReplacementStart::notAFile;
  }
  const std::string& destination = replacement.destination;
  const size_t slash = destination.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? destination : destination.substr(slash + 1);
  std::string temporary = folder + "." + name + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return ReplacementStart::cannotCreate;
  replacement.temporary = temporary;
  file = fd;
  return ReplacementStart::started;
}

bool finishReplacement(FileReplacement& replacement, bool replace) {
  struct stat status {};
  mode_t mode;
  if (stat(replacement.destination.c_str(), &status) == 0) {
    mode = status.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  const int flags = replace ? 0 : RENAME_NOREPLACE;
  if (chmod(replacement.temporary.c_str(), mode) != 0 ||
      renameat2(AT_FDCWD, replacement.temporary.c_str(), AT_FDCWD, replacement.destination.c_str(), flags) != 0) {
    const int why = errno;
    abandonReplacement(replacement);
    errno = why;
    return false;
  }
  replacement.temporary.clear();
  return true;
}

void abandonReplacement(FileReplacement& replacement) {
  if (replacement.temporary.empty()) return;
  unlink(replacement.temporary.c_str());
  replacement.temporary.clear();
}

std::string lastSystemError() { return std::strerror(errno); }
