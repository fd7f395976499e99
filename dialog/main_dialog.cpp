#include "dialog/main_dialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "dialog/export_size_dialog.h"
#include "dialog/gallery_commands.h"
#include "dialog/main_dialog_record.h"
#include "dialog/parameter_controls.h"
#include "dialog/preview.h"
#include "dialog/random_looks.h"
#include "dialog/thumbnail_capture.h"
#include "dialog/undo_levels.h"
#include "host/module.h"
#include "render/glue_names.h"
#include "resources/artwork.h"
#include "ui/canvas.h"

namespace {

// The window's controls: the real child windows at their layout rectangles, and the
// placeholders whose rectangles the dialog paints and hit-tests itself.
std::vector<ControlTemplate> buildControls() {
  std::vector<ControlTemplate> controls;
  for (int32_t id = 0; id < kControlCount; ++id) {
    const ControlEntry entry = controlEntry(id);
    if (entry.kind == DialogControlKind::none) continue;
    ControlTemplate c{id, ControlKind::placeholder, nullptr, controlRect(id)};
    switch (entry.kind) {
      case DialogControlKind::valueField:
        c.kind = ControlKind::edit;
        c.style = kUiDigitsOnly | kUiBorder | kUiAutoScroll | kUiTabStop;
        break;
      case DialogControlKind::glueList: c.kind = ControlKind::dropList; break;
      case DialogControlKind::iconButton: c.kind = ControlKind::iconButton; break;
      case DialogControlKind::colourSwatch: c.kind = ControlKind::ownerDrawButton; break;
      case DialogControlKind::logo: c.kind = ControlKind::picture; break;
      case DialogControlKind::zoomTextButton:
        c.kind = ControlKind::pushButton;
        c.text = "100%";
        break;
      case DialogControlKind::pushButton:
        c.kind = ControlKind::pushButton;
        c.text = id == kIdOk ? "OK" : "Cancel";
        c.style = id == kIdOk ? kUiDefaultButton | kUiTabStop : kUiTabStop;
        break;
      default: break;
    }
    controls.push_back(c);
  }
  return controls;
}

const std::vector<ControlTemplate>& mainControls() {
  static const std::vector<ControlTemplate> controls = buildControls();
  return controls;
}

const DialogTemplate& mainTemplate() {
  static const DialogTemplate dialogTemplate{"TARVE", "Tarve", kDialogWidth, kDialogHeight, mainControls()};
  return dialogTemplate;
}

// The undoable fields: every setting but the centre, and the settings name.
void takeSnapshot(MainDialog& d) {
  const ParameterBlock& block = blockOf(d);
  d.snapshot = block.settings;
  std::memcpy(d.snapshotFileName, block.settingsFileName, kPathLength);
}

void restoreSnapshot(MainDialog& d) {
  ParameterBlock& block = blockOf(d);
  const float centreX = block.settings.centreX, centreY = block.settings.centreY;
  block.settings = d.snapshot;
  block.settings.centreX = centreX;
  block.settings.centreY = centreY;
  std::memcpy(block.settingsFileName, d.snapshotFileName, kPathLength);
}

void initialise(MainDialog& d) {
  PluginState& state = *d.state;
  ParameterBlock& block = blockOf(d);
  state.dialogWindow = d.window;
  std::fill(d.enabled.begin(), d.enabled.end(), 1);
  block.renderMode = kRenderDialog;
  block.capturedControl = -1;
  takeSnapshot(d);
  for (int32_t id = 0; id < kControlCount; ++id) {
    const ControlEntry entry = controlEntry(id);
    if (entry.kind == DialogControlKind::iconButton || entry.kind == DialogControlKind::logo)
      uiSetControlPicture(d.window, id, artworkPicture(entry.icon));
    d.minimum[id] = entry.minimum;
    d.maximum[id] = entry.maximum;
  }
  for (int32_t glue = 1; glue <= kGlueCount; ++glue) uiListAdd(d.window, kIdGlueList, glueName(glue));
  writeSettingsIntoControls(d);
  readControlsIntoSettings(d);
  resetMemoryDotPanel(d);
  // Float images have one way to combine water and image; the glue is fixed there.
  if (state.filterRecord->depth == 32) {
    for (int32_t id : {kIdGlueList, kIdGlueLabel, kIdNextGlue}) {
      d.enabled[id] = 0;
      uiEnableControl(d.window, id, false);
    }
  }
  if (block.hostPreviewUsable) {
    uiSetCursor(d.window, kUiWaitCursor);
    startPreview(state);
    uiSetCursor(d.window, kUiArrowCursor);
  }
  updateZoomControls(d);
  state.dialogExit = 0;
  // The dot takes its picture from the first preview.
  startMemoryDots(d);
  uiRedrawAll(d.window);
}

void endDialog(MainDialog& d, bool ok) {
  uiKillTimer(d.window, kEditTimer);
  if (ok) {
    readControlsIntoSettings(d);
    // The last-used settings are kept with the picture of their look.
    capturePreviewThumbnail(*d.state);
  } else {
    restoreSnapshot(d);
  }
  *d.state->result = ok ? noErr : userCanceledErr;
  uiEndDialog(d.window, ok ? 3 : 2);
  d.state->dialogExit = ok ? 1 : 2;
}

void nextGlueCommand(MainDialog& d) {
  ParameterBlock& block = blockOf(d);
  block.settings.glue = nextGlue(block.settings.glue);
  writeSettingsIntoControls(d);
  d.rerender = true;
}

// After a button that changed many settings at once, the controls and the name follow.
void showNewLook(MainDialog& d) {
  writeSettingsIntoControls(d);
  redrawControl(d, kIdStatusLine);
  d.rerender = true;
}

// Even with no level to return to, the controls and the preview are brought in line.
void undoCommand(MainDialog& d) {
  undoStep(*d.state);
  deselectMemoryDots(d.state->memoryDots);
  redrawMemoryDots(d);
  showNewLook(d);
}

bool zoomCommand(MainDialog& d, int32_t id) {
  if (id != kIdZoomIn && id != kIdZoomOut && id != kIdZoom100) return false;
  return zoomPreview(*d.state, id);
}

// A click on a control, in the order the handlers must see it.
void click(MainDialog& d, int32_t id) {
  d.rerender = false;
  if (id == kIdColourSwatch) chooseSwatchColour(d);
  if (zoomCommand(d, id)) d.rerender = true;
  updateZoomControls(d);
  if (id == kIdSavePreset) saveSettingsCommand(d);
  if (id == kIdLoadPreset) loadSettingsCommand(d);
  if (id == kIdPresetsGallery) presetsGalleryButton(d);
  if (controlEntry(id).kind == DialogControlKind::memoryDot) memoryDotClick(d, id);
  if (id == kIdDotPreview && d.state->mouseRight) memoryDotsGalleryClick(d);
  if (id == kIdDotPreview && !d.state->mouseRight) dotPanelClick(d);
  if (id == kIdLogo) showAboutBox(uiWindowHandle(d.window));
  if (id == kIdInfo) showInfoBox(d);
  if (id == kIdNextGlue) nextGlueCommand(d);
  if (id == kIdPsdExport) askExportSize(*d.state, uiWindowHandle(d.window));
  if (id == kIdDice) diceSettings(blockOf(d), d.state->random);
  if (id == kIdEcce) ecceSettings(blockOf(d), d.state->random);
  if (id == kIdPlainSettings) plainSettings(blockOf(d));
  if (id == kIdDice || id == kIdEcce || id == kIdPlainSettings) showNewLook(d);
  if (id == kIdUndo) undoCommand(d);
  const UndoLevel level = commitSettings(d, id);
  // The selected dot no longer shows what the settings are; a dot recalled through the panel
  // stays the selected one.
  const bool dotCommand = controlEntry(id).kind == DialogControlKind::memoryDot || id == kIdDotPreview;
  if (level != UndoLevel::none && !dotCommand) {
    deselectMemoryDots(d.state->memoryDots);
    redrawMemoryDots(d);
  }
  uiKillTimer(d.window, kEditTimer);
  if (d.rerender) rerenderPreview(d);
  if (id == kIdOk || id == kIdCancel) endDialog(d, id == kIdOk);
}

bool contains(const UiRect& r, UiPoint p) {
  return p.x >= r.left && p.x < r.left + r.width && p.y >= r.top && p.y < r.top + r.height;
}

// The first enabled control, in id order, that the dialog handles the mouse for itself.
int32_t hitTest(const MainDialog& d, UiPoint point) {
  for (int32_t id = 0; id < kControlCount; ++id) {
    const DialogControlKind kind = controlEntry(id).kind;
    const bool mouseKind = kind == DialogControlKind::slider || kind == DialogControlKind::memoryDot ||
                           kind == DialogControlKind::dotPreview || kind == DialogControlKind::logo ||
                           kind == DialogControlKind::previewArea;
    if (mouseKind && d.enabled[id] && contains(controlRect(id), point)) return id;
  }
  return -1;
}

void press(MainDialog& d, const UiEvent& event) {
  PluginState& state = *d.state;
  ParameterBlock& block = blockOf(d);
  state.mouseRight = event.message == UiMessage::rightButtonDown;
  state.mouseControl = event.control;
  const int32_t id = hitTest(d, event.point);
  if (id < 0) return;
  if (id == kIdPreviewArea) {
    previewPress(d, event.point);
    return;
  }
  uiSetCapture(d.window);
  block.capturedControl = id;
  block.captureTick = static_cast<int32_t>(uiTickCount());
  block.panMoved = false;
  block.lastMouse.x = -999;  // the first move always counts
  uiPostMessage(d.window, {.message = UiMessage::mouseMove, .point = event.point});
}

void move(MainDialog& d, UiPoint point) {
  const int32_t captured = blockOf(d).capturedControl;
  if (captured < 0) {
    previewHover(d, point);
    memoryDotsHover(d, point);
  } else if (controlEntry(captured).kind == DialogControlKind::memoryDot) {
    memoryDotPressedLook(d, captured, point);
  } else if (captured == kIdPreviewArea) {
    previewMove(d, point);
  } else if (controlEntry(captured).kind == DialogControlKind::slider) {
    dragSlider(d, captured, point.x);
  }
}

void release(MainDialog& d, UiPoint point) {
  ParameterBlock& block = blockOf(d);
  const int32_t captured = block.capturedControl;
  if (captured < 0) return;
  uiReleaseCapture(d.window);
  if (captured == kIdPreviewArea) {
    previewRelease(d, point);
    return;
  }
  block.capturedControl = -1;
  const DialogControlKind kind = controlEntry(captured).kind;
  if (kind == DialogControlKind::memoryDot) d.value[captured] &= ~kDotPressed;
  if (kind == DialogControlKind::slider) {
    commitSettings(d, captured);
    rerenderPreview(d);
  } else {
    click(d, captured);  // the logo, a memory dot or the dot panel
  }
}

bool command(MainDialog& d, const UiEvent& event) {
  if (event.id >= 2000) return false;
  if (controlEntry(event.id).kind == DialogControlKind::valueField) {
    if (event.code == kUiEditChanged) fieldEdited(d, event.id);
    return true;
  }
  if (event.id == kIdGlueList) {
    if (event.code == kUiSelectionChanged) {
      commitSettings(d, kIdGlueList);
      rerenderPreview(d);
    }
    return true;
  }
  if (event.code != kUiClicked) return true;
  click(d, event.id);
  return true;
}

bool mainProc(UiDialog* window, const UiEvent& event, void* context) {
  MainDialog& d = *static_cast<MainDialog*>(context);
  d.window = window;
  switch (event.message) {
    case UiMessage::init:
      initialise(d);
      return true;
    case UiMessage::eraseBackground:
      paintBackground(event.canvas, event.area);
      return true;
    case UiMessage::paint:
      drawPreview(d, event.canvas, true);
      for (int32_t id = 0; id < kControlCount; ++id) paintControl(d, event.canvas, id);
      return true;
    case UiMessage::drawItem:
      if (event.id != kIdColourSwatch) return false;
      paintSwatch(d, event.canvas, event.itemState);
      return true;
    case UiMessage::command:
      return command(d, event);
    case UiMessage::timer:
      if (event.id != kEditTimer) return false;
      commitSettings(d, kEditTimer);
      rerenderPreview(d);
      return true;
    case UiMessage::leftButtonDown:
    case UiMessage::rightButtonDown:
      press(d, event);
      return true;
    case UiMessage::mouseMove:
      move(d, event.point);
      return true;
    case UiMessage::buttonUp:
      release(d, event.point);
      return true;
    default:
      return false;  // Escape and closing become Cancel, Enter becomes OK
  }
}

}  // namespace

UndoLevel commitSettings(MainDialog& d, int32_t id) {
  readControlsIntoSettings(d);
  PluginState& state = *d.state;
  const bool dot = controlEntry(id).kind == DialogControlKind::memoryDot;
  const int32_t slot = id - kIdFirstMemoryDot;
  const bool holdsSettings =
      dot ? state.memoryDots.display[slot] != kDotEmpty : id == kIdDotPreview && d.shownDot >= 0;
  const UndoLevel level = undoLevelFor(id, holdsSettings, state.mouseRight, state.mouseControl);
  recordUndoLevel(state, level);
  return level;
}

int32_t runMainDialog(PluginState& state) {
  state.dialogShown = true;
  MainDialog d{};
  d.state = &state;
  const int32_t code = uiRunModal(mainTemplate(), mainProc, &d, hostWindow(state.filterRecord));
  state.dialogWindow = nullptr;
  if (code == kUiCannotShow) reportWindowError(state.filterRecord, state.result);
  return code;
}

void resetDialogRunValues(ParameterBlock& block) {
  block.capturedControl = -1;
  block.captureTick = 0;
  block.panMoved = false;
  block.zoomChanged = false;
  block.lastMouse = block.currentMouse = {0, 0};
}
