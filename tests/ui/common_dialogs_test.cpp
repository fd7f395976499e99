#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "tests/isolated_temp.h"
#include "tests/ui/test_dialog.h"
#include "ui/canvas.h"

namespace {
const UiFileFilter presetFilters[] = {{"Tarve presets (*.q8r)", "*.q8r"}, {"All files (*.*)", "*.*"}};

std::string makeFile(const char* name) {
  const std::string path = isolatedTempFolder() + name;
  std::ofstream(path) << "x";
  return path;
}

struct Panel {
  std::vector<std::string> paths;
  UiChoice nested = UiChoice::chosen;
};

void drawPanel(Canvas* canvas, const UiRect& area, const char* path, void* context) {
  auto& panel = *static_cast<Panel*>(context);
  panel.paths.push_back(path);
  canvasFill(canvas, {area.left + 10, area.top + 10, 20, 20}, {200, 0, 0});
  // A file dialog asked for while one is open gets nothing, at once.
  std::string other;
  panel.nested = uiSaveFile({0, "Save", presetFilters, "q8r", "", ""}, other);
}
}  // namespace

TEST(FileDialogs, OnlyOneAtATimeAndThePanelIsDrawnForTheChosenFile) {
  headlessClear();
  const std::string preset = makeFile("calm.q8r");
  headlessQueue("file " + preset);
  Panel panel;
  UiOpenRequest request{0, "Open a settings file", presetFilters, "/tmp/", "Tarve settings.q8r"};
  request.previewWidth = 131;
  request.previewHeight = 130;
  request.drawPreview = drawPanel;
  request.previewContext = &panel;
  std::string path;
  EXPECT_EQ(uiOpenFile(request, path), UiChoice::chosen);
  EXPECT_EQ(path, preset);
  EXPECT_EQ(panel.paths, std::vector<std::string>{preset});
  EXPECT_EQ(panel.nested, UiChoice::busy);
  ASSERT_EQ(headlessFileRequests().size(), 1u);  // the refused one never opened
  EXPECT_EQ(headlessFileRequests()[0].title, "Open a settings file");
  EXPECT_EQ(headlessFileRequests()[0].proposedName, "Tarve settings.q8r");
  EXPECT_TRUE(headlessSavePreviewPanel((isolatedTempFolder() + "panel.png").c_str()));

  // Once it is closed the next one opens; a file that does not exist cannot be opened.
  headlessQueue("file " + isolatedTempFolder() + "missing.q8r;file " + preset);
  path.clear();
  EXPECT_EQ(uiOpenFile(request, path), UiChoice::cancelled);
  EXPECT_EQ(path, "");
  EXPECT_EQ(uiOpenFile(request, path), UiChoice::chosen);
}

TEST(FileDialogs, SaveAddsTheDefaultExtensionAndAsksBeforeOverwriting) {
  headlessClear();
  const std::string existing = makeFile("kept.q8r");
  const std::string folder = isolatedTempFolder();
  const UiSaveRequest request{0, "Save a settings file", presetFilters, "q8r", folder.c_str(), "Tarve settings.q8r"};
  std::string path;
  headlessQueue("file " + folder + "new;file " + folder + "kept;cancel;file " + existing + ";overwrite;cancel");
  EXPECT_EQ(uiSaveFile(request, path), UiChoice::chosen);
  EXPECT_EQ(path, folder + "new.q8r");
  path.clear();
  // kept.q8r exists: without a confirmation nothing is chosen.
  EXPECT_EQ(uiSaveFile(request, path), UiChoice::cancelled);
  EXPECT_EQ(path, "");
  EXPECT_EQ(uiSaveFile(request, path), UiChoice::cancelled);
  EXPECT_EQ(uiSaveFile(request, path), UiChoice::chosen);
  EXPECT_EQ(path, existing);
  EXPECT_EQ(uiSaveFile(request, path), UiChoice::cancelled);
}

TEST(ColourDialog, AChosenColourIsKeptAmongTheCustomColoursACancelledOneChangesNothing) {
  headlessClear();
  headlessQueue("colour 1 2 3;cancel;colour 300 20 -5");
  UiColour colour{9, 9, 9};
  EXPECT_EQ(uiChooseColour(0, colour), UiChoice::chosen);
  EXPECT_EQ(colour.red, 1);
  EXPECT_EQ(colour.blue, 3);
  EXPECT_EQ(uiChooseColour(0, colour), UiChoice::cancelled);
  EXPECT_EQ(colour.green, 2);
  EXPECT_EQ(uiChooseColour(0, colour), UiChoice::chosen);
  EXPECT_EQ(colour.red, 255);
  EXPECT_EQ(colour.blue, 0);
  const auto custom = uiCustomColours();
  EXPECT_EQ(custom[0].red, 1);
  EXPECT_EQ(custom[1].green, 20);
}
