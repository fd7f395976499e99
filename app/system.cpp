#include "app/system.h"

#include <stdlib.h>
#include <unistd.h>

const char* const kTemporaryFolderVariable = "TMPDIR";

void setEnvironment(const char* name, const char* value) {
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

bool errorsGoToTerminal() { return isatty(2); }

int coreCount() {
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return cores > 0 ? int(cores) : 1;
}

bool makeUniqueFolder(const std::string& parent, const char* prefix, std::string& made) {
  std::string pattern = parent + prefix + "XXXXXX";
  if (!mkdtemp(pattern.data())) return false;
  made = pattern;
  return true;
}
