#include "app/interrupt.h"

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <unistd.h>
#endif

volatile sig_atomic_t gInterrupted = 0;

namespace {

const char* volatile temporaryFiles[2] = {nullptr, nullptr};

// The exit status of a process ended by SIGINT, as shells report it.
constexpr int kInterruptedStatus = 130;

void onInterrupt(int) {
  if (!gInterrupted) {
    gInterrupted = 1;
    return;
  }
  for (const char* path : temporaryFiles)
#ifdef _WIN32
    if (path) _unlink(path);
#else
    if (path) unlink(path);
#endif
  _exit(kInterruptedStatus);
}

#ifdef _WIN32
// The console calls this on a thread of its own; true keeps the process alive for the
// module's abort to end the run.
BOOL WINAPI onConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  onInterrupt(SIGINT);
  return TRUE;
}
#endif

}  // namespace

void installInterruptHandler() {
#ifdef _WIN32
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
#endif
}

void removeOnInterrupt(const char* path) {
  for (const char* volatile& slot : temporaryFiles)
    if (!slot) {
      slot = path;
      return;
    }
}

void forgetOnInterrupt(const char* path) {
  for (const char* volatile& slot : temporaryFiles)
    if (slot == path) slot = nullptr;
}
