// The desktop backend's two entry points. It is a library of its own, Tarve-gtk.so beside the
// module, that the layer loads the first time a window must be shown on a display: a host
// that never shows one never loads GTK, a host built on another GTK can still load the
// module, and GTK, which cannot be unloaded, is never unloaded.
#pragma once

#include "ui/dialog_record.h"

extern "C" {
// The backend, or null when it cannot open the display; `report` then has the reason.
using GtkBackendEntry = const UiBackend* (*)(void (*report)(const char* why));
__attribute__((visibility("default"))) const UiBackend* tarveGtkBackend(void (*report)(const char* why));

// Where a control's widget lies in the dialog's client area (id -1: the client area itself)
// and where the client area's origin is on the screen; for checks under a virtual display.
using GtkControlRectEntry = bool (*)(const UiDialog* dialog, int32_t id, UiRect* rect, UiPoint* clientOnScreen);
__attribute__((visibility("default"))) bool tarveGtkControlRect(const UiDialog* dialog, int32_t id, UiRect* rect,
                                                                UiPoint* clientOnScreen);
}
