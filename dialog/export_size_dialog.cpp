#include "dialog/export_size_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialog/psd_export.h"
#include "ui/window.h"

namespace {

enum : int32_t {
  kOk = 1,
  kCancel = 2,
  kWidthField = 3,
  kHeightField = 4,
  kSameSize = 10,
  kSameProportions = 11,
  kCustomSize = 12,
};

const ControlTemplate sizeControls[] = {
    {kSameSize, ControlKind::radioButton, "Same size as input", {8, 7, 82, 8}, kUiGroup | kUiTabStop},
    {kSameProportions, ControlKind::radioButton, "Same proportions as input", {8, 24, 113, 8}},
    {kCustomSize, ControlKind::radioButton, "Custom size in pixels:", {8, 41, 82, 8}},
    {kWidthField, ControlKind::edit, "", {9, 77, 48, 14}, kUiDigitsOnly | kUiBorder | kUiAutoScroll | kUiTabStop},
    {kHeightField, ControlKind::edit, "", {9, 98, 48, 14}, kUiDigitsOnly | kUiBorder | kUiAutoScroll | kUiTabStop},
    {-1, ControlKind::text, "width", {69, 81, 18, 8}},
    {-1, ControlKind::text, "height", {69, 101, 20, 8}},
    {kCancel, ControlKind::pushButton, "&Cancel", {9, 133, 43, 14}, kUiTabStop},
    {kOk, ControlKind::pushButton, "&OK", {74, 133, 43, 14}, kUiDefaultButton | kUiTabStop},
};
const DialogTemplate sizeTemplate{"EXPORT_SIZE", "Export PSD image", 127, 158, sizeControls, UiUnits::dialogUnits};

struct SizeDialog {
  PluginState& state;
  int32_t choice;  // the checked radio button
};

// Only one size dialog at a time; a second request raises this one.
UiDialog* openSizeDialog = nullptr;

void setField(UiDialog* dialog, int32_t id, int32_t value) {
  uiSetControlText(dialog, id, std::to_string(value).c_str());
}

int32_t fieldValue(const UiDialog* dialog, int32_t id) { return std::atoi(uiControlText(dialog, id).c_str()); }

void showImageSize(UiDialog* dialog, const PluginState& state) {
  setField(dialog, kWidthField, state.imageWidth);
  setField(dialog, kHeightField, state.imageHeight);
}

// Keeps the image's proportions from the field the user is typing into; the focus test keeps
// the field just rewritten here from answering back.
void followProportions(UiDialog* dialog, const PluginState& state, int32_t changed) {
  if (uiFocusedControl(dialog) != changed) return;
  const int64_t w = state.imageWidth, h = state.imageHeight;
  if (changed == kHeightField && h != 0) setField(dialog, kWidthField, int32_t(w * fieldValue(dialog, kHeightField) / h));
  if (changed == kWidthField && w != 0) setField(dialog, kHeightField, int32_t(h * fieldValue(dialog, kWidthField) / w));
}

void choose(UiDialog* dialog, SizeDialog& d, int32_t choice) {
  if (choice == kSameSize) showImageSize(dialog, d.state);
  if (choice == kSameProportions && d.state.imageWidth != 0)
    setField(dialog, kHeightField,
             int32_t(int64_t(d.state.imageHeight) * fieldValue(dialog, kWidthField) / d.state.imageWidth));
  d.choice = choice;
}

bool sizeProc(UiDialog* dialog, const UiEvent& event, void* context) {
  SizeDialog& d = *static_cast<SizeDialog*>(context);
  ParameterBlock& block = *d.state.parameters;
  switch (event.message) {
    case UiMessage::init:
      openSizeDialog = dialog;
      if (block.exportSizeMode == 3) {
        setField(dialog, kWidthField, block.exportWidth);
        setField(dialog, kHeightField, block.exportHeight);
      } else {
        showImageSize(dialog, d.state);
      }
      d.choice = block.exportSizeMode + 9;
      if (d.choice < kSameSize || d.choice > kCustomSize) d.choice = kSameSize;
      uiCheckRadio(dialog, kSameSize, kCustomSize, d.choice);
      return true;
    case UiMessage::command:
      if (event.id >= kSameSize && event.id <= kCustomSize) {
        choose(dialog, d, event.id);
      } else if ((event.id == kWidthField || event.id == kHeightField) && event.code == kUiEditChanged) {
        if (d.choice == kSameSize && uiFocusedControl(dialog) == event.id) {
          d.choice = kCustomSize;
          uiCheckRadio(dialog, kSameSize, kCustomSize, kCustomSize);
        } else if (d.choice == kSameProportions) {
          followProportions(dialog, d.state, event.id);
        }
      } else if (event.id == kOk) {
        block.exportWidth = exportSideFromText(uiControlText(dialog, kWidthField).c_str());
        block.exportHeight = exportSideFromText(uiControlText(dialog, kHeightField).c_str());
        block.exportSizeMode = d.choice - 9;
        uiEndDialog(dialog, 1);
      } else if (event.id == kCancel) {
        uiEndDialog(dialog, 2);
      } else {
        return false;
      }
      return true;
    case UiMessage::close:
      uiEndDialog(dialog, 2);
      return true;
    default:
      return false;
  }
}

}  // namespace

int32_t exportSideFromText(const char* text) {
  std::string kept;
  for (const char* c = text; c && *c; ++c)
    if ((*c >= '0' && *c <= '9') || *c == '+' || *c == '-') kept += *c;
  const double value = std::strtod(kept.c_str(), nullptr);
  if (!(value >= kExportSideMin)) return kExportSideMin;
  return value > kExportSideMax ? kExportSideMax : int32_t(value);
}

bool askExportSize(PluginState& state, intptr_t owner) {
  if (openSizeDialog) {
    uiRaise(openSizeDialog);
    return false;
  }
  SizeDialog d{state, kSameSize};
  const int32_t code = uiRunModal(sizeTemplate, sizeProc, &d, 0);
  openSizeDialog = nullptr;
  if (code != 1) return false;
  exportPsdCommand(state, owner);
  return true;
}
