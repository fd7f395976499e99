#include "ui/window.h"

#include <gtest/gtest.h>

#include "ui/headless/headless.h"

TEST(Placement, CentredAThirdDownAndKeptOnTheScreen) {
  const UiRect screen{0, 0, 1000, 800};
  UiPoint p = placeWindow({100, 100, 600, 400}, 200, 100, screen);
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 200);  // a third of the 300 pixels left free
  p = placeWindow({900, 700, 600, 400}, 200, 100, screen);
  EXPECT_EQ(p.x, 800);
  EXPECT_EQ(p.y, 700);
  p = placeWindow(screen, 1200, 900, screen);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
}

namespace {
int commands = 0;
bool countingProc(UiDialog* dialog, const UiEvent& event, void*) {
  if (event.message == UiMessage::command && ++commands == 2) uiEndDialog(dialog, event.id);
  return true;
}
const ControlTemplate controls[] = {{1, ControlKind::pushButton, "OK", {0, 0, 10, 10}}};
const DialogTemplate dialog{"TEST", "Test", 100, 50, controls};
}  // namespace

TEST(Headless, QueuedEventsDriveTheDialogAndAreRecorded) {
  headlessClear();
  commands = 0;
  headlessQueueEvent({UiMessage::command, 5});
  headlessQueueEvent({UiMessage::command, 7});
  headlessQueueEvent({UiMessage::command, 9});
  EXPECT_EQ(uiRunModal(dialog, countingProc, nullptr, 0), 7);
  // The third event waits for the next dialog; a dialog that ignores closing is cancelled.
  commands = -10;
  EXPECT_EQ(uiRunModal(dialog, countingProc, nullptr, 0), 2);
  ASSERT_EQ(headlessShownDialogs().size(), 2u);
  EXPECT_EQ(headlessShownDialogs()[0].name, "TEST");
  EXPECT_EQ(headlessShownDialogs()[0].endCode, 7);
}
