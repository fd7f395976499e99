#include "app/system.h"

#include <windows.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "ui/win32/wide_text.h"

// GetTempPath looks at TMP first.
const char* const kTemporaryFolderVariable = "TMP";

void setEnvironment(const char* name, const char* value) { _putenv_s(name, value ? value : ""); }

bool errorsGoToTerminal() { return _isatty(_fileno(stderr)); }

int coreCount() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors > 0 ? int(info.dwNumberOfProcessors) : 1;
}

bool makeUniqueFolder(const std::string& parent, const char* prefix, std::string& made) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string name = parent + prefix + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount() + attempt);
    if (CreateDirectoryW(wideText(name).c_str(), nullptr)) {
      made = name;
      return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  errno = GetLastError() == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
  return false;
}
