// The main dialog while it is open: its window, the plug-in state it edits and the
// per-control values it paints from. Shared by the files that make up the dialog.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dialog/control_table.h"
#include "dialog/undo_levels.h"
#include "host/plugin_state.h"
#include "ui/window.h"

struct MainDialog {
  UiDialog* window;
  PluginState* state;
  // Per control id.
  std::array<int32_t, kControlCount> enabled;
  std::array<int32_t, kControlCount> value;  // a slider's value; the glue list's 1-based selection
  std::array<int32_t, kControlCount> minimum, maximum;
  std::array<Colour16, kControlCount> colour;  // the colour swatch's
  // What Cancel brings back.
  Settings snapshot;
  char snapshotFileName[kPathLength];
  bool rerender;       // a click asked for a new preview
  bool cursorChanged;  // a cursor other than the arrow is showing
  // The memory-dot panel: the dot last under the pointer and the dot whose picture the panel
  // shows (-1 for none), and that picture as RGB bytes, empty while the panel shows none.
  int32_t hoveredDot, shownDot;
  std::vector<uint8_t> panelPicture;
};

// The pressed look of a memory dot, kept in its value while the mouse is held on it.
constexpr int32_t kDotPressed = 2;

constexpr int32_t kEditTimer = 8064;
constexpr uint32_t kEditDelay = 1000;  // milliseconds after the last keystroke

inline ParameterBlock& blockOf(MainDialog& d) { return *d.state->parameters; }

// Settings and controls (the parameter rows, the glue list, the swatch).
void writeSettingsIntoControls(MainDialog& d);
// The first step of every commit and re-render; clamps what was typed.
void readControlsIntoSettings(MainDialog& d);
// The program's own change of a field's text; the edit timer that the change starts is
// stopped again, so only typing leaves it running.
void setFieldText(MainDialog& d, int32_t field, double value);
// A value field's text changed (typed or pasted): its slider follows at once, the settings
// one second after the last change.
void fieldEdited(MainDialog& d, int32_t field);
// A captured slider followed to the pointer at x.
void dragSlider(MainDialog& d, int32_t slider, int32_t x);

// Painting.
void paintBackground(Canvas* canvas, const UiRect& area);
void paintControl(MainDialog& d, Canvas* canvas, int32_t id);
void paintSwatch(MainDialog& d, Canvas* canvas, uint32_t itemState);
void redrawControl(MainDialog& d, int32_t id);
UiRect controlRect(int32_t id);

// The preview panel.
void drawPreview(MainDialog& d, Canvas* canvas, bool surround);
// Reads the controls, renders with new tables under the wait cursor and draws.
void rerenderPreview(MainDialog& d);
void updateZoomControls(MainDialog& d);
bool previewPress(MainDialog& d, UiPoint point);
void previewMove(MainDialog& d, UiPoint point);
void previewRelease(MainDialog& d, UiPoint point);
void previewHover(MainDialog& d, UiPoint point);

// The memory dots and their panel.
void resetMemoryDotPanel(MainDialog& d);
// The pinned dots come back, and the incoming settings go into the first unpinned dot.
void startMemoryDots(MainDialog& d);
void memoryDotClick(MainDialog& d, int32_t id);
// A left click on the panel recalls the dot it shows.
void dotPanelClick(MainDialog& d);
void memoryDotsHover(MainDialog& d, UiPoint point);
// While the mouse is held on a dot, its pressed look follows the pointer in and out.
void memoryDotPressedLook(MainDialog& d, int32_t id, UiPoint point);
void paintMemoryDot(MainDialog& d, Canvas* canvas, int32_t id);
void paintDotPanel(MainDialog& d, Canvas* canvas);
void redrawMemoryDots(MainDialog& d);

// Click handlers that act only on their own ids.
void chooseSwatchColour(MainDialog& d);
void saveSettingsCommand(MainDialog& d);
void loadSettingsCommand(MainDialog& d);
void showInfoBox(MainDialog& d);

// Reads the controls into the settings and records the undo level the change of control
// `id` calls for: every change of the dialog passes through here.
UndoLevel commitSettings(MainDialog& d, int32_t id);
