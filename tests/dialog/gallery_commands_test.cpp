// The gallery commands as the dialog gives them: the page is shown only when it was written.
#include "dialog/gallery_commands.h"

#include <gtest/gtest.h>

#include "app/host/host.h"
#include "files/file_io.h"
#include "host/settings_file.h"
#include "tests/files/stand_in_browser.h"
#include "tests/isolated_temp.h"
#include "ui/headless/headless.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);


TEST(GalleryCommands, APresetsPageIsOpenedWhenWrittenAndExplainedWhenNot) {
  StandInBrowser browser;
  headlessClear();
  ScratchFolder presets;
  Settings settings{};
  applyDefaultSettings(settings);
  ASSERT_EQ(writeSettingsFile(presets.file("calm.q8r").c_str(), settings, nullptr), noErr);
  PluginState state{};

  const std::string page = presets.file("Tarve presets.html");
  EXPECT_EQ(presetsGalleryCommand(state, presets.file("calm.q8r").c_str(), page.c_str()), noErr);
  EXPECT_TRUE(headlessShownDialogs().empty());
  EXPECT_EQ(browser.opened(1), page + "\n");
  const std::vector<uint8_t> text = readWholeFile(page);
  EXPECT_NE(std::string(text.begin(), text.end()).find(">calm</font>"), std::string::npos);

  EXPECT_EQ(presetsGalleryCommand(state, presets.file("calm.q8r").c_str(), presets.file("gone/x.html").c_str()),
            kErrCannotOpen);
  ASSERT_EQ(headlessShownDialogs().size(), 1u);
  EXPECT_EQ(headlessShownDialogs()[0].name, "PAGEFAILED");
  // Only the pages that were written reach the browser.
  const std::string again = presets.file("again.html");
  EXPECT_EQ(presetsGalleryCommand(state, presets.file("calm.q8r").c_str(), again.c_str()), noErr);
  EXPECT_EQ(browser.opened(2), page + "\n" + again + "\n");
}

TEST(GalleryCommands, AMemoryDotsPageIsWrittenInsideTheRunAndOpened) {
  StandInBrowser browser;
  headlessClear();
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
  EXPECT_EQ(memoryDotsGalleryCommand(state, page.c_str()), noErr);
  EXPECT_EQ(browser.opened(1), page + "\n");
  EXPECT_FALSE(readWholeFile(out.file("web_images/dot 7.jpg")).empty());
  EXPECT_TRUE(headlessShownDialogs().empty());
  hostCall(host, filterSelectorContinue);
  hostClose(host);
}
