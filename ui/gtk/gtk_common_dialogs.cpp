// The open, save and colour dialogs on GTK's own choosers.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ui/gtk/gtk_backend.h"

namespace {
bool isFile(const char* path) {
  struct stat info;
  return path && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

GtkWidget* newChooser(const char* title, intptr_t owner, GtkFileChooserAction action, const char* accept) {
  GtkWidget* chooser = gtk_file_chooser_dialog_new(title, gtkWindowOf(owner), action, "_Cancel", GTK_RESPONSE_CANCEL,
                                                   accept, GTK_RESPONSE_ACCEPT, nullptr);
  gtk_window_set_position(GTK_WINDOW(chooser), owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
  return chooser;
}

// File names are matched without regard to case, as the platform's file dialogs match
// them: "*.q8r" also lists "Storm.Q8R".
std::string anyCase(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    if (g_ascii_isalpha(c))
      out += std::string("[") + g_ascii_tolower(c) + g_ascii_toupper(c) + "]";
    else
      out += c;
  }
  return out;
}

// "*.*" means every file, as it always has; several patterns are separated by ';'.
void addFilters(GtkWidget* chooser, std::span<const UiFileFilter> filters) {
  for (const UiFileFilter& f : filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, f.name);
    std::string patterns = f.pattern ? f.pattern : "*";
    size_t start = 0;
    while (start <= patterns.size()) {
      size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      const std::string pattern = patterns.substr(start, end - start);
      gtk_file_filter_add_pattern(filter, pattern == "*.*" ? "*" : anyCase(pattern).c_str());
      start = end + 1;
    }
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), filter);
  }
}

// Without a remembered folder the dialog starts in the current folder, where the
// platform's dialogs start, rather than in the desktop's list of recent files.
void startIn(GtkWidget* chooser, const char* folder) {
  gchar* current = g_get_current_dir();
  gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder && *folder ? folder : current);
  g_free(current);
}

std::string chosenPath(GtkWidget* chooser) {
  gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
  std::string path = name ? name : "";
  g_free(name);
  return path;
}

struct Panel {
  const UiOpenRequest* request;
  cairo_surface_t* surface;
  GtkWidget* area;
};

gboolean drawPanel(GtkWidget*, cairo_t* cairo, gpointer p) {
  cairo_set_source_surface(cairo, static_cast<Panel*>(p)->surface, 0, 0);
  cairo_paint(cairo);
  return TRUE;
}

// The panel's picture for a file, or for none ("") before the first selection.
void paintPanel(Panel& panel, const char* path) {
  const UiRect area{0, 0, panel.request->previewWidth, panel.request->previewHeight};
  cairo_t* cairo = cairo_create(panel.surface);
  cairo_set_source_rgb(cairo, 1, 1, 1);
  cairo_paint(cairo);
  Canvas canvas{cairo};
  panel.request->drawPreview(&canvas, area, path, panel.request->previewContext);
  cairo_destroy(cairo);
}

void selectionChanged(GtkFileChooser* chooser, gpointer p) {
  auto* panel = static_cast<Panel*>(p);
  gchar* name = gtk_file_chooser_get_preview_filename(chooser);
  paintPanel(*panel, isFile(name) ? name : "");
  g_free(name);
  gtk_widget_queue_draw(panel->area);
}

// Replacing a file is confirmed by the user; the name checked is the one that will be
// written, with its extension.
bool mayReplace(GtkWidget* chooser, const std::string& path) {
  if (!isFile(path.c_str())) return true;
  const std::string name = path.substr(path.find_last_of('/') + 1);
  GtkWidget* ask = gtk_message_dialog_new(GTK_WINDOW(chooser), GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_YES_NO,
                                          "\"%s\" already exists. Replace it?", name.c_str());
  const bool yes = gtk_dialog_run(GTK_DIALOG(ask)) == GTK_RESPONSE_YES;
  gtk_widget_destroy(ask);
  return yes;
}
}  // namespace

UiChoice gtkOpenFile(const UiOpenRequest& request, std::string& path) {
  GtkWidget* chooser = newChooser(request.title, request.owner, GTK_FILE_CHOOSER_ACTION_OPEN, "_Open");
  addFilters(chooser, request.filters);
  startIn(chooser, request.folder);
  if (request.folder && request.proposedName && *request.proposedName) {
    const std::string proposed = std::string(request.folder) + request.proposedName;
    if (isFile(proposed.c_str())) gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), proposed.c_str());
  }
  Panel panel{&request, nullptr, nullptr};
  if (request.drawPreview && request.previewWidth > 0 && request.previewHeight > 0) {
    panel.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, request.previewWidth, request.previewHeight);
    paintPanel(panel, "");
    panel.area = gtk_drawing_area_new();
    gtk_widget_set_size_request(panel.area, request.previewWidth, request.previewHeight);
    g_signal_connect(panel.area, "draw", G_CALLBACK(drawPanel), &panel);
    gtk_file_chooser_set_preview_widget(GTK_FILE_CHOOSER(chooser), panel.area);
    gtk_file_chooser_set_use_preview_label(GTK_FILE_CHOOSER(chooser), FALSE);
    g_signal_connect(chooser, "update-preview", G_CALLBACK(selectionChanged), &panel);
  }
  UiChoice choice = UiChoice::cancelled;
  while (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    path = chosenPath(chooser);
    // The chooser takes only files that exist; a typed name may still name none.
    if (!request.mustExist || isFile(path.c_str())) {
      choice = UiChoice::chosen;
      break;
    }
  }
  gtk_widget_destroy(chooser);
  if (panel.surface) cairo_surface_destroy(panel.surface);
  if (choice != UiChoice::chosen) path.clear();
  return choice;
}

UiChoice gtkSaveFile(const UiSaveRequest& request, std::string& path) {
  GtkWidget* chooser = newChooser(request.title, request.owner, GTK_FILE_CHOOSER_ACTION_SAVE, "_Save");
  addFilters(chooser, request.filters);
  startIn(chooser, request.folder);
  if (request.proposedName && *request.proposedName) {
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), request.proposedName);
  }
  UiChoice choice = UiChoice::cancelled;
  while (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    const std::string chosen = withDefaultExtension(chosenPath(chooser), request.defaultExtension);
    if (!chosen.empty() && mayReplace(chooser, chosen)) {
      path = chosen;
      choice = UiChoice::chosen;
      break;
    }
  }
  gtk_widget_destroy(chooser);
  return choice;
}

UiChoice gtkChooseColour(intptr_t owner, UiColour& colour, std::span<const UiColour> custom) {
  GtkWidget* chooser = gtk_color_chooser_dialog_new("Colour", gtkWindowOf(owner));
  gtk_window_set_position(GTK_WINDOW(chooser), owner ? GTK_WIN_POS_CENTER_ON_PARENT : GTK_WIN_POS_CENTER);
  gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(chooser), FALSE);
  const GdkRGBA initial{colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0, 1.0};
  gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &initial);
  if (!custom.empty()) {
    std::vector<GdkRGBA> colours;
    for (const UiColour& c : custom) colours.push_back({c.red / 255.0, c.green / 255.0, c.blue / 255.0, 1.0});
    gtk_color_chooser_add_palette(GTK_COLOR_CHOOSER(chooser), GTK_ORIENTATION_HORIZONTAL, 8,
                                  static_cast<gint>(colours.size()), colours.data());
  }
  const bool chosen = gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_OK;
  if (chosen) {
    GdkRGBA rgba;
    gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &rgba);
    auto byte = [](double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    colour = {byte(rgba.red), byte(rgba.green), byte(rgba.blue)};
  }
  gtk_widget_destroy(chooser);
  return chosen ? UiChoice::chosen : UiChoice::cancelled;
}
