// The desktop's handler for pages, replaced by a stand-in on the PATH that notes each path
// it is given, one a line. Child processes started meanwhile find it too.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/files/scratch_folder.h"

struct StandInBrowser {
  ScratchFolder folder;
  std::string note = folder.file("opened.txt"), oldPath;

  StandInBrowser() {
    const std::string script = "#!/bin/sh\necho \"$1\" >> '" + note + "'\n";
    writeWholeFile(folder.file("xdg-open"), std::vector<uint8_t>(script.begin(), script.end()));
    chmod(folder.file("xdg-open").c_str(), 0755);
    oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder.path + ":" + oldPath).c_str(), 1);
  }
  ~StandInBrowser() { setenv("PATH", oldPath.c_str(), 1); }
  StandInBrowser(const StandInBrowser&) = delete;
  StandInBrowser& operator=(const StandInBrowser&) = delete;

  // The paths opened so far. The handler runs detached, so this waits a bounded while for
  // `lines` of them.
  std::string opened(long lines) const {
    std::string text;
    for (int i = 0; i < 250; ++i) {
      const std::vector<uint8_t> bytes = readWholeFile(note);
      text.assign(bytes.begin(), bytes.end());
      if (std::count(text.begin(), text.end(), '\n') >= lines) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return text;
  }
};
