// Handing a file to the desktop: the HTML pages are shown by whatever the user has chosen
// for them.
#pragma once

#include "sdk/host_interface.h"

// Starts "xdg-open path" detached from the host (the shell's "open" on Windows); 99 when it
// could not be started. Does not wait for the handler, which may run for as long as the
// user keeps the page open.
OSErr openWithDefaultHandler(const char* path);
