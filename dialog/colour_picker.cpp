// The water colour swatch's picker: the host's own when it offers one, else the desktop's.
#include <cstring>

#include "dialog/main_dialog_record.h"
#include "dialog/parameter_controls.h"

namespace {

// Shown by the host's picker above its colours.
constexpr char kPickerPrompt[] = "Water colour";

// The host's answer is taken whether the user confirmed or not: the host gives back the
// colour it started with when the user cancels.
bool chooseWithHost(ColorServicesProc service, Colour16& colour) {
  Str255 prompt{};
  prompt[0] = static_cast<uint8_t>(sizeof kPickerPrompt - 1);
  std::memcpy(prompt + 1, kPickerPrompt, sizeof kPickerPrompt - 1);
  ColorServicesInfo info{};
  info.infoSize = sizeof info;
  info.selector = plugIncolorServicesChooseColor;
  info.sourceSpace = plugIncolorServicesRGBSpace;
  info.resultSpace = plugIncolorServicesRGBSpace;
  info.colorComponents[0] = colourByte(colour.red);
  info.colorComponents[1] = colourByte(colour.green);
  info.colorComponents[2] = colourByte(colour.blue);
  info.selectorParameter.pickerPrompt = &prompt;
  if (service(&info) != noErr) return false;
  auto channel = [](int16_t component) {
    return colourChannel(static_cast<uint8_t>(component < 0 ? 0 : component > 255 ? 255 : component));
  };
  colour = {channel(info.colorComponents[0]), channel(info.colorComponents[1]), channel(info.colorComponents[2])};
  return true;
}

bool chooseWithDesktop(Colour16& colour) {
  UiColour chosen{colourByte(colour.red), colourByte(colour.green), colourByte(colour.blue)};
  if (uiChooseColour(0, chosen) != UiChoice::chosen) return false;
  colour = {colourChannel(chosen.red), colourChannel(chosen.green), colourChannel(chosen.blue)};
  return true;
}

}  // namespace

void chooseSwatchColour(MainDialog& d) {
  Colour16 colour = d.colour[kIdColourSwatch];
  const ColorServicesProc service = d.state->filterRecord->colorServices;
  if (!(service ? chooseWithHost(service, colour) : chooseWithDesktop(colour))) return;
  d.colour[kIdColourSwatch] = colour;
  redrawControl(d, kIdColourSwatch);
  d.rerender = true;
}
