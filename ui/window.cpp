#include "ui/window.h"

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>

#include "ui/dialog_record.h"
#include "ui/headless/headless.h"

extern char** environ;

namespace {
std::string lastError;

// Rounds a × b / c to the nearest whole number, halves away from zero.
int32_t scaleRounded(int32_t a, int32_t b, int32_t c) {
  const int64_t product = static_cast<int64_t>(a) * b;
  const int64_t half = c / 2;
  return static_cast<int32_t>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}
}  // namespace

const UiBackend& uiBackend() { return headlessBackend(); }

void setLastError(const std::string& text) { lastError = text; }

const char* uiLastError() { return lastError.c_str(); }

int32_t uiRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t owner) {
  UiDialog dialog{&dialogTemplate, proc, context, &uiBackend()};
  buildDialog(dialog);
  const int32_t code = dialog.backend->run(&dialog, owner);
  releaseDialog(dialog);
  return code;
}

UiRect uiDialogUnitsToPixels(const UiRect& units) {
  return {scaleRounded(units.left, kUiBaseUnitX, 4), scaleRounded(units.top, kUiBaseUnitY, 8),
          scaleRounded(units.width, kUiBaseUnitX, 4), scaleRounded(units.height, kUiBaseUnitY, 8)};
}

UiPoint placeWindow(const UiRect& owner, int32_t width, int32_t height, const UiRect& screen, bool systemMenu) {
  const int32_t shift = systemMenu ? kUiCaptionButtonWidth : kUiCaptionButtonWidth - kUiCaptionButtonWidth / 3;
  UiPoint p;
  p.x = owner.left + std::max(0, owner.width - width) / 2 - shift;
  p.y = owner.top + std::max(0, owner.height - height) / 3;
  const int32_t right = screen.left + screen.width, bottom = screen.top + screen.height;
  if (p.x + width > right) p.x = std::max(screen.left, right - width);
  if (p.y + height > bottom) p.y = std::max(screen.top, bottom - height);
  return p;
}

bool uiOpenAddress(const char* address) {
  const char* argv[] = {"xdg-open", address, nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
