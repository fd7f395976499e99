// Both gallery pages as other programs read them: tidy checks the markup against HTML 4.01
// Transitional, Pillow opens every picture, exiftool reads the thumbnails' metadata.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <set>
#include <sstream>

#include "app/host/host.h"
#include "host/memory_dots_gallery.h"
#include "host/presets_gallery.h"
#include "host/settings_file.h"
#include "tests/files/thumbnail_test_support.h"
#include "tests/host/gallery_test_support.h"
#include "tests/isolated_temp.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

bool haveProgram(const std::string& command) { return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0; }

int exitStatus(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

// The kinds of warning the page format's own markup gives: frame pictures without alt
// texts, layout tables without summaries and with a height, the one id every frame table
// has, and the empty paragraphs of the empty cells.
const std::set<std::string> kExpectedWarnings = {
    "Warning: <img> lacks \"alt\" attribute",
    "Warning: <table> lacks \"summary\" attribute",
    "Warning: <table> proprietary attribute \"height\"",
    "Warning: <table> anchor \"Table_01\" already defined",
    "Warning: trimming empty <p>",
    "Warning: trimming empty <font>",
    "Warning: trimming empty <b>",
};

void expectReadersAccept(const std::string& page, bool exactThumbnails) {
  if (!haveProgram("tidy") || !haveProgram("exiftool") || exitStatus("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
    GTEST_SKIP() << "tidy, exiftool or Pillow is not installed";
  const std::string report = page + ".tidy";
  EXPECT_LT(exitStatus("tidy -q -e '" + page + "' 2> '" + report + "'"), 2) << pageText(report);
  std::istringstream lines(pageText(report));
  for (std::string line; std::getline(lines, line);) {
    const size_t dash = line.find(" - ");
    EXPECT_EQ(kExpectedWarnings.count(dash == std::string::npos ? line : line.substr(dash + 3)), 1u) << line;
  }
  const std::string check = "/usr/bin/python3 " TARVE_SOURCE_DIR "/tests/host/check_gallery_page.py '" + page + "'" +
                            (exactThumbnails ? " --exact-thumbnails" : "") + " > '" + page + ".check'";
  EXPECT_EQ(exitStatus(check), 0) << pageText(page + ".check");
}

}  // namespace

TEST(GalleryReaders, AcceptThePresetsPage) {
  ScratchFolder folder;
  const std::string presets = folder.file("presets & more");
  mkdir(presets.c_str(), 0755);
  Settings settings{};
  applyDefaultSettings(settings);
  TestThumbnail thumbnail;
  paintPattern(thumbnail.raster);
  for (const char* name : {"calm.q8r", "Sj\xC3\xB6.q8r", "<b>bold.Q8R", "x.q8r.bak", "a:b.q8r", "six.q8r", "seven.q8r"})
    ASSERT_EQ(writeSettingsFile((presets + "/" + name).c_str(), settings, &thumbnail.raster), noErr);
  ASSERT_EQ(writeSettingsFile((presets + "/bare.q8r").c_str(), settings, nullptr), noErr);
  const std::string page = folder.file("Tarve presets.html");
  ASSERT_EQ(writePresetsPage(presets.c_str(), page.c_str()), noErr);
  expectReadersAccept(page, false);
}

TEST(GalleryReaders, AcceptTheMemoryDotsPage) {
  Host host;
  hostOpen(host, PluginMain, makeHostImage(90, 60, 8, 3, false));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  PluginState& state = *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data));
  int16_t result = 0;
  state.result = &result;
  for (int16_t& display : state.memoryDots.display) display = kDotEmpty;
  for (int32_t slot : {0, 1, 2, 3, 4, 11}) {
    ASSERT_EQ(writeSettingsFile(memoryDotPath(slot).path, state.parameters->settings, nullptr), noErr);
    state.memoryDots.display[slot] = kDotFilled;
  }
  ScratchFolder folder;
  const std::string page = folder.file("Tarve memory dots.html");
  ASSERT_EQ(writeMemoryDotsPage(state, page.c_str()), noErr);
  hostCall(host, filterSelectorContinue);
  hostClose(host);
  expectReadersAccept(page, true);
}
