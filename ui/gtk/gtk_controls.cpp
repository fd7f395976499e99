#include "ui/gtk/gtk_controls.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "ui/user_input.h"

namespace {
struct WidgetData {
  UiDialog* dialog;
  int32_t id;
  std::vector<std::string> items{};  // what a drop-down list shows
  const uint8_t* picture = nullptr;  // what an icon button shows
  bool pressed = false;              // an owner-drawn button held down
  bool inside = false;
};

GtkRecord* recordOf(const UiDialog* dialog) { return static_cast<GtkRecord*>(dialog->native); }

WidgetData* dataOf(GtkWidget* widget) { return static_cast<WidgetData*>(g_object_get_data(G_OBJECT(widget), "tarve")); }

// Templates mark the access key with "&" ("&&" is a plain "&"); GTK marks it with "_".
std::string mnemonic(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') ++i;
      else {
        out += '_';
        continue;
      }
    }
    if (text[i] == '_') out += '_';
    out += text[i];
  }
  return out;
}

bool syncing(const WidgetData* data) { return recordOf(data->dialog)->syncing; }

void clicked(GtkWidget* widget, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  if (syncing(data)) return;
  if (GTK_IS_RADIO_BUTTON(widget) && !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget))) return;
  userClick(data->dialog, data->id);
  gtkAfterInput(data->dialog);
}

void listChanged(GtkComboBox* box, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  if (syncing(data)) return;
  userSelect(data->dialog, data->id, gtk_combo_box_get_active(box));
  gtkAfterInput(data->dialog);
}

void entryChanged(GtkEditable* entry, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  if (syncing(data)) return;
  userEdited(data->dialog, data->id, gtk_entry_get_text(GTK_ENTRY(entry)));
  gtkAfterInput(data->dialog);
}

// Typing into a digits-only field takes digits only; a paste (more than one character at
// once) is taken as it is.
void entryInsert(GtkEditable* entry, const gchar* text, gint length, gint*, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  const UiControl* control = findControl(data->dialog, data->id);
  if (syncing(data) || !control || !(control->style & kUiDigitsOnly)) return;
  if (length < 0) length = static_cast<gint>(std::strlen(text));
  if (length == 1 && !std::isdigit(static_cast<unsigned char>(text[0]))) {
    g_signal_stop_emission_by_name(entry, "insert-text");
    gtk_widget_error_bell(GTK_WIDGET(entry));
  }
}

gboolean focusIn(GtkWidget*, GdkEvent*, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  if (!syncing(data)) userFocus(data->dialog, data->id);
  return FALSE;
}

// Owner-drawn buttons: the dialog paints them; the widget makes them buttons.
gboolean drawOwned(GtkWidget* widget, cairo_t* cairo, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  const UiControl* control = findControl(data->dialog, data->id);
  if (!control) return FALSE;
  cairo_translate(cairo, -control->rect.left, -control->rect.top);
  Canvas canvas{cairo};
  uint32_t state = control->enabled ? 0 : kUiItemDisabled;
  if (gtk_widget_has_focus(widget)) state |= kUiItemFocused;
  if (data->pressed && data->inside) state |= kUiItemPressed;
  deliver(data->dialog, {.message = UiMessage::drawItem, .id = data->id, .canvas = &canvas, .area = control->rect,
                         .itemState = state});
  return TRUE;
}

bool within(GtkWidget* widget, double x, double y) {
  return x >= 0 && y >= 0 && x < gtk_widget_get_allocated_width(widget) && y < gtk_widget_get_allocated_height(widget);
}

gboolean ownedPressed(GtkWidget* widget, GdkEventButton* e, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  if (e->button != 1 || e->type != GDK_BUTTON_PRESS) return FALSE;
  data->pressed = data->inside = true;
  gtk_widget_grab_focus(widget);
  gtk_widget_queue_draw(widget);
  return TRUE;
}

gboolean ownedMoved(GtkWidget* widget, GdkEventMotion* e, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  const bool inside = within(widget, e->x, e->y);
  if (data->pressed && inside != data->inside) gtk_widget_queue_draw(widget);
  data->inside = inside;
  return TRUE;
}

gboolean ownedReleased(GtkWidget* widget, GdkEventButton* e, gpointer p) {
  auto* data = static_cast<WidgetData*>(p);
  if (e->button != 1 || !data->pressed) return FALSE;
  data->pressed = false;
  gtk_widget_queue_draw(widget);
  if (within(widget, e->x, e->y)) clicked(widget, p);
  return TRUE;
}

gboolean ownedKey(GtkWidget* widget, GdkEventKey* e, gpointer p) {
  if (e->keyval != GDK_KEY_space) return FALSE;
  clicked(widget, p);
  return TRUE;
}

GtkWidget* makeWidget(const UiControl& control, WidgetData* data) {
  GtkWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::pushButton:
    case ControlKind::iconButton:
      widget = gtk_button_new();
      g_signal_connect(widget, "clicked", G_CALLBACK(clicked), data);
      break;
    case ControlKind::radioButton: {
      // GTK keeps one of a group checked; a hidden member of each group stands for none.
      GtkWidget*& none = recordOf(data->dialog)->noneChecked[control.group];
      if (!none) none = GTK_WIDGET(g_object_ref_sink(gtk_radio_button_new(nullptr)));
      widget = gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(none), mnemonic(control.text).c_str());
      g_signal_connect(widget, "clicked", G_CALLBACK(clicked), data);
      break;
    }
    case ControlKind::ownerDrawButton:
      widget = gtk_drawing_area_new();
      gtk_widget_set_can_focus(widget, TRUE);
      gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                        GDK_KEY_PRESS_MASK | GDK_FOCUS_CHANGE_MASK);
      g_signal_connect(widget, "draw", G_CALLBACK(drawOwned), data);
      g_signal_connect(widget, "button-press-event", G_CALLBACK(ownedPressed), data);
      g_signal_connect(widget, "motion-notify-event", G_CALLBACK(ownedMoved), data);
      g_signal_connect(widget, "button-release-event", G_CALLBACK(ownedReleased), data);
      g_signal_connect(widget, "key-press-event", G_CALLBACK(ownedKey), data);
      g_signal_connect_swapped(widget, "focus-out-event", G_CALLBACK(gtk_widget_queue_draw), widget);
      break;
    case ControlKind::edit:
      widget = gtk_entry_new();
      // Without this an entry asks for room for many characters, more than its rectangle.
      gtk_entry_set_width_chars(GTK_ENTRY(widget), 1);
      gtk_entry_set_has_frame(GTK_ENTRY(widget), (control.style & kUiBorder) != 0);
      g_signal_connect(widget, "insert-text", G_CALLBACK(entryInsert), data);
      g_signal_connect(widget, "changed", G_CALLBACK(entryChanged), data);
      break;
    case ControlKind::dropList:
      widget = gtk_combo_box_text_new();
      g_signal_connect(widget, "changed", G_CALLBACK(listChanged), data);
      break;
    default:
      return nullptr;
  }
  g_signal_connect(widget, "focus-in-event", G_CALLBACK(focusIn), data);
  g_object_set_data_full(G_OBJECT(widget), "tarve", data, [](gpointer p) { delete static_cast<WidgetData*>(p); });
  return widget;
}

void showItems(GtkWidget* widget, WidgetData* data, const UiControl& control) {
  auto* box = GTK_COMBO_BOX_TEXT(widget);
  const bool extends = control.items.size() >= data->items.size() &&
                       std::equal(data->items.begin(), data->items.end(), control.items.begin());
  if (!extends) {
    gtk_combo_box_text_remove_all(box);
    data->items.clear();
  }
  for (size_t i = data->items.size(); i < control.items.size(); ++i) gtk_combo_box_text_append_text(box, control.items[i].c_str());
  data->items = control.items;
  if (gtk_combo_box_get_active(GTK_COMBO_BOX(widget)) != control.selection) {
    gtk_combo_box_set_active(GTK_COMBO_BOX(widget), control.selection);
  }
}

void showPicture(GtkWidget* widget, WidgetData* data, const UiControl& control) {
  GtkStyleContext* style = gtk_widget_get_style_context(widget);
  if (!control.picture.rgba) {
    gtk_style_context_remove_class(style, "tarve-icon");
    gtk_button_set_label(GTK_BUTTON(widget), mnemonic(control.text).c_str());
    gtk_button_set_use_underline(GTK_BUTTON(widget), TRUE);
    return;
  }
  if (data->picture == control.picture.rgba) return;
  data->picture = control.picture.rgba;
  gtk_style_context_add_class(style, "tarve-icon");
  gtk_button_set_label(GTK_BUTTON(widget), nullptr);
  GdkPixbuf* pixbuf = gtkPixbufOf(control.picture);
  gtk_button_set_image(GTK_BUTTON(widget), gtk_image_new_from_pixbuf(pixbuf));
  gtk_button_set_always_show_image(GTK_BUTTON(widget), TRUE);
  g_object_unref(pixbuf);
}
}  // namespace

GdkPixbuf* gtkPixbufOf(const UiPicture& picture) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, picture.width, picture.height);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int32_t y = 0; y < picture.height; ++y) {
    std::memcpy(pixels + static_cast<ptrdiff_t>(y) * stride, picture.rgba + static_cast<ptrdiff_t>(y) * picture.width * 4,
                static_cast<size_t>(picture.width) * 4);
  }
  return pixbuf;
}

GtkWidget* widgetOf(const UiDialog* dialog, int32_t id) {
  const GtkRecord* record = recordOf(dialog);
  auto found = record->widgets.find(id);
  return found == record->widgets.end() ? nullptr : found->second;
}

void createControls(UiDialog* dialog) {
  GtkRecord* record = recordOf(dialog);
  for (const UiControl& control : dialog->controls) {
    if (!isChildWindow(control.kind)) continue;
    GtkWidget* widget = makeWidget(control, new WidgetData{dialog, control.id});
    if (!widget) continue;
    record->widgets[control.id] = widget;
    gtk_widget_set_no_show_all(widget, TRUE);
    gtk_fixed_put(GTK_FIXED(record->fixed), widget, control.rect.left, control.rect.top);
    if (control.style & kUiDefaultButton) {
      gtk_widget_set_can_default(widget, TRUE);
      gtk_window_set_default(GTK_WINDOW(record->window), widget);
    }
    controlChanged(dialog, control);
  }
}

void controlChanged(UiDialog* dialog, const UiControl& control) {
  GtkRecord* record = recordOf(dialog);
  GtkWidget* widget = record ? widgetOf(dialog, control.id) : nullptr;
  if (!widget) return;
  WidgetData* data = dataOf(widget);
  record->syncing = true;
  const UiRect r = childWindowRect(control);
  gtk_widget_set_size_request(widget, r.width, r.height);
  gtk_fixed_move(GTK_FIXED(record->fixed), widget, r.left, r.top);
  gtk_widget_set_sensitive(widget, control.enabled);
  gtk_widget_set_visible(widget, control.shown);
  switch (control.kind) {
    case ControlKind::pushButton:
      gtk_button_set_label(GTK_BUTTON(widget), mnemonic(control.text).c_str());
      gtk_button_set_use_underline(GTK_BUTTON(widget), TRUE);
      break;
    case ControlKind::iconButton:
      showPicture(widget, data, control);
      break;
    case ControlKind::radioButton:
      gtk_button_set_label(GTK_BUTTON(widget), mnemonic(control.text).c_str());
      if (control.checked) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), TRUE);
      else if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget)))
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(record->noneChecked[control.group]), TRUE);
      break;
    case ControlKind::edit:
      if (control.text != gtk_entry_get_text(GTK_ENTRY(widget))) gtk_entry_set_text(GTK_ENTRY(widget), control.text.c_str());
      break;
    case ControlKind::dropList:
      showItems(widget, data, control);
      break;
    default:
      gtk_widget_queue_draw(widget);
      break;
  }
  if (dialog->focus == control.id && control.shown && !gtk_widget_has_focus(widget)) gtk_widget_grab_focus(widget);
  record->syncing = false;
}
