#include "app/atomic_output.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "app/interrupt.h"

bool beginAtomicOutput(const std::string& path, AtomicOutput& output, std::string& error) {
  output = {};
  output.path = path;
  struct stat status {};
  if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
    char target[PATH_MAX];
    if (realpath(path.c_str(), target)) output.path = target;
  }
  if (stat(output.path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    error = "cannot write " + path + ": it is a folder or a device, not a file";
    return false;
  }
  const size_t slash = output.path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : output.path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? output.path : output.path.substr(slash + 1);
  std::string pattern = folder + "." + name + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  close(fd);
  output.temporary = pattern;
  removeOnInterrupt(output.temporary.c_str());
  return true;
}

bool commitAtomicOutput(AtomicOutput& output, std::string& error) {
  struct stat status {};
  mode_t mode;
  if (stat(output.path.c_str(), &status) == 0) {
    mode = status.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  const int flags = output.replace ? 0 : RENAME_NOREPLACE;
  if (chmod(output.temporary.c_str(), mode) != 0 ||
      renameat2(AT_FDCWD, output.temporary.c_str(), AT_FDCWD, output.path.c_str(), flags) != 0) {
    error = "cannot write " + output.path + ": " + std::strerror(errno);
    abandonAtomicOutput(output);
    return false;
  }
  forgetOnInterrupt(output.temporary.c_str());
  output.temporary.clear();
  return true;
}

void abandonAtomicOutput(AtomicOutput& output) {
  if (output.temporary.empty()) return;
  forgetOnInterrupt(output.temporary.c_str());
  unlink(output.temporary.c_str());
  output.temporary.clear();
}
