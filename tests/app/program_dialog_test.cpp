// tarve apply --dialog, with the window layer headless: the dialog is played the user's
// actions, and what OK accepted must render as the same settings given on the command line.
#include <cstdlib>

#include "files/memory_dot_store.h"
#include "host/settings_file.h"
#include "tests/app/tarve_program.h"

namespace {

// Sanitizer builds may add their own report after the program's one line.
std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

struct DialogRun : testing::Test {
  ScratchFolder folder;
  std::string input = folder.file("in.png");
  void SetUp() override {
    writeImage(input, sceneImage(64, 48, 8, 3, false));
    std::remove(cachedSettingsPath().path);
  }
  void TearDown() override { unsetenv("TARVE_HEADLESS_EVENTS"); }
  ProgramRun apply(const std::string& output, std::vector<std::string> options, const char* actions = nullptr) {
    if (actions) {
      setenv("TARVE_HEADLESS_EVENTS", actions, 1);
    } else {
      unsetenv("TARVE_HEADLESS_EVENTS");
    }
    std::vector<std::string> args{"apply", input, "-o", folder.file(output)};
    args.insert(args.end(), options.begin(), options.end());
    return runTarve(args);
  }
  std::vector<uint8_t> pixels(const std::string& output) { return readImage(folder.file(output)).samples; }
};

TEST_F(DialogRun, OkRendersWhatTheDialogAcceptedAndKeepsItForLast) {
  const ProgramRun run = apply("dialog.png", {"--dialog", "--set", "blur=70", "--record", folder.file("run.action")},
                               "erase 79; type 79 85; select 73 12; key enter");
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(apply("given.png", {"--set", "blur=70", "--set", "ripple height=85", "--glue", "13"}).status, 0);
  EXPECT_EQ(pixels("dialog.png"), pixels("given.png"));
  // The accepted settings are the last-used ones now, and the record replays them.
  ASSERT_EQ(apply("last.png", {"--last"}).status, 0);
  EXPECT_EQ(pixels("last.png"), pixels("given.png"));
  ASSERT_EQ(apply("replayed.png", {"--action", folder.file("run.action")}).status, 0);
  EXPECT_EQ(pixels("replayed.png"), pixels("given.png"));
}

TEST_F(DialogRun, CancelWritesNothingAndKeepsTheLastUsedSettings) {
  ASSERT_EQ(apply("first.png", {"--dialog", "--set", "waviness=10"}, "click 3").status, 0);
  const std::vector<uint8_t> lastUsed = readWholeFile(cachedSettingsPath().path);
  for (const char* cancel : {"erase 86; type 86 20; key escape", "click 2", "close"}) {
    const ProgramRun run = apply("cancelled.png", {"--dialog", "--last", "--record", folder.file("c.action")}, cancel);
    EXPECT_EQ(run.status, 1) << cancel;
    EXPECT_EQ(firstLine(run.err), "tarve: cancelled") << cancel;
    EXPECT_FALSE(fileExists(folder.file("cancelled.png"))) << cancel;
    EXPECT_FALSE(fileExists(folder.file("c.action"))) << cancel;
    EXPECT_EQ(readWholeFile(cachedSettingsPath().path), lastUsed) << cancel;
  }
}

// The dialog's files live in the module's temporary folder, so the next --dialog run finds
// the dot pinned in this one.
TEST_F(DialogRun, APinnedDotIsThereInTheNextRun) {
  for (int32_t slot = 0; slot < kMemoryDotCount; ++slot) std::remove(memoryDotPath(slot).path);
  std::remove(memoryDotMapPath().path);
  // Dot 4 (slot 3) is at 348, 425.
  ASSERT_EQ(apply("pinned.png", {"--dialog", "--set", "ripple height=90"}, "rightdown 354 431; rightup 354 431; click 3")
                .status,
            0);
  EXPECT_TRUE(fileExists(memoryDotPath(3).path));
  EXPECT_TRUE(fileExists(memoryDotMapPath().path));
  const ProgramRun run = apply("recalled.png", {"--dialog", "--set", "ripple height=5"}, "down 354 431; up 354 431; click 3");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(pixels("recalled.png"), pixels("pinned.png"));
  const std::vector<std::string> left = folderEntries(temporaryFolder().path);
  for (const std::string& name : left) EXPECT_EQ(name.find("tarve-run-"), std::string::npos) << name;
}

// A preset reaches the dialog whole but for the water colour's low bytes.
TEST_F(DialogRun, APresetStartsTheDialog) {
  Settings preset{};
  applyDefaultSettings(preset);
  preset.waviness = 9;
  preset.glue = 13;
  preset.waterColour = {0x4000, 0x2000, 0x1000};
  const std::string path = folder.file("p.q8r");
  ASSERT_EQ(writeSettingsFile(path.c_str(), preset, nullptr), noErr);
  ASSERT_EQ(apply("dialog.png", {"--dialog", "--preset", path}, "click 3").status, 0);
  ASSERT_EQ(apply("plain.png", {"--preset", path}).status, 0);
  EXPECT_EQ(pixels("dialog.png"), pixels("plain.png"));
}

TEST_F(DialogRun, WithoutADisplayTheDialogIsOneClearLine) {
  std::vector<std::pair<std::string, std::string>> saved;
  for (const char* name : {"TARVE_UI", "DISPLAY", "WAYLAND_DISPLAY"}) {
    if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    unsetenv(name);
  }
  const ProgramRun run = apply("none.png", {"--dialog"});
  for (const auto& [name, value] : saved) setenv(name.c_str(), value.c_str(), 1);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(firstLine(run.err), "tarve: there is no display to show windows on (DISPLAY is not set)");
  EXPECT_FALSE(fileExists(folder.file("none.png")));
}

}  // namespace
