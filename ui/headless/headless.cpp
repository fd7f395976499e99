#include "ui/headless/headless.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <sstream>

struct UiDialog {
  const DialogTemplate* dialogTemplate;
  bool ended;
  int32_t code;
};

namespace {
std::deque<UiEvent> queuedEvents;
std::vector<HeadlessShown> shownDialogs;

// The screen the headless backend pretends to have.
constexpr UiRect kScreen{0, 0, 1920, 1080};

std::deque<UiEvent> eventsFromEnvironment() {
  std::deque<UiEvent> events;
  const char* text = std::getenv("TARVE_HEADLESS_EVENTS");
  if (!text) return events;
  std::stringstream all(text);
  std::string item;
  while (std::getline(all, item, ';')) {
    std::stringstream words(item);
    std::string word;
    int32_t id = 0;
    words >> word >> id;
    if (word == "command") events.push_back({UiMessage::command, id});
    if (word == "close") events.push_back({UiMessage::close, 0});
  }
  return events;
}

void logShown(const char* name) {
  const char* path = std::getenv("TARVE_HEADLESS_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "shown %s\n", name);
    std::fclose(f);
  }
}
}  // namespace

int32_t headlessRunModal(const DialogTemplate& dialogTemplate, DialogProc proc, void* context, intptr_t parent) {
  UiDialog dialog{&dialogTemplate, false, 0};
  const UiRect parentRect = parent ? UiRect{0, 0, kScreen.width, kScreen.height} : kScreen;
  HeadlessShown shown{dialogTemplate.name, dialogTemplate.title,
                      placeWindow(parentRect, dialogTemplate.width, dialogTemplate.height, kScreen), 0};
  logShown(dialogTemplate.name);

  std::deque<UiEvent>& events = queuedEvents;
  std::deque<UiEvent> fromEnvironment;
  if (events.empty()) fromEnvironment = eventsFromEnvironment();
  std::deque<UiEvent>& source = events.empty() ? fromEnvironment : events;

  proc(&dialog, {UiMessage::init, 0}, context);
  while (!dialog.ended && !source.empty()) {
    UiEvent event = source.front();
    source.pop_front();
    proc(&dialog, event, context);
  }
  // With nothing more to say the user closes the window; a dialog that ignores that is
  // cancelled, so a run never waits for input that cannot come.
  if (!dialog.ended) proc(&dialog, {UiMessage::close, 0}, context);
  if (!dialog.ended) uiEndDialog(&dialog, 2);

  shown.endCode = dialog.code;
  shownDialogs.push_back(shown);
  return dialog.code;
}

void uiEndDialog(UiDialog* dialog, int32_t code) {
  dialog->ended = true;
  dialog->code = code;
}

const DialogTemplate& uiDialogTemplate(const UiDialog* dialog) { return *dialog->dialogTemplate; }

void headlessQueueEvent(UiEvent event) { queuedEvents.push_back(event); }

void headlessClear() {
  queuedEvents.clear();
  shownDialogs.clear();
}

const std::vector<HeadlessShown>& headlessShownDialogs() { return shownDialogs; }
