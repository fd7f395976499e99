#include "files/shell_open.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_io.h"

OSErr openWithDefaultHandler(const char* path) {
  if (!path || !path[0]) return kErrCannotOpen;
  // Two forks, so the handler is adopted by init and never lingers as our zombie; only
  // async-signal-safe calls happen between fork and exec, as the host may have threads.
  const pid_t child = fork();
  if (child < 0) return kErrCannotOpen;
  if (child == 0) {
    const pid_t handler = fork();
    if (handler == 0) {
      char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(path), nullptr};
      execvp("xdg-open", argv);
      _exit(127);
    }
    _exit(handler < 0 ? 1 : 0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return noErr;
  return kErrCannotOpen;
}
