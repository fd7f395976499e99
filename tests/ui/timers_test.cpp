#include <gtest/gtest.h>

#include "tests/ui/test_dialog.h"

namespace {
const DialogTemplate timerDialog{"TIMERS", "Timers", 100, 100, {}};

struct Fired {
  int32_t id;
  uint32_t tick;
};
}  // namespace

TEST(Timers, FireOnTheVirtualClockOnceOrRepeatedlyAndRestartOrStopByTheirId) {
  headlessClear();
  TestDialog d;
  std::vector<Fired> fired;
  uint32_t start = 0;
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) {
      start = uiTickCount();
      uiSetTimer(dialog, 8064, 1000, false);
      uiSetTimer(dialog, 993, 300, true);
    }
    if (e.message == UiMessage::timer) {
      fired.push_back({e.id, uiTickCount() - start});
      if (e.id == 993 && fired.size() == 3) uiKillTimer(dialog, 993);
    }
    // Typing restarts the one-shot timer, as the edit timer of a dialog does.
    if (e.message == UiMessage::command && e.id == 7) uiSetTimer(dialog, 8064, 1000, false);
    return false;
  };
  d.run(timerDialog, "wait 999;command 7;wait 999;wait 1;wait 5000");
  ASSERT_EQ(fired.size(), 4u);
  EXPECT_EQ(fired[0].id, 993);
  EXPECT_EQ(fired[0].tick, 300u);
  EXPECT_EQ(fired[1].tick, 600u);
  EXPECT_EQ(fired[2].tick, 900u);  // then stopped
  EXPECT_EQ(fired[3].id, 8064);
  EXPECT_EQ(fired[3].tick, 1999u);  // restarted at 999, fired once
}

TEST(Timers, AnOwnersTimerKeepsRunningWhileAnotherModalDialogIsOpen) {
  headlessClear();
  TestDialog owner, owned;
  int ownerTicks = 0, ownedTicks = 0;
  owner.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) uiSetTimer(dialog, 1, 1000, true);
    if (e.message == UiMessage::timer) ++ownerTicks;
    if (e.message == UiMessage::command && e.id == 5) uiRunModal(timerDialog, TestDialog::proc, &owned, uiWindowHandle(dialog));
    return false;
  };
  owned.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) uiSetTimer(dialog, 1, 1000, false);
    if (e.message == UiMessage::timer) {
      ++ownedTicks;
      uiEndDialog(dialog, 1);
    }
    return false;
  };
  owner.run(timerDialog, "command 5;wait 2500;wait 1000");
  // Both timers fired at 1000; the owned dialog ended there and lost the rest of its wait.
  EXPECT_EQ(ownedTicks, 1);
  EXPECT_EQ(ownerTicks, 2);
}
