// Settings into the controls and back, typing into a value field, dragging a slider.
#include <cstring>

#include "dialog/main_dialog_record.h"
#include "dialog/parameter_controls.h"
#include "render/glue_names.h"

void setFieldText(MainDialog& d, int32_t field, double value) {
  char text[32];
  formatFieldValue(value, text);
  uiSetControlText(d.window, field, text);
  uiKillTimer(d.window, kEditTimer);
}

void writeSettingsIntoControls(MainDialog& d) {
  Settings& s = blockOf(d).settings;
  for (const ParameterRow& row : kParameterRows) {
    d.value[row.slider] = s.*row.setting;
    setFieldText(d, row.field, s.*row.setting);
    redrawControl(d, row.slider);
  }
  d.colour[kIdColourSwatch] = s.waterColour;
  redrawControl(d, kIdColourSwatch);
  d.value[kIdGlueList] = s.glue;
  uiListSelect(d.window, kIdGlueList, s.glue - 1);
}

void readControlsIntoSettings(MainDialog& d) {
  Settings& s = blockOf(d).settings;
  for (const ParameterRow& row : kParameterRows) {
    bool clamped = false;
    const double number = fieldNumber(uiControlText(d.window, row.field).c_str());
    const int32_t value = fieldValue(number, d.minimum[row.slider], d.maximum[row.slider], clamped);
    if (clamped) setFieldText(d, row.field, value);
    s.*row.setting = value;
  }
  const int32_t selection = uiListSelection(d.window, kIdGlueList);
  // An unknown glue from a script selects nothing in the list and stays as it is.
  if (selection >= 0) s.glue = selection + 1;
  d.value[kIdGlueList] = s.glue;
  s.waterColour = d.colour[kIdColourSwatch];
}

void fieldEdited(MainDialog& d, int32_t field) {
  const ParameterRow* row = parameterRowOf(field);
  if (!row) return;
  bool clamped = false;
  const double number = fieldNumber(uiControlText(d.window, field).c_str());
  d.value[row->slider] = fieldValue(number, d.minimum[row->slider], d.maximum[row->slider], clamped);
  redrawControl(d, row->slider);
  uiSetTimer(d.window, kEditTimer, kEditDelay, false);
}

void dragSlider(MainDialog& d, int32_t slider, int32_t x) {
  ParameterBlock& block = blockOf(d);
  // The pointer's tip sits a little right of where the thumb is grabbed.
  const int32_t at = x - 4;
  if (at == block.lastMouse.x) return;
  const UiRect rect = controlRect(slider);
  d.value[slider] = sliderValueAt(at, rect.left, rect.width, d.minimum[slider], d.maximum[slider]);
  redrawControl(d, slider);
  if (const ParameterRow* row = parameterRowOf(slider)) setFieldText(d, row->field, d.value[slider]);
  block.lastMouse.x = static_cast<int16_t>(at);
}
