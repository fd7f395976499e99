// A host on a desktop without a display: a window the module must show is an error the host
// hears of, never a silent success.
#include <cstdlib>
#include <cstring>
#include <string>

#include "module_fixture.h"

namespace {
// The environment of a desktop program whose display has gone, for the length of a test.
struct NoDisplay {
  std::string display;
  NoDisplay() {
    if (const char* d = std::getenv("DISPLAY")) display = d;
    setenv("TARVE_UI", "desktop", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
  }
  ~NoDisplay() {
    setenv("TARVE_UI", "headless", 1);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
  }
};
}  // namespace

TEST(WindowErrors, TheAboutBoxAndTheDialogReportThatNoWindowCouldBeShown) {
  NoDisplay noDisplay;
  AboutRecord about{};
  PlatformData platform{};
  about.platformData = &platform;
  intptr_t data = 0;
  int16_t result = 0;
  moduleEntry()(filterSelectorAbout, &about, &data, &result);
  EXPECT_EQ(result, errPlugInHostInsufficient);

  Host host;
  hostOpen(host, moduleEntry(), patternImage(40, 30, 8, 3, false));
  Str255 message{};
  host.record.errorString = &message;
  EXPECT_EQ(hostRunFilter(host, true), errReportString);
  const std::string text(reinterpret_cast<const char*>(message + 1), message[0]);
  EXPECT_NE(text.find("no display"), std::string::npos) << text;
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
  hostClose(host);
}
