// The memory dots as a user meets them in the dialog: what the start stores, what clicks and
// the pointer do, what the next run finds, and dot files that are gone or damaged.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dialog/main_dialog_record.h"
#include "files/file_io.h"
#include "host/settings_file.h"
#include "tests/dialog/dialog_fixture.h"
#include "tests/files/scratch_folder.h"

namespace {

// A press and release in the middle of dot `slot` (0..24); `button` "" left, "right", or
// "control" for a left click with Control held.
std::string clickDot(int32_t slot, const std::string& button = "") {
  LayoutRect r{};
  controlLayout(kIdFirstMemoryDot + slot, r);
  const std::string at = std::to_string(r.left + 6) + " " + std::to_string(r.top + 6);
  if (button == "right") return "rightdown " + at + "; rightup " + at + "; ";
  if (button == "control") return "down " + at + " control; up " + at + "; ";
  return "down " + at + "; up " + at + "; ";
}

std::string hoverDot(int32_t slot) {
  LayoutRect r{};
  controlLayout(kIdFirstMemoryDot + slot, r);
  return "move " + std::to_string(r.left + 6) + " " + std::to_string(r.top + 6) + "; ";
}

bool readDot(int32_t slot, Settings& settings) {
  settings = defaults();
  ThumbnailRead found{};
  return readSettingsFile(memoryDotPath(slot).path, kReadSettingsAndThumbnail, settings, nullptr, found) == noErr;
}

void writeMap(const std::vector<int32_t>& pinned) {
  std::vector<uint8_t> bytes;
  std::vector<int32_t> values = {40};
  values.insert(values.end(), pinned.begin(), pinned.end());
  for (int32_t v : values)
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(uint32_t(v) >> shift));
  writeWholeFile(memoryDotMapPath().path, bytes);
}

std::vector<int32_t> savedMap() {
  MemoryDots dots{};
  loadMemoryDotMap(dots);
  return {dots.pinned, dots.pinned + kMemoryDotCount};
}

// The 88 x 88 picture inside the dot panel of a snapshot, as RGB.
std::vector<uint8_t> panelPixels(const std::string& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  std::vector<uint8_t> rgb;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 403; y < 491; ++y)
      for (int x = 370; x < 458; ++x) {
        const uint32_t pixel = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
        for (int shift : {16, 8, 0}) rgb.push_back(uint8_t(pixel >> shift));
      }
  }
  cairo_surface_destroy(s);
  return rgb;
}

using MemoryDotsDialog = Dialog;

TEST_F(MemoryDotsDialog, TheFirstStartStoresDotOneAndSelectsItUntilTheNextStart) {
  open(scene(300, 200));
  block().settings.waviness = 71;
  // OK keeps 12 as the last-used settings, which the next start brings in.
  ASSERT_EQ(run("erase 92; type 92 12; wait 1000; click 3"), 0);
  const MemoryDots& dots = state().memoryDots;
  EXPECT_EQ(dots.display[0], kDotCurrent);
  EXPECT_EQ(dots.pinned[0], 0);
  for (int32_t i = 1; i < kMemoryDotCount; ++i) EXPECT_EQ(dots.display[i], kDotEmpty) << i;
  // Dot 1 is slot 0's file, with the settings and a picture of the preview.
  Settings stored;
  ASSERT_TRUE(readDot(0, stored));
  EXPECT_EQ(stored.waviness, 71);
  Settings ignored{};
  ThumbnailRead found{};
  readSettingsFile(memoryDotPath(0).path, kReadThumbnailOnly, ignored, nullptr, found);
  EXPECT_EQ(found.width, 128);
  EXPECT_EQ(savedMap(), std::vector<int32_t>(kMemoryDotCount, 0));

  // Unpinned, it is empty at the next start and takes that start's settings.
  ASSERT_EQ(run("click 3"), 0);
  ASSERT_TRUE(readDot(0, stored));
  EXPECT_EQ(stored.waviness, 12);
  EXPECT_EQ(state().memoryDots.display[0], kDotCurrent);
}

TEST_F(MemoryDotsDialog, ClickingTheSelectedDotRecallsRatherThanPins) {
  open(scene(300, 200));
  ASSERT_EQ(run("erase 86; type 86 10; wait 1000; " + clickDot(0) + "click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 60);
  EXPECT_EQ(state().memoryDots.pinned[0], 0);
  EXPECT_EQ(state().memoryDots.display[0], kDotCurrent);
  // A plain left click on a filled dot is an undo level with its file: Undo comes back to 10.
  ASSERT_EQ(run("erase 86; type 86 10; wait 1000; " + clickDot(0) + "click 74; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 10);
  // The panel recalls the dot it shows, which stays the selected one; nothing when it shows none.
  ASSERT_EQ(run("erase 86; type 86 15; wait 1000; " + hoverDot(0) + "down 414 447; up 414 447; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 10);
  EXPECT_EQ(state().memoryDots.display[0], kDotCurrent);
  ASSERT_EQ(run(clickDot(0, "right") + "erase 86; type 86 15; wait 1000; down 414 447; up 414 447; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 15);
}

TEST_F(MemoryDotsDialog, ClicksOnEmptyAndFilledDotsWithEitherButton) {
  open(scene(300, 200));
  // A right click on an empty dot stores and pins like a left click; Control with the left
  // button stores for this run only.
  ASSERT_EQ(run("erase 86; type 86 20; wait 1000; " + clickDot(3, "right") + "erase 86; type 86 30; wait 1000; " +
                clickDot(7, "control") + "erase 86; type 86 40; wait 1000; " + clickDot(9) + "click 3"),
            0);
  const MemoryDots& dots = state().memoryDots;
  EXPECT_EQ(dots.pinned[3], 1);
  EXPECT_EQ(dots.pinned[7], 0);
  EXPECT_EQ(dots.pinned[9], 1);
  EXPECT_EQ(dots.display[3], kDotFilled);
  EXPECT_EQ(dots.display[9], kDotCurrent);
  Settings stored;
  ASSERT_TRUE(readDot(3, stored));
  EXPECT_EQ(stored.horizon, 20);
  ASSERT_TRUE(readDot(7, stored));
  EXPECT_EQ(stored.horizon, 30);
  std::vector<int32_t> expected(kMemoryDotCount, 0);
  expected[3] = expected[9] = 1;
  EXPECT_EQ(savedMap(), expected);

  // The next run shows the pinned dots filled and stores its settings (the last-used ones) in
  // the first free one.
  ASSERT_EQ(run(clickDot(3) + "click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 20);
  EXPECT_EQ(dots.display[0], kDotFilled);
  EXPECT_EQ(dots.display[3], kDotCurrent);
  EXPECT_EQ(dots.display[7], kDotEmpty);
  EXPECT_EQ(dots.display[9], kDotFilled);
  ASSERT_TRUE(readDot(0, stored));
  EXPECT_EQ(stored.horizon, 40);

  // Control unpins a filled dot and keeps it for this run; a right click empties it and leaves
  // the settings alone. A cancelled run still keeps the map.
  ASSERT_EQ(run(clickDot(3, "control") + clickDot(9, "right") + "click 2"), userCanceledErr);
  EXPECT_EQ(dots.display[3], kDotFilled);
  EXPECT_EQ(dots.display[9], kDotEmpty);
  EXPECT_EQ(savedMap(), std::vector<int32_t>(kMemoryDotCount, 0));
  EXPECT_EQ(block().settings.horizon, 20);
}

TEST_F(MemoryDotsDialog, WithEveryDotPinnedNothingIsStoredOrSelected) {
  Settings pinned = defaults();
  pinned.blur = 3;
  for (int32_t slot = 0; slot < kMemoryDotCount; ++slot)
    ASSERT_EQ(writeSettingsFile(memoryDotPath(slot).path, pinned, nullptr), noErr);
  writeMap(std::vector<int32_t>(kMemoryDotCount, 1));
  open(scene(300, 200));
  ASSERT_EQ(run("click 3"), 0);
  for (int32_t slot = 0; slot < kMemoryDotCount; ++slot) {
    EXPECT_EQ(state().memoryDots.display[slot], kDotFilled) << slot;
    Settings stored;
    ASSERT_TRUE(readDot(slot, stored));
    EXPECT_EQ(stored.blur, 3) << slot;
  }
}

TEST_F(MemoryDotsDialog, PinsWhoseFilesAreGoneOrDamaged) {
  // Slot 0's file is gone, slot 1's is not a settings file, slot 2's holds values no control takes.
  writeMap({1, 1, 1});
  writeWholeFile(memoryDotPath(1).path, {'j', 'u', 'n', 'k'});
  Settings hostile = defaults();
  hostile.horizon = 100000;
  hostile.glue = 5000;
  hostile.blur = -7;
  ASSERT_EQ(writeSettingsFile(memoryDotPath(2).path, hostile, nullptr), noErr);
  open(scene(300, 200));
  ASSERT_EQ(run("erase 86; type 86 44; wait 1000; " + clickDot(1) + clickDot(2) + "click 3"), 0);
  const MemoryDots& dots = state().memoryDots;
  // The missing file's pin is forgotten, and that free dot takes the incoming settings.
  Settings stored;
  ASSERT_TRUE(readDot(0, stored));
  EXPECT_EQ(dots.pinned[0], 0);
  // The damaged dot recalls nothing and is emptied; the hostile one is brought into range.
  EXPECT_EQ(dots.display[1], kDotEmpty);
  EXPECT_EQ(dots.pinned[1], 0);
  EXPECT_EQ(dots.display[2], kDotCurrent);
  EXPECT_EQ(block().settings.horizon, 100);
  EXPECT_EQ(block().settings.blur, 0);
  std::vector<int32_t> expected(kMemoryDotCount, 0);
  expected[2] = 1;
  EXPECT_EQ(savedMap(), expected);
}

TEST_F(MemoryDotsDialog, HoveringShowsADotsPictureAndAnEmptyDotClearsIt) {
  open(scene(300, 200));
  const std::string folder = isolatedTempFolder();
  // Dot 1 holds the start's look; dot 2 is stored after a change of colour.
  ASSERT_EQ(run("snapshot " + folder + "start.png; " + hoverDot(10) + "snapshot " + folder + "empty.png; " +
                "click 7; colour 255 0 0; " + clickDot(1, "control") + hoverDot(5) + hoverDot(0) + "snapshot " +
                folder + "first.png; " + hoverDot(1) + "snapshot " + folder + "second.png; click 2"),
            userCanceledErr);
  const std::vector<uint8_t> start = panelPixels(folder + "start.png"), empty = panelPixels(folder + "empty.png"),
                             first = panelPixels(folder + "first.png"), second = panelPixels(folder + "second.png");
  ASSERT_EQ(start.size(), 88u * 88u * 3u);
  EXPECT_NE(start, empty);  // the stored dot's picture, then the bare frame
  EXPECT_EQ(start, first);
  EXPECT_NE(first, second);
}

TEST_F(MemoryDotsDialog, AnUnwritableTemporaryFolderLeavesTheDialogWorking) {
  ScratchFolder gone(true);
  setenv("TMPDIR", (gone.path + "missing/").c_str(), 1);
  open(scene(300, 200));
  ASSERT_EQ(run("erase 86; type 86 20; wait 1000; " + clickDot(4) + clickDot(5, "right") + hoverDot(4) + "click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 20);
  for (int32_t slot = 0; slot < kMemoryDotCount; ++slot) EXPECT_EQ(state().memoryDots.display[slot], kDotEmpty);
}

}  // namespace
