// The desktop backend on GTK 3: what its files share.
#pragma once

#include <gtk/gtk.h>

#include "ui/desktop_backend.h"
#include "ui/linux/cairo_canvas.h"

GtkWindow* gtkWindowOf(intptr_t owner);
// After the dialog has taken input: posted messages, painting, and the end of its loop.
void gtkAfterInput(UiDialog* dialog);
UiChoice gtkOpenFile(const UiOpenRequest& request, std::string& path);
UiChoice gtkSaveFile(const UiSaveRequest& request, std::string& path);
UiChoice gtkChooseColour(intptr_t owner, UiColour& colour, std::span<const UiColour> custom);
