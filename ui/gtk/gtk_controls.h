// The child controls of a dialog as GTK widgets, kept in step with the layer's record of them.
#pragma once

#include <map>

#include "ui/gtk/gtk_backend.h"

struct GtkRecord {
  GtkWidget* window = nullptr;
  GtkWidget* fixed = nullptr;   // holds the drawing area and the widgets at their rectangles
  GtkWidget* canvas = nullptr;  // the client area
  std::map<int32_t, GtkWidget*> widgets{};
  std::map<int32_t, GtkWidget*> noneChecked{};  // by radio group: the hidden member
  GMainLoop* loop = nullptr;
  guint idle = 0;
  bool grabbed = false;
  // While the layer itself changes a widget, the signals that follow are not the user's.
  bool syncing = false;
};

void createControls(UiDialog* dialog);
void controlChanged(UiDialog* dialog, const UiControl& control);
GtkWidget* widgetOf(const UiDialog* dialog, int32_t id);
// A new pixbuf over a copy of the picture's pixels.
GdkPixbuf* gtkPixbufOf(const UiPicture& picture);
