// The module's PSD export: the document's depth, the render at the chosen size and what the
// host supplies (profile, abort) reaching the file.
#include "dialog/psd_export.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/host/host.h"
#include "render/glue_names.h"
#include "tests/files/scratch_folder.h"
#include "tests/isolated_temp.h"
#include "tests/module_state.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {


uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 | b.at(at + 3);
}

// Where the layer's first channel (transparency) begins, in an 8-bit document.
size_t layerPixelsAt(const std::vector<uint8_t>& file) {
  const size_t resources = 30;
  const size_t layerSection = resources + 4 + bigEndian32(file, resources);
  return layerSection + 4 + 4 + 2 + 114 + 2;
}

struct Exporting : testing::Test {
  Host host;
  ScratchFolder scratch;
  int16_t result = 0;

  void TearDown() override { hostClose(host); }
  PluginState& start(HostImage image, HostSwitches switches = {}) {
    host.switches = switches;
    hostOpen(host, PluginMain, std::move(image));
    EXPECT_EQ(hostCall(host, filterSelectorPrepare), 0);
    EXPECT_EQ(hostCall(host, filterSelectorStart), 0);
    PluginState& state = stateOf(host);
    state.result = &result;  // the pointer of the last call into the module is gone
    return state;
  }
};

// Sky above the water line: a colour that changes across and down, with partial transparency.
HostImage sky(int32_t width, int32_t height) {
  HostImage image = makeHostImage(width, height, 8, 3, true);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      *image.at(x, y, 0) = uint8_t(40 + x % 100);
      *image.at(x, y, 1) = uint8_t(90 + y % 100);
      *image.at(x, y, 2) = 200;
      *image.at(x, y, 3) = uint8_t(x < width / 2 ? 255 : 128);
    }
  return image;
}

}  // namespace

TEST(ExportDepth, FollowsTheHostsModeAndDepth) {
  struct Case {
    int16_t mode;
    int32_t depth;
    uint8_t bytes;
  } cases[] = {
      {plugInModeGrayScale, 8, 1}, {plugInModeRGBColor, 8, 1}, {plugInModeRGBColor, 1, 1},
      {plugInModeGray16, 16, 2},   {plugInModeRGB48, 16, 2},   {plugInModeRGB48, 8, 1},
      {plugInModeGray32, 32, 4},   {plugInModeRGB96, 32, 4},   {plugInModeRGBColor, 32, 4},
      {plugInModeCMYKColor, 8, 1}, {plugInModeRGBColor, 16, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(exportBytesPerChannel(c.mode, c.depth), c.bytes) << "mode " << c.mode << " depth " << c.depth;
}

// The top row lies above the water line, so the layer shows the image there: at the image's
// own size exactly, at half size scaled. Each export reads the host's profile and glue mode.
TEST_F(Exporting, TheLayerHoldsTheImageAtAnySize) {
  PluginState& state = start(sky(64, 48));
  state.parameters->settings.glue = kGlueNormal;
  FilterRecord& r = host.record;
  const char profile[] = "a profile";
  r.iCCprofileData = r.handleProcs->newProc(sizeof profile);
  std::memcpy(*r.iCCprofileData, profile, sizeof profile);
  r.iCCprofileSize = sizeof profile;
  r.canUseICCProfiles = 1;

  for (int32_t width : {64, 32}) {
    const int32_t height = width * 48 / 64;
    ExportDescriptor d{width, height, 6, 1, -1};
    bool cancelled = false;
    const std::string path = scratch.file("export" + std::to_string(width) + ".psd");
    ASSERT_EQ(writePsdExport(state, path.c_str(), d, cancelled), noErr);
    EXPECT_FALSE(cancelled);
    const std::vector<uint8_t> file = readWholeFile(path);
    const std::string text(file.begin(), file.end());
    EXPECT_NE(text.find(std::string("\x04\x0F\0\0", 4) + std::string("\0\0\0\x0A", 4) + "a profile"), std::string::npos)
        << "resource 1039 with the host's profile";

    const size_t plane = size_t(width) * height + 2;
    const size_t alpha = layerPixelsAt(file), red = alpha + plane, green = red + plane;
    for (int32_t x = 0; x < width; x += 5) {
      const int32_t sourceX = x * 64 / width;
      EXPECT_NEAR(file.at(red + size_t(x)), 40 + sourceX, width == 64 ? 0 : 3) << "x " << x;
      EXPECT_NEAR(file.at(green + size_t(x)), 90, width == 64 ? 0 : 2) << "x " << x;
    }
    EXPECT_EQ(file.at(alpha), 255);
    EXPECT_NEAR(file.at(alpha + size_t(width) - 1), 128, 1);
  }

  // Another glue mode goes into the keywords.
  state.parameters->settings.glue = kGlueScreen;
  ExportDescriptor d{8, 6, 6, 1, -1};
  bool cancelled = false;
  const std::string path = scratch.file("screen.psd");
  ASSERT_EQ(writePsdExport(state, path.c_str(), d, cancelled), noErr);
  const std::vector<uint8_t> file = readWholeFile(path);
  EXPECT_NE(std::string(file.begin(), file.end()).find(std::string("\x1C\x02\x19\0\x06screen", 10)), std::string::npos);
  r.handleProcs->disposeProc(r.iCCprofileData);
  r.iCCprofileData = nullptr;
  hostCall(host, filterSelectorContinue);
}

// An abort from the host during the render ends it early, and the file is still whole.
TEST_F(Exporting, ACancelledRenderStillMakesAWholeFile) {
  HostSwitches switches;
  PluginState& state = start(sky(40, 300), switches);
  host.switches.abortAtPoll = host.log.abortPolls + 1;
  ExportDescriptor d{40, 300, 6, 2, -1};
  bool cancelled = false;
  const std::string path = scratch.file("cancelled.psd");
  EXPECT_EQ(writePsdExport(state, path.c_str(), d, cancelled), noErr);
  EXPECT_TRUE(cancelled);
  PsdMetadata none{};
  clearKeywords(none.keywords);
  EXPECT_EQ(int64_t(readWholeFile(path).size()), psdFileSize(d, none));
  host.switches.abortAtPoll = -1;
  hostCall(host, filterSelectorContinue);
}

void* refuse(size_t) { return nullptr; }

// A document the format cannot hold is refused before any memory is taken; a raster that
// cannot be had ends the export before anything is written.
TEST_F(Exporting, RefusalsWriteNothing) {
  PluginState& state = start(sky(16, 16));
  const std::string path = scratch.file("none.psd");
  writeWholeFile(path, {1, 2, 3});
  bool cancelled = false;
  ExportDescriptor huge{30000, 30000, 4, 4, -1};
  EXPECT_EQ(writePsdExport(state, path.c_str(), huge, cancelled), kErrTooLarge);

  host.allocationsRemaining = 0;
  void* (*saved)(size_t) = systemAllocate;
  systemAllocate = refuse;
  ExportDescriptor d{16, 16, 6, 1, -1};
  const OSErr code = writePsdExport(state, path.c_str(), d, cancelled);
  systemAllocate = saved;
  EXPECT_EQ(code, kErrNoMemory);
  EXPECT_EQ(readWholeFile(path), (std::vector<uint8_t>{1, 2, 3}));
  host.allocationsRemaining = -1;
  hostCall(host, filterSelectorContinue);
}
