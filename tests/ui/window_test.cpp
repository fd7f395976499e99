#include "ui/window.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/isolated_temp.h"
#include "tests/ui/test_dialog.h"

TEST(Placement, CentredShiftedByACaptionButtonAThirdDownAndKeptOnTheScreen) {
  const UiRect screen{0, 0, 1000, 800};
  UiPoint p = placeWindow({100, 100, 600, 400}, 200, 100, screen, true);
  EXPECT_EQ(p.x, 100 + 200 - 36);
  EXPECT_EQ(p.y, 100 + 100);  // a third of the 300 pixels left free
  // Without a system menu the shift is the caption button less a third of it.
  EXPECT_EQ(placeWindow({100, 100, 600, 400}, 200, 100, screen, false).x, 100 + 200 - 24);
  // Past the right and bottom edges it comes back to end there.
  p = placeWindow({900, 700, 600, 400}, 200, 100, screen, true);
  EXPECT_EQ(p.x, 800);
  EXPECT_EQ(p.y, 700);
  // Wider and taller than the owner and the screen: no negative free space, never off the
  // left or top.
  p = placeWindow({50, 40, 600, 400}, 1200, 900, screen, true);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  p = placeWindow({50, 40, 600, 400}, 700, 500, screen, true);
  EXPECT_EQ(p.x, 50 - 36);
  EXPECT_EQ(p.y, 40);
}

TEST(Placement, ADialogOwnedByAnotherIsPlacedOverItsClientArea) {
  headlessClear();
  static const DialogTemplate outer{"OUTER", "Outer", 881, 541, {}};
  static const DialogTemplate inner{"INNER", "Inner", 281, 141, {}};
  TestDialog owner, owned;
  owner.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) uiRunModal(inner, TestDialog::proc, &owned, uiWindowHandle(dialog));
    return false;
  };
  owner.run(outer, "");
  ASSERT_EQ(headlessShownDialogs().size(), 2u);
  const HeadlessShown& o = headlessShownDialogs()[1];
  const HeadlessShown& i = headlessShownDialogs()[0];
  EXPECT_EQ(o.position.x, (1920 - 881) / 2 - 36);
  EXPECT_EQ(o.position.y, (1080 - 541) / 3);
  EXPECT_EQ(i.position.x, o.position.x + (881 - 281) / 2 - 36);
  EXPECT_EQ(i.position.y, o.position.y + (541 - 141) / 3);
}

TEST(DialogUnits, ConvertWithTheFontsBaseUnitsRoundingToNearest) {
  const UiRect r = uiDialogUnitsToPixels({8, 7, 82, 8});
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 11);    // 7 × 13 / 8 = 11.375
  EXPECT_EQ(r.width, 123);
  EXPECT_EQ(r.height, 13);
  // Halves round up: 127 × 6 / 4 = 190.5; 158 × 13 / 8 = 256.75.
  static const ControlTemplate controls[] = {{4, ControlKind::edit, "", {9, 98, 48, 14}, kUiDigitsOnly}};
  static const DialogTemplate sized{"SIZE", "Size", 127, 158, controls, UiUnits::dialogUnits};
  TestDialog d;
  UiRect field{}, size{};
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) field = uiControlRect(dialog, 4);
    if (e.message == UiMessage::paint) size = e.area;
    return false;
  };
  d.run(sized, "");
  EXPECT_EQ(size.width, 191);
  EXPECT_EQ(size.height, 257);
  EXPECT_EQ(field.left, 14);   // 13.5
  EXPECT_EQ(field.top, 159);   // 159.25
  EXPECT_EQ(field.width, 72);
  EXPECT_EQ(field.height, 23);  // 22.75
}

namespace {
const ControlTemplate okControls[] = {{1, ControlKind::pushButton, "OK", {0, 0, 10, 10}, kUiDefaultButton}};
const DialogTemplate okDialog{"TEST", "Test", 100, 50, okControls};
}  // namespace

TEST(Headless, QueuedActionsDriveNestedDialogsInTurnAndEveryDialogIsRecorded) {
  headlessClear();
  TestDialog outer, inner;
  int commands = 0;
  outer.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message != UiMessage::command) return false;
    if (++commands == 1) uiRunModal(okDialog, TestDialog::proc, &inner, uiWindowHandle(dialog));
    else uiEndDialog(dialog, e.id);
    return true;
  };
  inner.handler = [](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::command) uiEndDialog(dialog, 40 + e.id);
    return e.message == UiMessage::command;
  };
  // The inner dialog, opened by the first command, takes the second; the third is the outer's.
  EXPECT_EQ(outer.run(okDialog, "command 5;command 7;command 9;command 11"), 9);
  ASSERT_EQ(headlessShownDialogs().size(), 2u);
  EXPECT_EQ(headlessShownDialogs()[0].endCode, 47);
  // What is left waits for the next dialog; a dialog that ignores closing is cancelled.
  TestDialog ignoring;
  ignoring.handler = [](UiDialog*, const UiEvent&) { return true; };
  EXPECT_EQ(ignoring.run(okDialog, ""), kUiCancel);
  EXPECT_EQ(ignoring.of(UiMessage::command).at(0).id, 11);
}

TEST(Headless, TheEnvironmentsActionsServeOneRunNotEachNestedDialogAgain) {
  headlessClear();
  setenv("TARVE_HEADLESS_EVENTS", "command 5;command 1", 1);
  TestDialog outer, inner;
  outer.handler = [&](UiDialog*, const UiEvent& e) {
    if (e.message == UiMessage::command && e.id == 5) uiRunModal(okDialog, TestDialog::proc, &inner, 0);
    return false;
  };
  EXPECT_EQ(uiRunModal(okDialog, TestDialog::proc, &outer, 0), kUiCancel);
  // The inner dialog took what followed and was then closed; the outer ran out and was closed.
  auto ids = [](const std::vector<UiEvent>& events) {
    std::vector<int32_t> found;
    for (const UiEvent& e : events) found.push_back(e.id);
    return found;
  };
  EXPECT_EQ(ids(inner.of(UiMessage::command)), (std::vector<int32_t>{1, kUiCancel}));
  EXPECT_EQ(ids(outer.of(UiMessage::command)), (std::vector<int32_t>{5, kUiCancel}));
  // The next run reads the environment afresh.
  uiRunModal(okDialog, TestDialog::proc, &outer, 0);
  EXPECT_EQ(ids(outer.of(UiMessage::command)), (std::vector<int32_t>{5, kUiCancel, 5, kUiCancel}));
  unsetenv("TARVE_HEADLESS_EVENTS");
}
