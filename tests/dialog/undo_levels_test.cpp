// The undo slots and their files: which changes record a level, and what Undo brings back
// when the files are gone, damaged or cannot be written.
#include "dialog/undo_levels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "dialog/main_dialog_record.h"
#include "host/settings_file.h"
#include "tests/isolated_temp.h"

namespace {

struct Undo : testing::Test {
  std::unique_ptr<PluginState> state = std::make_unique<PluginState>();
  ParameterBlock block{};
  void SetUp() override {
    applyDefaultSettings(block.settings);
    std::strcpy(block.settingsFileName, "start.q8r");
    state->parameters = &block;
    std::remove(undoFilePath(0).path);
    std::remove(undoFilePath(1).path);
  }
  void change(int32_t horizon, UndoLevel level) {
    block.settings.horizon = horizon;
    recordUndoLevel(*state, level);
  }
};

TEST(UndoLevelTable, EachKindOfChangeRecordsItsLevel) {
  EXPECT_EQ(undoLevelFor(kIdOk, false, false, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdSavePreset, false, false, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdZoomIn, false, false, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdUndo, false, false, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdLoadPreset, false, false, false), UndoLevel::memoryAndFile);
  EXPECT_EQ(undoLevelFor(kEditTimer, false, false, false), UndoLevel::memory);
  EXPECT_EQ(undoLevelFor(kIdCentrePick, false, false, false), UndoLevel::memory);
  EXPECT_EQ(undoLevelFor(kIdDice, false, false, false), UndoLevel::memory);
  EXPECT_EQ(undoLevelFor(kIdGlueList, false, false, false), UndoLevel::memory);
  EXPECT_EQ(undoLevelFor(kIdColourSwatch, false, false, false), UndoLevel::memory);
  EXPECT_EQ(undoLevelFor(kIdStatusLine, false, false, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdLogo, false, false, false), UndoLevel::none);
  // A dot: only a plain left click on one that holds settings.
  EXPECT_EQ(undoLevelFor(kIdFirstMemoryDot + 3, true, false, false), UndoLevel::memoryAndFile);
  EXPECT_EQ(undoLevelFor(kIdFirstMemoryDot + 3, true, false, true), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdFirstMemoryDot + 3, true, true, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdLastMemoryDot, false, false, false), UndoLevel::none);
  // The dot panel recalls the dot it shows with the left button; its right button makes a page.
  EXPECT_EQ(undoLevelFor(kIdDotPreview, true, false, false), UndoLevel::memoryAndFile);
  EXPECT_EQ(undoLevelFor(kIdDotPreview, false, false, false), UndoLevel::none);
  EXPECT_EQ(undoLevelFor(kIdDotPreview, true, true, false), UndoLevel::none);
}

TEST_F(Undo, SwapsBetweenTheLastTwoLevelsAndKeepsTheCentre) {
  EXPECT_FALSE(undoStep(*state));  // nothing recorded: nothing changes
  EXPECT_EQ(block.settings.horizon, 60);
  change(10, UndoLevel::memory);
  change(20, UndoLevel::memory);
  std::strcpy(block.settingsFileName, "other.q8r");
  block.settings.centreX = 0.9f;
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 10);
  EXPECT_FLOAT_EQ(block.settings.centreX, 0.9f);
  EXPECT_STREQ(block.settingsFileName, "start.q8r");
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 20);
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 10);
}

TEST_F(Undo, FileLevelsReadTheirFileAndFallBackToMemoryWhenItIsGoneOrDamaged) {
  change(10, UndoLevel::memoryAndFile);
  change(20, UndoLevel::memoryAndFile);
  EXPECT_EQ(access(undoFilePath(0).path, F_OK), 0);
  EXPECT_EQ(access(undoFilePath(1).path, F_OK), 0);

  // A file changed behind our back counts, but never with its centre.
  Settings edited = block.settings;
  edited.horizon = 44;
  edited.centreX = 0.01f;
  ASSERT_EQ(writeSettingsFile(undoFilePath(state->undoSlot == 0 ? 1 : 0).path, edited, nullptr), noErr);
  block.settings.centreX = 0.8f;
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 44);
  EXPECT_FLOAT_EQ(block.settings.centreX, 0.8f);

  // Truncated after the version number and a few values: nothing of it is kept.
  {
    const std::string other = undoFilePath(state->undoSlot == 0 ? 1 : 0).path;
    std::ifstream in(other, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    in.close();
    bytes.resize(24);
    std::ofstream(other, std::ios::binary | std::ios::trunc) << bytes;
  }
  block.settings.glue = 3;
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 20);
  EXPECT_EQ(block.settings.glue, 1);

  // Gone altogether: the level as it was recorded.
  std::remove(undoFilePath(state->undoSlot == 0 ? 1 : 0).path);
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 10);
}

TEST_F(Undo, AnUnwritableTemporaryFolderLeavesTheLevelsInMemory) {
  const std::string saved = std::getenv("TMPDIR");
  setenv("TMPDIR", "/proc/no-such-folder/", 1);
  change(10, UndoLevel::memoryAndFile);
  change(20, UndoLevel::memoryAndFile);
  EXPECT_FALSE(state->undoSlots[0].fromFile || state->undoSlots[1].fromFile);
  EXPECT_TRUE(undoStep(*state));
  EXPECT_EQ(block.settings.horizon, 10);
  setenv("TMPDIR", saved.c_str(), 1);
}

}  // namespace
