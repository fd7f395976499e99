#include "files/shell_open.h"

#include <windows.h>
#include <shellapi.h>

#include "files/file_io.h"
#include "files/windows/wide_paths.h"

OSErr openWithDefaultHandler(const char* path) {
  if (!path || !path[0]) return kErrCannotOpen;
  // ShellExecute answers a number above 32 when the handler was started.
  const HINSTANCE started = ShellExecuteW(nullptr, L"open", widePath(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(started) <= 32) return kErrCannotOpen;
  return noErr;
}
