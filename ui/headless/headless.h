// The headless backend: dialogs live in memory. A test (or a script, through the
// environment) says what the user does; every dialog shown is recorded; time stands still
// until the user waits, so timers fire exactly when a test lets time pass.
//
// Actions, one per item, items separated by ';' (words in capitals are numbers or text):
//   click ID             click a button, icon button, owner-drawn button or radio button
//   type ID TEXT         type TEXT at the end of an edit field (a digits-only field drops the rest)
//   paste ID TEXT        paste TEXT at the end of an edit field
//   erase ID             select all of an edit field's text and delete it
//   select ID INDEX      choose entry INDEX (from 0) of a drop-down list
//   focus ID             move the keyboard focus
//   key escape|enter|N   press a key
//   down X Y [control]   press the left mouse button at client pixel X, Y (rightdown: the right)
//   move X Y             move the mouse
//   up X Y               release the left button (rightup: the right)
//   wait MS              let MS milliseconds pass: due timers fire in order
//   close                close the window
//   command ID [CODE]    send the procedure a command as it stands
//   snapshot FILE        save the client area as painted now, child controls drawn simply, as PNG
//   busy ACTION          ACTION done while a dialog is at work (the next time it lets its
//                        input in, through uiUpdate), as a click on Cancel during a render
// Answers to the common dialogs, taken when one asks (an action that is not an answer is
// left for the dialog and the common dialog is cancelled):
//   file PATH            choose PATH (a save of an existing file then needs "overwrite")
//   overwrite            confirm replacing the file
//   colour R G B         choose the colour
//   cancel               cancel
// A dialog that runs out of actions is closed; one that ignores that is cancelled (code 2),
// so a run never waits for input that cannot come.
//
// Environment (either variable also chooses this backend; see ui/window.h), read when the
// first dialog of a run opens and nothing is queued in memory:
//   TARVE_HEADLESS_EVENTS  the actions
//   TARVE_HEADLESS_LOG     a file to which "shown NAME" is appended per dialog shown, and
//                          "open TITLE", "save TITLE" or "colour" per common dialog
#pragma once

#include <string>
#include <vector>

#include "ui/dialog_record.h"

struct HeadlessShown {
  std::string name;
  std::string title;
  UiPoint position;  // the window's top-left corner; headless windows have no frame
  int32_t endCode;
};

struct HeadlessFileRequest {
  std::string kind;  // "open" or "save"
  std::string title;
  std::string folder;
  std::string proposedName;
};

const UiBackend& headlessBackend();

// The headless screen.
constexpr UiRect kHeadlessScreen{0, 0, 1920, 1080};

// Using any of these makes every window of the process headless.
void headlessQueue(const std::string& actions);
// A message delivered as it stands (mouse and key messages as the user's input).
void headlessQueueEvent(const UiEvent& event);
// Forgets queued actions and the records below.
void headlessClear();
const std::vector<HeadlessShown>& headlessShownDialogs();
const std::vector<HeadlessFileRequest>& headlessFileRequests();
// Saves what the last open dialog's preview panel drew, as PNG.
bool headlessSavePreviewPanel(const char* path);
