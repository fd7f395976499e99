// Under a virtual display (xvfb-run): a dialog from a template becomes a real window, and a
// click sent through the display server comes back as a command.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "ui/canvas.h"
#include "ui/desktop_backend.h"
#include "ui/window.h"

extern char** environ;

namespace {
constexpr int32_t kClickedButton = 5;
constexpr int32_t kLookTimer = 1, kGiveUpTimer = 2;

const ControlTemplate controls[] = {
    {6, ControlKind::edit, "12", {40, 20, 60, 20}, kUiDigitsOnly | kUiBorder},
    {7, ControlKind::ownerDrawButton, "", {120, 20, 20, 20}},
    {8, ControlKind::dropList, "", {160, 20, 120, 300}},
    {9, ControlKind::radioButton, "One", {40, 60, 80, 16}},
    {kClickedButton, ControlKind::pushButton, "Press", {40, 120, 80, 24}},
    {3, ControlKind::pushButton, "OK", {200, 160, 80, 24}, kUiDefaultButton},
};
const DialogTemplate dialogTemplate{"DESKTOP", "Desktop test", 300, 200, controls};

struct Seen {
  GtkControlRectEntry controlRect;
  UiRect client{}, button{}, edit{};
  bool clickSent = false;
};

bool sendClick(UiPoint at) {
  const std::string x = std::to_string(at.x), y = std::to_string(at.y);
  const char* argv[] = {"xdotool", "mousemove", "--sync", x.c_str(), y.c_str(), "click", "1", nullptr};
  pid_t pid;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool proc(UiDialog* dialog, const UiEvent& event, void* context) {
  auto& seen = *static_cast<Seen*>(context);
  switch (event.message) {
    case UiMessage::init:
      uiSetTimer(dialog, kLookTimer, 500, false);
      uiSetTimer(dialog, kGiveUpTimer, 15000, false);
      return true;
    case UiMessage::eraseBackground:
      canvasFill(event.canvas, event.area, {255, 255, 255});
      return true;
    case UiMessage::drawItem:
      canvasButtonFace(event.canvas, event.area, event.itemState);
      return true;
    case UiMessage::timer:
      if (event.id == kGiveUpTimer) {
        uiEndDialog(dialog, -5);
      } else {
        UiPoint origin{};
        seen.controlRect(dialog, -1, &seen.client, &origin);
        seen.controlRect(dialog, 6, &seen.edit, &origin);
        seen.controlRect(dialog, kClickedButton, &seen.button, &origin);
        seen.clickSent = sendClick({origin.x + seen.button.left + seen.button.width / 2,
                                    origin.y + seen.button.top + seen.button.height / 2});
      }
      return true;
    case UiMessage::command:
      if (event.id == kClickedButton) uiEndDialog(dialog, kClickedButton);
      return true;
    default:
      return false;
  }
}
}  // namespace

TEST(Desktop, ATemplateBecomesAWindowOfItsSizeWithWidgetsAtTheirRectanglesAndClicksArrive) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "run under xvfb-run";
  setenv("TARVE_GTK_BACKEND", TARVE_GTK_BACKEND_PATH, 1);
  unsetenv("TARVE_UI");
  void* backend = dlopen(TARVE_GTK_BACKEND_PATH, RTLD_NOW | RTLD_NODELETE);
  ASSERT_NE(backend, nullptr) << dlerror();
  Seen seen{reinterpret_cast<GtkControlRectEntry>(dlsym(backend, "tarveGtkControlRect"))};
  ASSERT_NE(seen.controlRect, nullptr);

  const int32_t code = uiRunModal(dialogTemplate, proc, &seen, 0);
  ASSERT_NE(code, kUiCannotShow) << uiLastError();
  EXPECT_TRUE(seen.clickSent);
  EXPECT_EQ(code, kClickedButton);
  EXPECT_EQ(seen.client.width, 300);
  EXPECT_EQ(seen.client.height, 200);
  EXPECT_EQ(seen.button.left, 40);
  EXPECT_EQ(seen.button.top, 120);
  EXPECT_EQ(seen.button.width, 80);
  EXPECT_EQ(seen.button.height, 24);
  EXPECT_EQ(seen.edit.width, 60);
  EXPECT_EQ(seen.edit.height, 20);
}
