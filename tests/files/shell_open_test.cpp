#include "files/shell_open.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "files/file_io.h"
#include "tests/files/scratch_folder.h"

// A stand-in xdg-open on the PATH records what it was asked to open.
TEST(ShellOpen, HandsThePathToXdgOpen) {
  ScratchFolder scratch;
  const std::string script = scratch.file("xdg-open"), record = scratch.file("opened");
  const std::string body = "#!/bin/sh\nprintf '%s' \"$1\" > '" + record + ".part' && mv '" + record + ".part' '" + record + "'\n";
  writeWholeFile(script, std::vector<uint8_t>(body.begin(), body.end()));
  ASSERT_EQ(chmod(script.c_str(), 0700), 0);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (scratch.path + ":" + oldPath).c_str(), 1);

  const std::string page = scratch.file("Tarve presets.html");
  EXPECT_EQ(openWithDefaultHandler(page.c_str()), noErr);
  setenv("PATH", oldPath.c_str(), 1);
  // The handler runs detached; give it a bounded while.
  for (int i = 0; i < 500 && access(record.c_str(), F_OK) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::vector<uint8_t> opened = readWholeFile(record);
  EXPECT_EQ(std::string(opened.begin(), opened.end()), page);

  EXPECT_EQ(openWithDefaultHandler(nullptr), kErrCannotOpen);
  EXPECT_EQ(openWithDefaultHandler(""), kErrCannotOpen);
}
