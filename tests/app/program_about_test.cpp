#include <cstdlib>
#include <fstream>

#include "tests/app/tarve_program.h"

namespace {
// The program's environment for one run, put back afterwards.
struct Environment {
  std::vector<std::pair<std::string, std::string>> saved;
  void set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    saved.emplace_back(name, old ? old : std::string("\x01"));
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~Environment() {
    for (auto& [name, value] : saved) {
      if (value == "\x01") unsetenv(name.c_str());
      else setenv(name.c_str(), value.c_str(), 1);
    }
  }
};
}  // namespace

TEST(ProgramAbout, ShowsTheModulesAboutBoxOrSaysInOneLineThatThereIsNoDisplay) {
  {
    Environment e;
    e.set("DISPLAY", nullptr);
    e.set("WAYLAND_DISPLAY", nullptr);
    const ProgramRun run = runTarve({"about"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
  }
  // With a display the box stays until it is closed: here headless, and closed at once.
  const std::string log = isolatedTempFolder() + "about.log";
  Environment e;
  e.set("DISPLAY", ":99");
  e.set("TARVE_UI", "headless");
  e.set("TARVE_HEADLESS_LOG", log.c_str());
  const ProgramRun run = runTarve({"about"});
  EXPECT_EQ(run.status, 0) << run.err;
  std::ifstream shown(log);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(shown), {}), "shown ABOUTBOX\n");
}
