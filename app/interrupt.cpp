#include "app/interrupt.h"

#include <unistd.h>

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
    if (path) unlink(path);
  _exit(kInterruptedStatus);
}

}  // namespace

void installInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
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
