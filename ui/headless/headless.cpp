#include "ui/headless/headless.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <deque>

#include "ui/canvas.h"
#include "ui/linux/cairo_canvas.h"
#include "ui/user_input.h"

namespace {
struct Action {
  std::string word;
  std::string rest{};  // the words after it
  bool raw = false;
  UiEvent event{UiMessage::command};
};

std::deque<Action> memoryActions;
std::deque<Action> environmentActions;
std::vector<HeadlessShown> shownDialogs;
std::vector<HeadlessFileRequest> fileRequests;
std::vector<UiDialog*> openDialogs;
uint64_t clockNow = 0;
cairo_surface_t* previewPanel = nullptr;

std::deque<Action>& actions() { return memoryActions.empty() ? environmentActions : memoryActions; }

// One item: its first word, and the words after it.
Action parseAction(const std::string& item) {
  const size_t space = item.find(' ');
  Action action{item.substr(0, space)};
  if (space != std::string::npos) action.rest = item.substr(space + 1);
  return action;
}

void parseInto(std::deque<Action>& into, const std::string& text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string item = text.substr(start, end - start);
    start = end + 1;
    const size_t first = item.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    into.push_back(parseAction(item.substr(first)));
  }
}

void log(const std::string& line) {
  const char* path = std::getenv("TARVE_HEADLESS_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

bool fileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// The next action when it is one of these answers; it is taken from the queue.
const Action* takeAnswer(std::initializer_list<const char*> words) {
  static Action taken;
  std::deque<Action>& queue = actions();
  if (queue.empty() || queue.front().raw) return nullptr;
  for (const char* word : words) {
    if (queue.front().word == word) {
      taken = queue.front();
      queue.pop_front();
      return &taken;
    }
  }
  return nullptr;
}

UiRect ownerArea(intptr_t owner) {
  for (const UiDialog* open : openDialogs) {
    if (uiWindowHandle(open) == owner) return {open->position.x, open->position.y, open->width, open->height};
  }
  return kHeadlessScreen;
}

// ---------------------------------------------------------------------------------------
// Snapshots: the painted client area with the child controls drawn simply on top.

void drawTextCentredVertically(Canvas* canvas, UiRect rect, const std::string& text, UiColour colour, UiAlign align) {
  rect.top += (rect.height - 13) / 2;
  canvasText(canvas, rect, text.c_str(), colour, align);
}

void drawStandIn(UiDialog* dialog, Canvas* canvas, const UiControl& control) {
  const UiRect r = childWindowRect(control);
  const UiColour textColour = control.enabled ? kUiTextBlack : kUiTextGrey;
  const uint32_t state = (control.enabled ? 0 : kUiItemDisabled) | (dialog->focus == control.id ? kUiItemFocused : 0);
  switch (control.kind) {
    case ControlKind::pushButton:
    case ControlKind::iconButton:
      canvasButtonFace(canvas, r, state);
      if (control.picture.rgba) {
        canvasPicture(canvas, control.picture,
                      {r.left + (r.width - control.picture.width) / 2, r.top + (r.height - control.picture.height) / 2});
      } else {
        drawTextCentredVertically(canvas, r, control.text, textColour, UiAlign::centre);
      }
      break;
    case ControlKind::edit:
      canvasFill(canvas, r, {255, 255, 255});
      if (control.style & kUiBorder) canvasFrame(canvas, r, {122, 122, 122});
      drawTextCentredVertically(canvas, {r.left + 3, r.top, r.width - 6, r.height}, control.text, textColour, UiAlign::left);
      break;
    case ControlKind::dropList: {
      canvasFill(canvas, r, {255, 255, 255});
      canvasFrame(canvas, r, {122, 122, 122});
      if (control.selection >= 0) {
        drawTextCentredVertically(canvas, {r.left + 3, r.top, r.width - 18, r.height}, control.items[control.selection],
                                  textColour, UiAlign::left);
      }
      const int32_t x = r.left + r.width - 12, y = r.top + r.height / 2 - 2;
      for (int32_t row = 0; row < 4; ++row) canvasFill(canvas, {x + row, y + row, 7 - 2 * row, 1}, textColour);
      break;
    }
    case ControlKind::radioButton: {
      cairo_t* cairo = canvas->cairo;
      const double cx = r.left + 6.5, cy = r.top + r.height / 2.0;
      cairo_new_path(cairo);
      cairo_arc(cairo, cx, cy, 5.5, 0, 2 * M_PI);
      cairo_set_source_rgb(cairo, 1, 1, 1);
      cairo_fill_preserve(cairo);
      cairo_set_source_rgb(cairo, 0.33, 0.33, 0.33);
      cairo_set_line_width(cairo, 1);
      cairo_stroke(cairo);
      if (control.checked) {
        cairo_arc(cairo, cx, cy, 2.5, 0, 2 * M_PI);
        cairo_set_source_rgb(cairo, 0, 0, 0);
        cairo_fill(cairo);
      }
      drawTextCentredVertically(canvas, {r.left + 16, r.top, r.width - 16, r.height}, control.text, textColour,
                                UiAlign::left);
      break;
    }
    default:
      break;
  }
}

bool saveSnapshot(UiDialog* dialog, const std::string& path) {
  paintDialog(dialog);
  cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, dialog->width, dialog->height);
  cairo_t* cairo = cairo_create(copy);
  cairo_set_source_surface(cairo, dialog->surface->cairo, 0, 0);
  cairo_paint(cairo);
  Canvas canvas{cairo};
  for (const UiControl& control : dialog->controls) {
    if (control.shown && isChildWindow(control.kind)) drawStandIn(dialog, &canvas, control);
  }
  cairo_destroy(cairo);
  const bool written = cairo_surface_write_to_png(copy, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(copy);
  if (!written) std::fprintf(stderr, "headless: cannot write the snapshot %s\n", path.c_str());
  return written;
}

// ---------------------------------------------------------------------------------------

void waitFor(UiDialog* running, uint64_t milliseconds) {
  const uint64_t end = clockNow + milliseconds;
  while (!running->ended) {
    UiDialog* owner = nullptr;
    const UiTimer* next = nullptr;
    for (UiDialog* open : openDialogs) {
      for (const UiTimer& timer : open->timers) {
        if (timer.due <= end && (!next || timer.due < next->due)) {
          next = &timer;
          owner = open;
        }
      }
    }
    if (!next) break;
    clockNow = std::max(clockNow, next->due);
    fireTimer(owner, next->id);
    settleDialog(owner);
  }
  // A dialog that ended meanwhile gives up the rest of its wait.
  if (!running->ended) clockNow = std::max(clockNow, end);
}

UiEvent mouseEvent(UiMessage message, const std::string& rest, bool right) {
  UiEvent event{message};
  char control[16] = "";
  std::sscanf(rest.c_str(), "%d %d %15s", &event.point.x, &event.point.y, control);
  event.control = std::string(control) == "control";
  event.rightButton = right;
  return event;
}

void perform(UiDialog* dialog, const Action& action) {
  if (action.raw) {
    const UiMessage m = action.event.message;
    if (m == UiMessage::key) {
      userKey(dialog, action.event.id);
    } else if (m == UiMessage::close) {
      userClose(dialog);
    } else if (m == UiMessage::leftButtonDown || m == UiMessage::rightButtonDown || m == UiMessage::mouseMove ||
               m == UiMessage::buttonUp) {
      userMouse(dialog, action.event);
    } else {
      deliver(dialog, action.event);
    }
    return;
  }
  const std::string& w = action.word;
  const char* rest = action.rest.c_str();
  int32_t id = 0, value = 0;
  const int numbers = std::sscanf(rest, "%d %d", &id, &value);
  // The text of type and paste is everything after the id.
  const size_t space = action.rest.find(' ');
  const std::string text = space == std::string::npos ? std::string() : action.rest.substr(space + 1);
  if (w == "click") {
    userClick(dialog, id);
  } else if (w == "type") {
    userType(dialog, id, text);
  } else if (w == "paste") {
    userPaste(dialog, id, text);
  } else if (w == "erase") {
    userErase(dialog, id);
  } else if (w == "select") {
    userSelect(dialog, id, value);
  } else if (w == "focus") {
    userFocus(dialog, id);
  } else if (w == "key") {
    userKey(dialog, action.rest == "escape" ? kUiKeyEscape : action.rest == "enter" ? kUiKeyEnter : id);
  } else if (w == "down" || w == "rightdown") {
    userMouse(dialog, mouseEvent(w == "down" ? UiMessage::leftButtonDown : UiMessage::rightButtonDown, action.rest, false));
  } else if (w == "move") {
    userMouse(dialog, mouseEvent(UiMessage::mouseMove, action.rest, false));
  } else if (w == "up" || w == "rightup") {
    userMouse(dialog, mouseEvent(UiMessage::buttonUp, action.rest, w == "rightup"));
  } else if (w == "wait") {
    waitFor(dialog, static_cast<uint64_t>(std::max(0, id)));
  } else if (w == "close") {
    userClose(dialog);
  } else if (w == "command") {
    deliver(dialog, {UiMessage::command, id, numbers == 2 ? value : kUiClicked});
  } else if (w == "snapshot") {
    saveSnapshot(dialog, action.rest);
  } else {
    std::fprintf(stderr, "headless: \"%s %s\" is not an action for a dialog\n", w.c_str(), rest);
  }
}

int32_t run(UiDialog* dialog, intptr_t owner) {
  dialog->position = placeWindow(ownerArea(owner), dialog->width, dialog->height, kHeadlessScreen,
                                 dialog->dialogTemplate->systemMenu);
  log(std::string("shown ") + dialog->dialogTemplate->name);
  if (openDialogs.empty() && memoryActions.empty()) {
    environmentActions.clear();
    if (const char* text = std::getenv("TARVE_HEADLESS_EVENTS")) parseInto(environmentActions, text);
  }
  openDialogs.push_back(dialog);
  startDialog(dialog);
  while (!dialog->ended) {
    settleDialog(dialog);
    std::deque<Action>& queue = actions();
    if (dialog->ended || queue.empty()) break;
    const Action action = queue.front();
    queue.pop_front();
    if (action.word == "busy") {
      // Input meant for a dialog at work that reaches a waiting one would do something else.
      std::fprintf(stderr, "headless: \"busy %s\" came when no dialog was busy\n", action.rest.c_str());
      continue;
    }
    perform(dialog, action);
  }
  if (!dialog->ended) {
    userClose(dialog);
    settleDialog(dialog);
  }
  if (!dialog->ended) uiEndDialog(dialog, kUiCancel);
  openDialogs.pop_back();
  if (openDialogs.empty()) environmentActions.clear();
  shownDialogs.push_back({dialog->dialogTemplate->name, dialog->dialogTemplate->title, dialog->position, dialog->code});
  return dialog->code;
}

void recordFileRequest(const char* kind, const char* title, const char* folder, const char* proposedName) {
  fileRequests.push_back({kind, title ? title : "", folder ? folder : "", proposedName ? proposedName : ""});
  log(std::string(kind) + " " + (title ? title : ""));
}

UiChoice openFile(const UiOpenRequest& request, std::string& path) {
  recordFileRequest("open", request.title, request.folder, request.proposedName);
  const Action* answer = takeAnswer({"file", "cancel"});
  if (!answer || answer->word == "cancel") return UiChoice::cancelled;
  if (request.mustExist && !fileExists(answer->rest)) {
    std::fprintf(stderr, "headless: the open dialog cannot choose %s: it does not exist\n", answer->rest.c_str());
    return UiChoice::cancelled;
  }
  if (request.drawPreview && request.previewWidth > 0 && request.previewHeight > 0) {
    if (previewPanel) cairo_surface_destroy(previewPanel);
    previewPanel = cairo_image_surface_create(CAIRO_FORMAT_RGB24, request.previewWidth, request.previewHeight);
    cairo_t* cairo = cairo_create(previewPanel);
    Canvas canvas{cairo};
    const UiRect area{0, 0, request.previewWidth, request.previewHeight};
    canvasFill(&canvas, area, {255, 255, 255});
    request.drawPreview(&canvas, area, answer->rest.c_str(), request.previewContext);
    cairo_destroy(cairo);
  }
  path = answer->rest;
  return UiChoice::chosen;
}

UiChoice saveFile(const UiSaveRequest& request, std::string& path) {
  recordFileRequest("save", request.title, request.folder, request.proposedName);
  const Action* answer = takeAnswer({"file", "cancel"});
  if (!answer || answer->word == "cancel") return UiChoice::cancelled;
  const std::string chosen = withDefaultExtension(answer->rest, request.defaultExtension);
  if (fileExists(chosen) && !takeAnswer({"overwrite"})) return UiChoice::cancelled;
  path = chosen;
  return UiChoice::chosen;
}

UiChoice chooseColour(intptr_t, UiColour& colour, std::span<const UiColour>) {
  log("colour");
  const Action* answer = takeAnswer({"colour", "cancel"});
  if (!answer || answer->word == "cancel") return UiChoice::cancelled;
  int r = 0, g = 0, b = 0;
  if (std::sscanf(answer->rest.c_str(), "%d %d %d", &r, &g, &b) != 3) return UiChoice::cancelled;
  colour = {static_cast<uint8_t>(std::clamp(r, 0, 255)), static_cast<uint8_t>(std::clamp(g, 0, 255)),
            static_cast<uint8_t>(std::clamp(b, 0, 255))};
  return UiChoice::chosen;
}

// A dialog at work looks at its input now and then: the "busy" actions at the front of the
// queue are what the user did meanwhile.
void takeInputWhileBusy(UiDialog* dialog) {
  std::deque<Action>& queue = actions();
  while (!dialog->ended && !queue.empty() && !queue.front().raw && queue.front().word == "busy") {
    const Action action = parseAction(queue.front().rest);
    queue.pop_front();
    perform(dialog, action);
    settleDialog(dialog);
  }
}

void nothingForControl(UiDialog*, const UiControl&) {}
void nothingForTimer(UiDialog*, UiTimer&) {}
void nothingForDialog(UiDialog*) {}
void nothingForArea(UiDialog*, const UiRect&) {}
uint64_t virtualClock() { return clockNow; }

// Nothing is shown, so nothing needs showing again: the loop reads the record as it is.
const UiBackend backend{run,
                        nothingForControl,
                        nothingForTimer,
                        nothingForTimer,
                        nothingForDialog,
                        nothingForDialog,
                        nothingForArea,
                        nothingForDialog,
                        takeInputWhileBusy,
                        nothingForDialog,
                        virtualClock,
                        openFile,
                        saveFile,
                        chooseColour};
}  // namespace

const UiBackend& headlessBackend() { return backend; }

void headlessQueue(const std::string& text) {
  useHeadless();
  parseInto(memoryActions, text);
}

void headlessQueueEvent(const UiEvent& event) {
  useHeadless();
  Action action{"", "", true, event};
  memoryActions.push_back(action);
}

void headlessClear() {
  useHeadless();
  memoryActions.clear();
  shownDialogs.clear();
  fileRequests.clear();
}

const std::vector<HeadlessShown>& headlessShownDialogs() { return shownDialogs; }

const std::vector<HeadlessFileRequest>& headlessFileRequests() { return fileRequests; }

bool headlessSavePreviewPanel(const char* path) {
  return previewPanel && cairo_surface_write_to_png(previewPanel, path) == CAIRO_STATUS_SUCCESS;
}
