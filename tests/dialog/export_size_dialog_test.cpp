// The export size dialog, the progress window and the export they lead to, as a user meets
// them on the headless window layer.
#include "dialog/export_size_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "app/host/host.h"
#include "dialog/progress_window.h"
#include "dialog/psd_export.h"
#include "tests/files/scratch_folder.h"
#include "tests/isolated_temp.h"
#include "ui/headless/headless.h"
#include "ui/window.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

// The dialog's fields without a run of the filter: a block and an image size.
struct SizeOnly {
  FilterRecord record{};
  ParameterBlock block{};
  PluginState state{};
  SizeOnly(int32_t width, int32_t height, int32_t mode, int32_t storedWidth, int32_t storedHeight) {
    state.filterRecord = &record;
    state.parameters = &block;
    state.imageWidth = width;
    state.imageHeight = height;
    block.exportSizeMode = mode;
    block.exportWidth = storedWidth;
    block.exportHeight = storedHeight;
  }
  // The user's actions in the size dialog; OK leads to the save dialog, which is cancelled.
  bool run(const std::string& actions) {
    headlessClear();
    headlessQueue(actions + "; cancel");
    return askExportSize(state, 0);
  }
};

std::vector<std::string> shownNames() {
  std::vector<std::string> names;
  for (const HeadlessShown& shown : headlessShownDialogs()) names.push_back(shown.name);
  return names;
}

}  // namespace

TEST(ExportSizeDialog, OpensOnTheImageSizeUnlessTheCustomSizeIsChosen) {
  SizeOnly mode2(1000, 600, 2, 50, 40);
  EXPECT_TRUE(mode2.run("click 1"));
  EXPECT_EQ(mode2.block.exportWidth, 1000);
  EXPECT_EQ(mode2.block.exportHeight, 600);
  EXPECT_EQ(mode2.block.exportSizeMode, 2);
  EXPECT_EQ(headlessShownDialogs().at(0).title, "Export PSD image");
  EXPECT_EQ(headlessFileRequests().at(0).title, "Save a PSD file");
  EXPECT_EQ(headlessFileRequests().at(0).proposedName, "Tarve result.psd");

  SizeOnly mode3(1000, 600, 3, 50, 40);
  EXPECT_TRUE(mode3.run("click 1"));
  EXPECT_EQ(mode3.block.exportWidth, 50);
  EXPECT_EQ(mode3.block.exportHeight, 40);

  // Cancel and closing change nothing and lead to no save dialog.
  for (const char* leave : {"click 2", "close", "key escape"}) {
    SizeOnly d(1000, 600, 3, 50, 40);
    EXPECT_FALSE(d.run(std::string("click 10; ") + leave)) << leave;
    EXPECT_EQ(d.block.exportWidth, 50);
    EXPECT_EQ(d.block.exportSizeMode, 3);
    EXPECT_TRUE(headlessFileRequests().empty()) << leave;
  }
}

TEST(ExportSizeDialog, ProportionsFollowTheFieldBeingTyped) {
  SizeOnly d(1000, 600, 1, 0, 0);
  EXPECT_TRUE(d.run("click 11; focus 3; erase 3; type 3 500; click 1"));
  EXPECT_EQ(d.block.exportWidth, 500);
  EXPECT_EQ(d.block.exportHeight, 300);
  EXPECT_EQ(d.block.exportSizeMode, 2);

  EXPECT_TRUE(d.run("click 11; focus 4; erase 4; type 4 150; click 1"));
  EXPECT_EQ(d.block.exportWidth, 250);
  EXPECT_EQ(d.block.exportHeight, 150);

  // The proportions button keeps the width field and sets the height from it.
  SizeOnly custom(1000, 600, 3, 200, 900);
  EXPECT_TRUE(custom.run("click 11; click 1"));
  EXPECT_EQ(custom.block.exportWidth, 200);
  EXPECT_EQ(custom.block.exportHeight, 120);

  // Typing while "Same size as input" is chosen makes the size a custom one; the dialog's own
  // rewriting of the fields does not.
  SizeOnly same(1000, 600, 1, 0, 0);
  EXPECT_TRUE(same.run("click 10; focus 4; type 4 1; click 1"));
  EXPECT_EQ(same.block.exportSizeMode, 3);
  EXPECT_EQ(same.block.exportWidth, 1000);
  EXPECT_EQ(same.block.exportHeight, 6001);
  EXPECT_TRUE(same.run("click 11; click 10; click 1"));
  EXPECT_EQ(same.block.exportSizeMode, 1);
}

TEST(ExportSizeDialog, SidesAreReadLikeNumbersAndClamped) {
  SizeOnly d(1000, 600, 3, 100, 100);
  EXPECT_TRUE(d.run("focus 3; erase 3; type 3 1; focus 4; erase 4; type 4 40000; click 1"));
  EXPECT_EQ(d.block.exportWidth, 2);
  EXPECT_EQ(d.block.exportHeight, 30000);

  struct Case {
    const char* text;
    int32_t side;
  } cases[] = {{"", 2},        {"640", 640},   {"6 4 0 px", 640}, {"-50", 2},
               {"+700", 700},  {"12.5", 125},  {"99999999999999999999", 30000}, {"+-", 2}};
  for (const Case& c : cases) EXPECT_EQ(exportSideFromText(c.text), c.side) << '"' << c.text << '"';
}

TEST(ProgressWindow, ShowsThePercentageAcrossPassesAndCancelling) {
  headlessClear();
  headlessQueue("wait 1000");
  PluginState state{};
  struct Seen {
    std::string half, later, cancelling;
    bool cancelled = false;
    bool open = false;
  } seen;
  const OSErr result = runProgressWindow(
      state, ProgressTitle::psdFile,
      [](PluginState& s, void* context) {
        Seen& seen = *static_cast<Seen*>(context);
        ProgressWindow& w = *s.progressWindow;
        seen.open = true;
        showProgress(w, 50, 100, 0, 1);
        seen.half = uiControlText(w.dialog, 2);
        showProgress(w, 50, 100, 1, 2);
        seen.later = uiControlText(w.dialog, 2);
        cancelProgress(w);
        seen.cancelling = uiControlText(w.dialog, 2);
        seen.cancelled = w.cancelled;
        return OSErr(-20);
      },
      &seen);
  EXPECT_EQ(result, -20);
  EXPECT_TRUE(seen.open);
  EXPECT_EQ(seen.half, "50%");
  EXPECT_EQ(seen.later, "75%");
  EXPECT_EQ(seen.cancelling, "Cancelling...");
  EXPECT_TRUE(seen.cancelled);
  EXPECT_EQ(state.progressWindow, nullptr);
  EXPECT_EQ(shownNames(), std::vector<std::string>{"MONDO_PROGRESS"});
  EXPECT_EQ(headlessShownDialogs()[0].title, "PSD file progress");

  // Closed before its timer fires, the window runs nothing.
  headlessClear();
  headlessQueue("close");
  seen.open = false;
  EXPECT_EQ(runProgressWindow(state, ProgressTitle::psdFile,
                              [](PluginState&, void* c) { return static_cast<Seen*>(c)->open = true, OSErr(0); }, &seen),
            kErrCancelled);
  EXPECT_FALSE(seen.open);
}

// Closing the window or pressing Escape while the work runs asks it to stop; the work
// decides when, and the window ends with the work's own result.
TEST(ProgressWindow, ClosingItDuringTheWorkCancels) {
  for (const char* leave : {"close", "key escape"}) {
    headlessClear();
    headlessQueue(std::string("wait 1000; busy ") + leave);
    PluginState state{};
    struct Seen {
      bool before = true, after = false;
      std::string text, later;
    } seen;
    const OSErr result = runProgressWindow(
        state, ProgressTitle::webPage,
        [](PluginState& s, void* context) {
          Seen& seen = *static_cast<Seen*>(context);
          ProgressWindow& w = *s.progressWindow;
          seen.before = w.cancelled;
          seen.after = progressStopWanted(w);
          seen.text = uiControlText(w.dialog, 2);
          showProgress(w, 60, 100, 0, 1);
          seen.later = uiControlText(w.dialog, 2);
          return OSErr(0);
        },
        &seen);
    EXPECT_EQ(result, noErr) << leave;
    EXPECT_FALSE(seen.before) << leave;
    EXPECT_TRUE(seen.after) << leave;
    EXPECT_EQ(seen.text, "Cancelling...") << leave;
    EXPECT_EQ(seen.later, "Cancelling...") << "a later percentage does not hide it";
    ASSERT_EQ(headlessShownDialogs().size(), 1u);
    EXPECT_EQ(headlessShownDialogs()[0].title, "Web page progress");
    EXPECT_EQ(headlessShownDialogs()[0].endCode, 1);
  }
}

// From the button to the file: the size, the save dialog in the remembered folder, the
// render with progress; a file that cannot be written is explained.
TEST(PsdExportCommand, WritesTheFileOrSaysWhyNot) {
  Host host;
  HostImage image = makeHostImage(40, 30, 16, 3, true);
  hostOpen(host, PluginMain, std::move(image));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  PluginState& state = *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data));
  int16_t result = 0;
  state.result = &result;
  ScratchFolder folder;

  headlessClear();
  headlessQueue("click 12; focus 3; erase 3; type 3 20; focus 4; erase 4; type 4 15; click 1; file " +
                folder.file("lake") + "; wait 1000");
  EXPECT_TRUE(askExportSize(state, 0));
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"EXPORT_SIZE", "MONDO_PROGRESS"}));
  const std::vector<uint8_t> file = readWholeFile(folder.file("lake.psd"));
  ExportDescriptor d{20, 15, 6, 2, -1};
  PsdMetadata none{};
  EXPECT_EQ(int64_t(file.size()), psdFileSize(d, none));
  EXPECT_EQ(std::string(state.parameters->exportFolder), folder.path);

  // The next save dialog starts in that folder; a folder that cannot be written is said so.
  headlessClear();
  headlessQueue("click 1; file " + folder.file("gone/x.psd") + "; wait 1000");
  EXPECT_TRUE(askExportSize(state, 0));
  EXPECT_EQ(headlessFileRequests().at(0).folder, folder.path);
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"EXPORT_SIZE", "MONDO_PROGRESS", "PSDFAILED"}));

  // Cancelling the save dialog writes nothing and shows no progress.
  headlessClear();
  headlessQueue("click 1; cancel");
  EXPECT_EQ(exportPsdCommand(state, 0), kErrCancelled);
  EXPECT_TRUE(headlessShownDialogs().empty());
  hostCall(host, filterSelectorContinue);
  hostClose(host);
}

// Closing the progress window stops the render within a few dozen rows; the file is still
// whole, with the rows rendered before, and the command says the user cancelled.
TEST(PsdExportCommand, ClosingTheProgressWindowStopsTheRender) {
  Host host;
  HostImage image = makeHostImage(50, 400, 8, 3, false);
  for (int32_t y = 0; y < 400; ++y)
    for (int32_t x = 0; x < 50; ++x) *image.at(x, y, 0) = uint8_t(x * 5), *image.at(x, y, 1) = uint8_t(y / 2);
  hostOpen(host, PluginMain, std::move(image));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  PluginState& state = *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data));
  int16_t result = 0;
  state.result = &result;
  state.parameters->exportWidth = 50;
  state.parameters->exportHeight = 400;
  ScratchFolder folder;

  headlessClear();
  headlessQueue("file " + folder.file("whole.psd") + "; wait 1000");
  ASSERT_EQ(exportPsdCommand(state, 0), noErr);
  headlessClear();
  headlessQueue("file " + folder.file("stopped.psd") + "; wait 1000; busy close");
  EXPECT_EQ(exportPsdCommand(state, 0), kErrCancelled);

  const std::vector<uint8_t> whole = readWholeFile(folder.file("whole.psd"));
  const std::vector<uint8_t> stopped = readWholeFile(folder.file("stopped.psd"));
  ASSERT_EQ(whole.size(), stopped.size());
  // The green channel (the rows' own shade, mirrored in the water): its first row was
  // rendered in both files, its last rows only in one.
  const size_t plane = 50 * 400 + 2;
  const size_t green = whole.size() - 2 - 3 * (plane - 2) - 4 - plane - (plane - 2);
  EXPECT_TRUE(std::equal(whole.begin() + ptrdiff_t(green), whole.begin() + ptrdiff_t(green + 50),
                         stopped.begin() + ptrdiff_t(green)));
  EXPECT_FALSE(std::equal(whole.begin() + ptrdiff_t(green + 50 * 360), whole.begin() + ptrdiff_t(green + 50 * 400),
                          stopped.begin() + ptrdiff_t(green + 50 * 360)));
  hostCall(host, filterSelectorContinue);
  hostClose(host);
}

// The main dialog's export button leads through the size and the save dialogs to the file,
// and the dialog goes on afterwards.
TEST(PsdExportCommand, TheMainDialogsButtonExports) {
  Host host;
  hostOpen(host, PluginMain, makeHostImage(60, 40, 8, 3, false));
  ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  ScratchFolder folder;
  headlessClear();
  headlessQueue("click 69; click 1; file " + folder.file("from dialog.psd") + "; wait 1000; click 3");
  EXPECT_EQ(hostRunFilter(host, true), 0);
  // Recorded as each ends.
  EXPECT_EQ(shownNames(), (std::vector<std::string>{"EXPORT_SIZE", "MONDO_PROGRESS", "TARVE"}));
  ExportDescriptor d{60, 40, 6, 1, -1};
  PsdMetadata none{};
  const std::vector<uint8_t> file = readWholeFile(folder.file("from dialog.psd"));
  ASSERT_EQ(int64_t(file.size()), psdFileSize(d, none));
  // The layer shows the opaque image: its transparency channel is full.
  const size_t resources = 30;
  const size_t layerPixels = resources + 4 + (size_t(file[30]) << 24 | size_t(file[31]) << 16 | size_t(file[32]) << 8 | file[33]) +
                             4 + 4 + 2 + 114 + 2;
  for (size_t i = 0; i < 60 * 40; i += 97) ASSERT_EQ(file.at(layerPixels + i), 255) << i;
  hostClose(host);
}
