// What the host offers a filter's dialog on the desktop: the pictures the filter displays
// are drawn into its window, and its colour swatch gets the desktop's colour chooser.
#pragma once

#include "app/host/host.h"

void offerDesktopServices(Host& host);
