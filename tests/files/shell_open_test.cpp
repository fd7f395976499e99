#include "files/shell_open.h"

#include <gtest/gtest.h>

#include "files/file_io.h"
#include "tests/files/stand_in_browser.h"

TEST(ShellOpen, HandsThePathToXdgOpen) {
  StandInBrowser browser;
  const std::string page = browser.folder.file("Tarve presets.html");
  EXPECT_EQ(openWithDefaultHandler(page.c_str()), noErr);
  EXPECT_EQ(browser.opened(1), page + "\n");

  EXPECT_EQ(openWithDefaultHandler(nullptr), kErrCannotOpen);
  EXPECT_EQ(openWithDefaultHandler(""), kErrCannotOpen);
}
