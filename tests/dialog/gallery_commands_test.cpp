// The gallery commands as the user gives them in the main dialog, headless: the file
// dialogs, the remembered folders, and the page shown only when it was written.
#include "dialog/gallery_commands.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/host/host.h"
#include "files/file_io.h"
#include "host/settings_file.h"
#include "tests/files/stand_in_browser.h"
#include "tests/isolated_temp.h"
#include "ui/headless/headless.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

struct GalleryDialog : testing::Test {
  Host host;
  StandInBrowser browser;
  ScratchFolder presets, out;

  void SetUp() override {
    headlessClear();
    std::remove(cachedSettingsPath().path);
    Settings settings{};
    applyDefaultSettings(settings);
    ASSERT_EQ(writeSettingsFile(presets.file("calm.q8r").c_str(), settings, nullptr), noErr);
    // Shades across and down, so that every setting shows in the pictures.
    HostImage image = makeHostImage(120, 80, 8, 3, false);
    for (int32_t y = 0; y < 80; ++y)
      for (int32_t x = 0; x < 120; ++x) *image.at(x, y, 0) = uint8_t(2 * x), *image.at(x, y, 1) = uint8_t(3 * y);
    hostOpen(host, PluginMain, std::move(image));
    ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  }
  void TearDown() override { hostClose(host); }
  ParameterBlock& block() { return *reinterpret_cast<ParameterBlock*>(*host.record.parameters); }
  int16_t run(const std::string& actions) {
    headlessQueue(actions);
    return hostRunFilter(host, true);
  }
  std::string text(const std::string& path) {
    const std::vector<uint8_t> bytes = readWholeFile(path);
    return {bytes.begin(), bytes.end()};
  }
};

}  // namespace

TEST_F(GalleryDialog, ThePresetsButtonAsksForTheFolderAndThePageThenShowsIt) {
  const std::string page = out.file("Tarve presets.html");
  ASSERT_EQ(run("click 40; file " + presets.file("calm.q8r") + "; file " + page + "; click 3"), 0);
  EXPECT_NE(text(page).find(">calm</font>"), std::string::npos);
  EXPECT_EQ(browser.opened(1), page + "\n");
  const auto& asked = headlessFileRequests();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].kind, "open");
  EXPECT_EQ(asked[0].title, "Choose any file in the source folder");
  EXPECT_EQ(asked[1].kind, "save");
  EXPECT_EQ(asked[1].title, "Save an HTML page");
  EXPECT_EQ(asked[1].proposedName, "Tarve presets.html");
  EXPECT_EQ(std::string(block().sourceFolder), presets.path);
  EXPECT_EQ(std::string(block().exportFolder), out.path);

  // The next time both dialogs start where the user was; Cancel in the first ends it.
  headlessClear();
  ASSERT_EQ(run("click 40; cancel; click 3"), 0);
  ASSERT_EQ(headlessFileRequests().size(), 1u);
  EXPECT_EQ(headlessFileRequests()[0].folder, presets.path);
}

TEST_F(GalleryDialog, APageThatCannotBeWrittenIsExplainedAndNotShown) {
  const std::string nowhere = out.file("gone/Tarve presets.html"), page = out.file("again.html");
  ASSERT_EQ(run("click 40; file " + presets.file("calm.q8r") + "; file " + nowhere + "; command 1; click 40; file " +
                presets.file("calm.q8r") + "; file " + page + "; click 3"),
            0);
  bool explained = false;
  for (const HeadlessShown& shown : headlessShownDialogs()) explained |= shown.name == "PAGEFAILED";
  EXPECT_TRUE(explained);
  // Only the page that was written reached the browser.
  EXPECT_EQ(browser.opened(1), page + "\n");
}

// The start fills dot 1; a click on the empty dot 3 stores the settings of the moment.
TEST_F(GalleryDialog, ARightClickOnTheDotPanelWritesTheMemoryDotsPageAndKeepsTheSettings) {
  const std::string page = out.file("Tarve memory dots.html");
  ASSERT_EQ(run("erase 86; type 86 30; wait 1000; down 358 418; up 358 418; erase 93; type 93 66; wait 1000; "
                "rightdown 414 447; rightup 414 447; file " + page + "; wait 1000; click 3"),
            0);
  const std::string written = text(page);
  EXPECT_NE(written.find("<title>Tarve memory dots</title>"), std::string::npos);
  EXPECT_NE(written.find(">dot 1</font>"), std::string::npos);
  EXPECT_NE(written.find("src=\"web_images/dot%201.jpg\""), std::string::npos);
  EXPECT_NE(written.find(">dot 3</font>"), std::string::npos);
  EXPECT_EQ(written.find(">dot 2</font>"), std::string::npos);
  const std::vector<uint8_t> first = readWholeFile(out.file("web_images/dot 1.jpg"));
  EXPECT_FALSE(first.empty());
  EXPECT_NE(readWholeFile(out.file("web_images/dot 3.jpg")), first) << "each dot is rendered with its own settings";
  EXPECT_EQ(browser.opened(1), page + "\n");
  EXPECT_EQ(headlessFileRequests().back().proposedName, "Tarve memory dots.html");
  EXPECT_EQ(block().settings.blur, 66);
}

TEST(GalleryCommands, FilledDotsArePublishedFromInsideTheRun) {
  StandInBrowser browser;
  Host host;
  hostOpen(host, PluginMain, makeHostImage(40, 30, 8, 3, false));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  PluginState& state = *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data));
  int16_t result = 0;
  state.result = &result;
  for (int16_t& display : state.memoryDots.display) display = kDotEmpty;
  ASSERT_EQ(writeSettingsFile(memoryDotPath(6).path, state.parameters->settings, nullptr), noErr);
  state.memoryDots.display[6] = kDotFilled;

  ScratchFolder out;
  const std::string page = out.file("Tarve memory dots.html");
  headlessClear();
  headlessQueue("wait 1000");
  EXPECT_EQ(memoryDotsGalleryCommand(state, 0, page.c_str()), noErr);
  EXPECT_EQ(browser.opened(1), page + "\n");
  EXPECT_FALSE(readWholeFile(out.file("web_images/dot 7.jpg")).empty());
  EXPECT_EQ(headlessShownDialogs().at(0).title, "Web page progress");

  // Closed while the first dot renders: the remaining dots are left out, and the page is
  // finished and shown all the same.
  ASSERT_EQ(writeSettingsFile(memoryDotPath(9).path, state.parameters->settings, nullptr), noErr);
  state.memoryDots.display[9] = kDotFilled;
  const std::string stopped = out.file("stopped.html");
  headlessQueue("wait 1000; busy close");
  auto text = [](const std::string& path) {
    const std::vector<uint8_t> bytes = readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
  };
  EXPECT_EQ(memoryDotsGalleryCommand(state, 0, stopped.c_str()), noErr);
  EXPECT_EQ(browser.opened(2), page + "\n" + stopped + "\n");
  EXPECT_NE(text(stopped).find("</table>"), std::string::npos);
  EXPECT_EQ(text(stopped).find("dot 7"), std::string::npos);
  EXPECT_EQ(text(stopped).find("dot 10"), std::string::npos);

  // Closed before its timer: no page and nothing to explain.
  headlessClear();
  headlessQueue("close");
  EXPECT_EQ(memoryDotsGalleryCommand(state, 0, out.file("never.html").c_str()), kErrCancelled);
  EXPECT_TRUE(readWholeFile(out.file("never.html")).empty());
  EXPECT_EQ(headlessShownDialogs().size(), 1u);
  hostCall(host, filterSelectorContinue);
  hostClose(host);
}
