// The common dialogs' rules that hold for every backend: one file dialog at a time, the
// custom colours kept while the module is loaded.
#include <algorithm>
#include <array>

#include "ui/dialog_record.h"

namespace {
bool fileDialogOpen = false;
std::array<UiColour, 16> customColours{};
size_t customCount = 0;  // how many have been chosen, up to all of them
size_t nextCustomColour = 0;

template <typename Request>
UiChoice oneAtATime(UiChoice (*run)(const Request&, std::string&), const Request& request, std::string& path) {
  if (fileDialogOpen) return UiChoice::busy;
  fileDialogOpen = true;
  const UiChoice choice = run(request, path);
  fileDialogOpen = false;
  return choice;
}
}  // namespace

UiChoice uiOpenFile(const UiOpenRequest& request, std::string& path) {
  return oneAtATime(uiBackend().openFile, request, path);
}

UiChoice uiSaveFile(const UiSaveRequest& request, std::string& path) {
  return oneAtATime(uiBackend().saveFile, request, path);
}

UiChoice uiChooseColour(intptr_t owner, UiColour& colour) {
  UiColour chosen = colour;
  const UiChoice choice = uiBackend().chooseColour(owner, chosen, std::span(customColours).first(customCount));
  if (choice != UiChoice::chosen) return choice;
  colour = chosen;
  // A colour chosen once is offered again: it takes the oldest of the custom places.
  for (const UiColour& c : customColours) {
    if (c.red == chosen.red && c.green == chosen.green && c.blue == chosen.blue) return choice;
  }
  customColours[nextCustomColour] = chosen;
  nextCustomColour = (nextCustomColour + 1) % customColours.size();
  customCount = std::max(customCount, nextCustomColour == 0 ? customColours.size() : nextCustomColour);
  return choice;
}

std::span<const UiColour, 16> uiCustomColours() { return customColours; }
