#include "ui/window.h"

#include <algorithm>
#include <spawn.h>
#include <sys/wait.h>

#include "ui/headless/headless.h"

extern char** environ;

int32_t uiRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t parent) {
  return headlessRunModal(dialogTemplate, proc, context, parent);
}

UiPoint placeWindow(const UiRect& parent, int32_t width, int32_t height, const UiRect& screen) {
  UiPoint p;
  p.x = parent.left + (parent.width - width) / 2;
  p.y = parent.top + (parent.height - height) / 3;
  p.x = std::max(screen.left, std::min(p.x, screen.left + screen.width - width));
  p.y = std::max(screen.top, std::min(p.y, screen.top + screen.height - height));
  return p;
}

bool uiOpenAddress(const char* address) {
  const char* argv[] = {"xdg-open", address, nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
