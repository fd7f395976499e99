#include <gtest/gtest.h>

#include "tests/ui/test_dialog.h"

namespace {
const ControlTemplate controls[] = {
    {2, ControlKind::pushButton, "Cancel", {10, 100, 60, 24}},
    {3, ControlKind::pushButton, "OK", {80, 100, 60, 24}, kUiDefaultButton},
    {4, ControlKind::edit, "", {10, 10, 40, 20}, kUiDigitsOnly | kUiBorder | kUiAutoScroll},
    {5, ControlKind::edit, "", {10, 40, 40, 20}},
    {10, ControlKind::radioButton, "Same size", {100, 10, 90, 14}},
    {11, ControlKind::radioButton, "Same proportions", {100, 26, 90, 14}},
    {12, ControlKind::radioButton, "Custom", {100, 42, 90, 14}},
    {20, ControlKind::radioButton, "Other group", {100, 60, 90, 14}, kUiGroup},
    {21, ControlKind::radioButton, "Other group too", {100, 76, 90, 14}},
    {30, ControlKind::dropList, "", {200, 10, 100, 200}},
    {40, ControlKind::placeholder, "", {200, 60, 50, 50}},
    {41, ControlKind::text, "Label", {200, 120, 50, 16}},
};
const DialogTemplate dialogTemplate{"CONTROLS", "Controls", 320, 240, controls};

std::vector<int32_t> commandIds(const TestDialog& d, int32_t code) {
  std::vector<int32_t> ids;
  for (const UiEvent& e : d.of(UiMessage::command)) {
    if (e.code == code) ids.push_back(e.id);
  }
  return ids;
}
}  // namespace

TEST(Keys, EscapeIsCancelEnterIsTheDefaultButtonUnlessDisabledOrHandled) {
  headlessClear();
  TestDialog d;
  d.handler = [](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) uiEnableControl(dialog, 3, false);
    return false;
  };
  d.run(dialogTemplate, "key enter;key escape");
  // Enter on the disabled OK did nothing; Escape and the unhandled close both mean Cancel.
  EXPECT_EQ(commandIds(d, kUiClicked), (std::vector<int32_t>{2, 2}));

  TestDialog enter;
  enter.handler = [](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::command && e.code == kUiClicked) uiEndDialog(dialog, e.id);
    return false;
  };
  // Enter in an edit field presses the default button; a push button with the focus is
  // pressed itself.
  EXPECT_EQ(enter.run(dialogTemplate, "type 4 7;key enter"), 3);
  EXPECT_EQ(enter.run(dialogTemplate, "focus 2;key enter"), 2);

  TestDialog handling;
  handling.handler = [](UiDialog*, const UiEvent& e) { return e.message == UiMessage::key; };
  handling.run(dialogTemplate, "key escape;key enter");
  EXPECT_EQ(handling.of(UiMessage::key).size(), 2u);
  EXPECT_EQ(commandIds(handling, kUiClicked), (std::vector<int32_t>{kUiCancel}));  // only from closing
}

TEST(EditFields, DigitsOnlyFiltersTypingButNotPastingAndEveryChangeNotifies) {
  headlessClear();
  TestDialog d;
  std::vector<std::string> texts;
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::command && e.code == kUiEditChanged) texts.push_back(uiControlText(dialog, e.id));
    if (e.message == UiMessage::command && e.id == 3) uiSetControlText(dialog, 4, "50");
    return false;
  };
  d.run(dialogTemplate, "type 4 1a2.5;type 5 1a;erase 4;paste 4 12.7;click 3");
  EXPECT_EQ(texts, (std::vector<std::string>{"1", "12", "125", "1", "1a", "", "12.7", "50"}));
  EXPECT_EQ(commandIds(d, kUiEditChanged), (std::vector<int32_t>{4, 4, 4, 5, 5, 4, 4, 4}));
}

TEST(Lists, FillSelectAndTheUsersSelectionAloneNotifies) {
  headlessClear();
  TestDialog d;
  int32_t count = 0, selected = -2, afterUser = -2;
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) {
      for (int i = 1; i <= 62; ++i) uiListAdd(dialog, 30, ("glue " + std::to_string(i)).c_str());
      count = uiListCount(dialog, 30);
      uiListSelect(dialog, 30, 61);
      selected = uiListSelection(dialog, 30);
      uiListSelect(dialog, 30, 62);  // past the end: nothing selected
    }
    if (e.message == UiMessage::command && e.code == kUiSelectionChanged) {
      afterUser = uiListSelection(dialog, 30);
      uiEnableControl(dialog, 30, false);
    }
    return false;
  };
  d.run(dialogTemplate, "select 30 62;select 30 4;select 30 7");
  EXPECT_EQ(count, 62);
  EXPECT_EQ(selected, 61);
  EXPECT_EQ(afterUser, 4);  // an entry past the end cannot be chosen
  EXPECT_EQ(commandIds(d, kUiSelectionChanged), (std::vector<int32_t>{30}));  // then it was disabled
}

TEST(RadioButtons, AClickChecksItAndClearsItsGroupOnly) {
  headlessClear();
  TestDialog d;
  std::vector<bool> states;
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) {
      uiCheckRadio(dialog, 10, 12, 10);
      uiCheckRadio(dialog, 20, 21, 21);
    }
    if (e.message == UiMessage::command && e.id == 2) {
      for (int32_t id : {10, 11, 12, 20, 21}) states.push_back(uiRadioChecked(dialog, id));
      uiEndDialog(dialog, 2);
    }
    return false;
  };
  d.run(dialogTemplate, "click 12;click 20;command 2");
  EXPECT_EQ(states, (std::vector<bool>{false, false, true, true, false}));
  EXPECT_EQ(commandIds(d, kUiClicked), (std::vector<int32_t>{12, 20, 2}));
}

TEST(Controls, HiddenAndDisabledControlsTakeNoInputAndMovesAreKept) {
  headlessClear();
  TestDialog d;
  UiRect moved{};
  int32_t focus = 0;
  d.handler = [&](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::init) {
      uiShowControl(dialog, 3, false);
      uiEnableControl(dialog, 5, false);
      uiShowControl(dialog, 40, true);  // a placeholder is never shown
      uiMoveControl(dialog, 40, {1, 2, 3, 4});
    }
    if (e.message == UiMessage::command && e.id == 2) {
      moved = uiControlRect(dialog, 40);
      focus = uiFocusedControl(dialog);
      EXPECT_FALSE(uiControlShown(dialog, 40));
      EXPECT_FALSE(uiHasControl(dialog, 99));
      EXPECT_EQ(uiControlText(dialog, 99), "");
    }
    return false;
  };
  d.run(dialogTemplate, "click 3;type 5 12;focus 4;click 2");
  EXPECT_EQ(commandIds(d, kUiClicked), (std::vector<int32_t>{2, 2}));  // the click, then closing
  EXPECT_TRUE(commandIds(d, kUiEditChanged).empty());
  EXPECT_EQ(moved.left, 1);
  EXPECT_EQ(moved.height, 4);
  EXPECT_EQ(focus, 2);  // a click moves the focus to the button
}

TEST(Mouse, TheDialogGetsPressesOutsideChildWindowsAndEverythingWhileCaptured) {
  headlessClear();
  TestDialog d;
  d.handler = [](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::leftButtonDown) uiSetCapture(dialog);
    if (e.message == UiMessage::buttonUp) uiReleaseCapture(dialog);
    return true;
  };
  // Over a button, over the drop-down list's closed field, outside the client area: none
  // reach the dialog. A press on a placeholder or a static text does. Captured, a move
  // outside the window still arrives; released, it does not.
  d.run(dialogTemplate,
        "down 20 110;down 250 15;move 400 10;rightdown 210 125 control;"
        "down 220 70;move 400 300;up 400 300;move 401 300");
  const auto moves = d.of(UiMessage::mouseMove);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].point.x, 400);
  EXPECT_EQ(moves[0].point.y, 300);
  const auto right = d.of(UiMessage::rightButtonDown);
  ASSERT_EQ(right.size(), 1u);
  EXPECT_TRUE(right[0].control);
  // Below its closed field the drop-down list's rectangle is the dialog's.
  EXPECT_EQ(d.of(UiMessage::leftButtonDown).size(), 1u);
  EXPECT_EQ(d.of(UiMessage::buttonUp).size(), 1u);
}

TEST(Messages, APostedMessageArrivesAfterTheCurrentOneBeforeTheNextInput) {
  headlessClear();
  TestDialog d;
  d.handler = [](UiDialog* dialog, const UiEvent& e) {
    if (e.message == UiMessage::leftButtonDown) uiPostMessage(dialog, {UiMessage::mouseMove, 0, 0, e.point});
    return true;
  };
  d.run(dialogTemplate, "down 220 70;command 9");
  std::vector<UiMessage> order;
  for (const UiEvent& e : d.messages) {
    if (e.message == UiMessage::leftButtonDown || e.message == UiMessage::mouseMove ||
        e.message == UiMessage::command)
      order.push_back(e.message);
  }
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[1], UiMessage::mouseMove);
  EXPECT_EQ(d.of(UiMessage::mouseMove)[0].point.x, 220);
}
