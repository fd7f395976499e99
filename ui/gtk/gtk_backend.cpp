// A dialog as a GTK window: the client area is a drawing area showing the layer's painted
// surface, with real widgets for the child controls at their rectangles on top of it.
#include "ui/gtk/gtk_backend.h"

#include <algorithm>
#include <map>
#include <vector>

#include "ui/gtk/gtk_controls.h"
#include "ui/user_input.h"

namespace {
std::vector<UiDialog*> openDialogs;

GtkRecord* recordOf(const UiDialog* dialog) { return static_cast<GtkRecord*>(dialog->native); }

// A dialog font of 11 pixels and controls no larger than their rectangles, whatever the
// desktop's theme asks for.
constexpr const char* kStyle =
    ".tarve-dialog, .tarve-dialog * { font-family: \"Liberation Sans\"; font-size: 11px; }\n"
    ".tarve-dialog button { padding: 0 4px; min-height: 0; min-width: 0; }\n"
    ".tarve-dialog button.tarve-icon { padding: 0; border-width: 0; background: none; box-shadow: none; }\n"
    ".tarve-dialog button.tarve-icon:active image { margin: 1px 0 0 1px; }\n"
    ".tarve-dialog entry { min-height: 0; padding: 0 2px; }\n"
    ".tarve-dialog combobox button { padding: 0 4px; min-height: 0; }\n"
    ".tarve-dialog radiobutton { padding: 0; min-height: 0; }\n";

void addStyle() {
  static bool added = false;
  if (added) return;
  added = true;
  GtkCssProvider* provider = gtk_css_provider_new();
  gtk_css_provider_load_from_data(provider, kStyle, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(provider),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(provider);
}

UiRect screenArea(GtkWidget* near) {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = near && gtk_widget_get_window(near)
                            ? gdk_display_get_monitor_at_window(display, gtk_widget_get_window(near))
                            : gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area{0, 0, 1920, 1080};
  if (monitor) gdk_monitor_get_workarea(monitor, &area);
  return {area.x, area.y, area.width, area.height};
}

// ---------------------------------------------------------------------------------------
// Signals of the window and its drawing area

gboolean drawClient(GtkWidget*, cairo_t* cairo, gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  cairo_set_source_surface(cairo, dialog->surface->cairo, 0, 0);
  cairo_paint(cairo);
  return TRUE;
}

UiEvent mouseEvent(UiMessage message, double x, double y, guint state) {
  UiEvent event{message};
  event.point = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
  event.control = (state & GDK_CONTROL_MASK) != 0;
  return event;
}

gboolean buttonPressed(GtkWidget*, GdkEventButton* e, gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  // Double and triple clicks arrive as presses of their own already.
  if (e->type != GDK_BUTTON_PRESS || (e->button != 1 && e->button != 3)) return FALSE;
  userMouse(dialog, mouseEvent(e->button == 1 ? UiMessage::leftButtonDown : UiMessage::rightButtonDown, e->x, e->y, e->state));
  gtkAfterInput(dialog);
  return TRUE;
}

gboolean buttonReleased(GtkWidget*, GdkEventButton* e, gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  if (e->button != 1 && e->button != 3) return FALSE;
  UiEvent event = mouseEvent(UiMessage::buttonUp, e->x, e->y, e->state);
  event.rightButton = e->button == 3;
  userMouse(dialog, event);
  gtkAfterInput(dialog);
  return TRUE;
}

gboolean pointerMoved(GtkWidget*, GdkEventMotion* e, gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  userMouse(dialog, mouseEvent(UiMessage::mouseMove, e->x, e->y, e->state));
  gtkAfterInput(dialog);
  return TRUE;
}

gboolean keyPressed(GtkWidget*, GdkEventKey* e, gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  int32_t key = 0;
  if (e->keyval == GDK_KEY_Escape) key = kUiKeyEscape;
  if (e->keyval == GDK_KEY_Return || e->keyval == GDK_KEY_KP_Enter || e->keyval == GDK_KEY_ISO_Enter) key = kUiKeyEnter;
  if (!key) return FALSE;
  userKey(dialog, key);
  gtkAfterInput(dialog);
  return TRUE;
}

gboolean closeAsked(GtkWidget*, GdkEvent*, gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  userClose(dialog);
  gtkAfterInput(dialog);
  return TRUE;  // the window goes when the dialog ends, not before
}

gboolean settleLater(gpointer data) {
  auto* dialog = static_cast<UiDialog*>(data);
  recordOf(dialog)->idle = 0;
  gtkAfterInput(dialog);
  return G_SOURCE_REMOVE;
}

// ---------------------------------------------------------------------------------------
// The backend's operations

GdkCursor* cursorFor(const UiCursor& cursor) {
  GdkDisplay* display = gdk_display_get_default();
  static std::map<const uint8_t*, GdkCursor*> pictures;
  static GdkCursor* arrow = gdk_cursor_new_from_name(display, "default");
  static GdkCursor* wait = gdk_cursor_new_from_name(display, "wait");
  if (cursor.kind == UiCursorKind::arrow || !cursor.picture.rgba) return cursor.kind == UiCursorKind::wait ? wait : arrow;
  if (cursor.kind == UiCursorKind::wait) return wait;
  GdkCursor*& made = pictures[cursor.picture.rgba];
  if (!made) {
    GdkPixbuf* pixbuf = gtkPixbufOf(cursor.picture);
    made = gdk_cursor_new_from_pixbuf(display, pixbuf, cursor.hotX, cursor.hotY);
    g_object_unref(pixbuf);
  }
  return made;
}

void cursorChanged(UiDialog* dialog) {
  GdkWindow* window = gtk_widget_get_window(recordOf(dialog)->window);
  if (!window) return;
  gdk_window_set_cursor(window, cursorFor(dialog->cursor));
  // A busy dialog shows the wait cursor before its work, not after.
  gdk_display_flush(gdk_window_get_display(window));
}

void captureChanged(UiDialog* dialog) {
  GtkRecord* record = recordOf(dialog);
  GdkWindow* window = gtk_widget_get_window(record->canvas);
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  if (dialog->captured && window && !record->grabbed) {
    record->grabbed = gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_ALL_POINTING, FALSE, nullptr, nullptr, nullptr,
                                    nullptr) == GDK_GRAB_SUCCESS;
  } else if (!dialog->captured && record->grabbed) {
    gdk_seat_ungrab(seat);
    record->grabbed = false;
  }
}

void areaChanged(UiDialog* dialog, const UiRect& area) {
  gtk_widget_queue_draw_area(recordOf(dialog)->canvas, area.left, area.top, area.width, area.height);
}

void wake(UiDialog* dialog) {
  GtkRecord* record = recordOf(dialog);
  // Before input and before GTK draws: posted messages come first, then painting.
  if (record && !record->idle) record->idle = g_idle_add_full(G_PRIORITY_HIGH, settleLater, dialog, nullptr);
}

void update(UiDialog*) {
  // A busy dialog lets its windows draw and take input (a click on Cancel, say) now and then.
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void raise(UiDialog* dialog) { gtk_window_present(GTK_WINDOW(recordOf(dialog)->window)); }

struct TimerData {
  UiDialog* dialog;
  int32_t id;
};

gboolean timerFired(gpointer data) {
  auto* timer = static_cast<TimerData*>(data);
  fireTimer(timer->dialog, timer->id);
  gtkAfterInput(timer->dialog);
  // A one-shot timer was stopped as it fired; a repeating one goes on until stopped.
  return G_SOURCE_CONTINUE;
}

void timerStarted(UiDialog* dialog, UiTimer& timer) {
  auto* data = new TimerData{dialog, timer.id};
  const guint source = g_timeout_add_full(G_PRIORITY_DEFAULT, timer.interval, timerFired, data,
                                          [](gpointer p) { delete static_cast<TimerData*>(p); });
  timer.native = reinterpret_cast<void*>(static_cast<uintptr_t>(source));
}

void timerStopped(UiDialog*, UiTimer& timer) {
  if (timer.native) g_source_remove(static_cast<guint>(reinterpret_cast<uintptr_t>(timer.native)));
  timer.native = nullptr;
}

void place(UiDialog* dialog, GtkWindow* window, intptr_t owner) {
  const UiRect screen = screenArea(nullptr);
  UiRect ownerArea = screen;
  for (const UiDialog* open : openDialogs) {
    if (uiWindowHandle(open) == owner) ownerArea = {open->position.x, open->position.y, open->width, open->height};
  }
  dialog->position = placeWindow(ownerArea, dialog->width, dialog->height, screen, dialog->dialogTemplate->systemMenu);
  gtk_window_move(window, dialog->position.x, dialog->position.y);
}

int32_t run(UiDialog* dialog, intptr_t owner) {
  GtkRecord record;
  dialog->native = &record;
  addStyle();
  GtkWidget* window = record.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_style_context_add_class(gtk_widget_get_style_context(window), "tarve-dialog");
  gtk_window_set_title(GTK_WINDOW(window), dialog->dialogTemplate->title);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_modal(GTK_WINDOW(window), TRUE);
  gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
  gtk_window_set_deletable(GTK_WINDOW(window), dialog->dialogTemplate->systemMenu);
  if (GtkWindow* parent = gtkWindowOf(owner)) gtk_window_set_transient_for(GTK_WINDOW(window), parent);

  record.fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(window), record.fixed);
  record.canvas = gtk_drawing_area_new();
  gtk_widget_set_size_request(record.canvas, dialog->width, dialog->height);
  gtk_widget_add_events(record.canvas, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
  gtk_fixed_put(GTK_FIXED(record.fixed), record.canvas, 0, 0);
  g_signal_connect(record.canvas, "draw", G_CALLBACK(drawClient), dialog);
  g_signal_connect(record.canvas, "button-press-event", G_CALLBACK(buttonPressed), dialog);
  g_signal_connect(record.canvas, "button-release-event", G_CALLBACK(buttonReleased), dialog);
  g_signal_connect(record.canvas, "motion-notify-event", G_CALLBACK(pointerMoved), dialog);
  g_signal_connect(window, "key-press-event", G_CALLBACK(keyPressed), dialog);
  g_signal_connect(window, "delete-event", G_CALLBACK(closeAsked), dialog);
  createControls(dialog);
  place(dialog, GTK_WINDOW(window), owner);

  openDialogs.push_back(dialog);
  startDialog(dialog);
  if (!dialog->ended) {
    gtk_widget_show(record.canvas);
    gtk_widget_show(record.fixed);
    gtk_widget_show(window);
    cursorChanged(dialog);
    record.loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(record.loop);
    g_main_loop_unref(record.loop);
    record.loop = nullptr;
  }
  openDialogs.erase(std::find(openDialogs.begin(), openDialogs.end(), dialog));
  if (record.idle) g_source_remove(record.idle);
  if (record.grabbed) gdk_seat_ungrab(gdk_display_get_default_seat(gdk_display_get_default()));
  gtk_widget_destroy(window);
  for (auto& [group, none] : record.noneChecked) g_object_unref(none);
  // The timers go with the dialog; the layer stops them while the record still exists.
  for (UiTimer& timer : dialog->timers) timerStopped(dialog, timer);
  dialog->native = nullptr;
  return dialog->code;
}

UiChoice chooseColour(intptr_t owner, UiColour& colour, std::span<const UiColour> custom) {
  return gtkChooseColour(owner, colour, custom);
}

const UiBackend backend{run,
                        controlChanged,
                        timerStarted,
                        timerStopped,
                        cursorChanged,
                        captureChanged,
                        areaChanged,
                        wake,
                        update,
                        raise,
                        monotonicMilliseconds,
                        gtkOpenFile,
                        gtkSaveFile,
                        chooseColour};
}  // namespace

GtkWindow* gtkWindowOf(intptr_t owner) {
  for (const UiDialog* open : openDialogs) {
    if (uiWindowHandle(open) == owner) return GTK_WINDOW(recordOf(open)->window);
  }
  return nullptr;
}

void gtkAfterInput(UiDialog* dialog) {
  GtkRecord* record = recordOf(dialog);
  if (!record) return;
  settleDialog(dialog);
  if (dialog->ended && record->loop) g_main_loop_quit(record->loop);
}

const UiBackend* tarveGtkBackend(void (*report)(const char* why)) {
  static bool started = false;
  if (!started) {
    if (!gtk_init_check(nullptr, nullptr)) {
      const char* display = g_getenv("DISPLAY");
      const std::string why = std::string("cannot open the display") + (display ? std::string(" ") + display : "");
      report(why.c_str());
      return nullptr;
    }
    started = true;
  }
  return &backend;
}

bool tarveGtkControlRect(const UiDialog* dialog, int32_t id, UiRect* rect, UiPoint* clientOnScreen) {
  const GtkRecord* record = recordOf(dialog);
  if (!record) return false;
  GtkWidget* widget = id < 0 ? record->canvas : widgetOf(dialog, id);
  if (!widget) return false;
  GtkAllocation a;
  gtk_widget_get_allocation(widget, &a);
  int x = 0, y = 0;
  gtk_widget_translate_coordinates(widget, record->canvas, 0, 0, &x, &y);
  *rect = {x, y, a.width, a.height};
  int originX = 0, originY = 0;
  if (GdkWindow* window = gtk_widget_get_window(record->canvas)) gdk_window_get_origin(window, &originX, &originY);
  *clientOnScreen = {originX, originY};
  return true;
}
