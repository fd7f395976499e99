// The memory-dots page, made inside a run as the dialog makes it: each filled dot rendered
// over the whole image.
#include "host/memory_dots_gallery.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/host/host.h"
#include "files/file_io.h"
#include "host/render_job.h"
#include "host/settings_file.h"
#include "tests/host/gallery_test_support.h"
#include "tests/isolated_temp.h"
#include "tests/module_state.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {


HostImage scene(int32_t w, int32_t h) {
  HostImage image = makeHostImage(w, h, 8, 3, false);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t p = 0; p < 3; ++p) *image.at(x, y, p) = uint8_t((x * 7 + y * 3 + p * 90) % 256);
  return image;
}

Settings look(uint16_t red, int32_t glue) {
  Settings s{};
  applyDefaultSettings(s);
  s.waterColour = {red, 20000, 40000};
  s.glue = glue;
  s.brilliance = 20;
  return s;
}

// A run stopped inside Start, where the dialog would be.
struct DotsRun : testing::Test {
  Host host;
  ScratchFolder folder;
  int16_t result = 0;
  std::string page = folder.file("Tarve memory dots.html");

  void open(int32_t width, int32_t height) {
    hostOpen(host, PluginMain, scene(width, height));
    ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
    ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
    stateOf(host).result = &result;  // the pointer of the last call into the module is gone
    for (int32_t slot = 0; slot < kMemoryDotCount; ++slot) stateOf(host).memoryDots.display[slot] = kDotEmpty;
  }
  void fill(int32_t slot, const Settings& settings) {
    ASSERT_EQ(writeSettingsFile(memoryDotPath(slot).path, settings, nullptr), noErr);
    stateOf(host).memoryDots.display[slot] = kDotFilled;
  }
  void TearDown() override {
    hostCall(host, filterSelectorContinue);
    hostClose(host);
  }
};

// The mean difference over red, green and blue between a decoded picture and a raster.
double differenceTo(const DecodedJpeg& jpeg, const Raster& raster) {
  double sum = 0;
  for (int32_t y = 0; y < jpeg.height; ++y)
    for (int32_t x = 0; x < jpeg.width; ++x) {
      const PixelValue p = getPixel(x, y, raster, 0);
      const uint8_t* q = &jpeg.rgba[4 * (size_t(y) * size_t(jpeg.width) + size_t(x))];
      sum += std::abs(p.r - q[0]) + std::abs(p.g - q[1]) + std::abs(p.b - q[2]);
    }
  return sum / (3.0 * jpeg.width * jpeg.height);
}

}  // namespace

TEST(MemoryDotsGallery, ThumbnailsHaveTheAreasShapeWithTheLongerSideAt300) {
  const struct {
    int32_t w, h, thumbW, thumbH;
  } cases[] = {{1000, 500, 300, 150}, {100, 40, 300, 120}, {40, 100, 120, 300}, {300, 300, 300, 300},
               {30000, 7, 300, 1}, {1, 1, 300, 300}};
  for (const auto& c : cases) {
    const PixelSize size = dotThumbnailSize(c.w, c.h);
    EXPECT_EQ(size.width, c.thumbW) << c.w << " x " << c.h;
    EXPECT_EQ(size.height, c.thumbH) << c.w << " x " << c.h;
  }
}

TEST_F(DotsRun, EachFilledDotIsRenderedWithItsOwnSettingsAndTheDialogGetsItsOwnBack) {
  open(100, 40);
  const Settings first = look(60000, 1), third = look(2000, 13);
  fill(0, first);
  fill(2, third);
  stateOf(host).memoryDots.display[3] = kDotFilled;  // its file is gone: left out
  std::remove(memoryDotPath(3).path);
  ParameterBlock& block = *stateOf(host).parameters;
  block.settings.blur = 37;
  block.settings.centreX = 0.123456f;  // finer than a settings file keeps
  const Settings before = block.settings;
  const int32_t mode = block.renderMode;
  host.log.progress.clear();

  ASSERT_EQ(writeMemoryDotsPage(stateOf(host), page.c_str()), noErr);
  EXPECT_EQ(std::memcmp(&block.settings, &before, sizeof before), 0);
  EXPECT_EQ(block.renderMode, mode);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(readWholeFile(memoryDotPath(kScratchDotSlot).path).empty());
  EXPECT_FALSE(host.log.progress.empty());
  EXPECT_EQ(host.log.progress.back(), std::make_pair(3, 3));

  const std::string text = pageText(page);
  EXPECT_EQ(gridOf(text), "TTEERS");
  EXPECT_NE(text.find("<title>Tarve memory dots</title>"), std::string::npos);
  EXPECT_NE(text.find("<b>Tarve memory dots <br>"), std::string::npos);
  EXPECT_EQ(countOf(text, "src=\"web_images/dot%201.jpg\" alt=\"dot 1.jpg\" width=\"300\" height=\"120\""), 1);
  EXPECT_EQ(countOf(text, "src=\"web_images/dot%203.jpg\" alt=\"dot 3.jpg\" width=\"300\" height=\"120\""), 1);
  EXPECT_EQ(countOf(text, "<table id=\"Table_01\" width=\"306\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" height=\"127\">"), 2);
  EXPECT_EQ(countOf(text, "<img src=\"web_images/top.gif\" width=\"306\" height=\"2\" border=\"0\">"), 2);
  EXPECT_EQ(countOf(text, ">dot 3</font>"), 1);
  EXPECT_EQ(text.find("dot 4"), std::string::npos);

  // Each picture is its dot's look, rendered over the whole image.
  const DecodedJpeg dot1 = decodeJpegFile(folder.file("web_images/dot 1.jpg"));
  const DecodedJpeg dot3 = decodeJpegFile(folder.file("web_images/dot 3.jpg"));
  ASSERT_EQ(dot1.width, 300);
  ASSERT_EQ(dot1.height, 120);
  ASSERT_FALSE(dot1.rgba.empty());
  ASSERT_FALSE(dot3.rgba.empty());
  Raster expected{};
  ASSERT_TRUE(createRaster(expected, 300, 120, kFormatRgba8, kEdgeClamp, false));
  bool cancelled = false;
  block.settings = first;
  renderToRaster(stateOf(host), &expected, cancelled);
  block.settings = before;
  EXPECT_LT(differenceTo(dot1, expected), 3.0);
  EXPECT_GT(differenceTo(dot3, expected), 10.0);
  releaseRaster(expected);
}

TEST_F(DotsRun, WithoutFilledDotsThePageHoldsAnEmptyTable) {
  open(64, 48);
  ASSERT_EQ(writeMemoryDotsPage(stateOf(host), page.c_str()), noErr);
  const std::string text = pageText(page);
  EXPECT_NE(text.find("cellpadding=\"0\" align=\"center\"></table><br>\r\n</body></html>"), std::string::npos);
  EXPECT_EQ(gridOf(text), "");
}

TEST_F(DotsRun, AnAbortSkipsTheRemainingDotsAndStillFinishesThePage) {
  open(64, 480);
  for (int32_t slot : {4, 9, 24}) fill(slot, look(uint16_t(slot * 2000), 1));
  const Settings before = stateOf(host).parameters->settings;
  host.switches.abortAtPoll = host.log.abortPolls + 1;
  ASSERT_EQ(writeMemoryDotsPage(stateOf(host), page.c_str()), noErr);
  const std::string text = pageText(page);
  EXPECT_EQ(gridOf(text), "");
  EXPECT_EQ(text.substr(text.size() - 14), "</body></html>");
  EXPECT_EQ(result, 0) << "stopping the page does not stop the run";
  EXPECT_EQ(std::memcmp(&stateOf(host).parameters->settings, &before, sizeof before), 0);
  host.switches.abortAtPoll = -1;
}

TEST_F(DotsRun, APageThatCannotBeOpenedRendersNothing) {
  open(64, 48);
  fill(0, look(100, 1));
  host.log.progress.clear();
  EXPECT_EQ(writeMemoryDotsPage(stateOf(host), folder.file("missing/dots.html").c_str()), kErrCannotOpen);
  EXPECT_TRUE(host.log.progress.empty());
}

// The image under the water is the image itself at the picture's size, whatever the glue
// mode makes of it: the picture reduced to the image's size matches a render at that size.
TEST_F(DotsRun, ADotsPictureIsTheFiltersResultAtAnotherSize) {
  open(100, 40);
  for (int32_t glue : {9, 12, 30}) {
    const Settings dot = look(30000, glue);
    fill(0, dot);
    ASSERT_EQ(writeMemoryDotsPage(stateOf(host), page.c_str()), noErr);
    const DecodedJpeg picture = decodeJpegFile(folder.file("web_images/dot 1.jpg"));
    ASSERT_EQ(picture.rgba.size(), 300u * 120u * 4u);

    ParameterBlock& block = *stateOf(host).parameters;
    const Settings before = block.settings;
    block.settings = dot;
    Raster own{};
    ASSERT_TRUE(createRaster(own, 100, 40, kFormatRgba8, kEdgeClamp, false));
    bool cancelled = false;
    renderToRaster(stateOf(host), &own, cancelled);
    block.settings = before;
    double sum = 0;
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 100; ++x) {
        const PixelValue p = getPixel(x, y, own, 0);
        const float expected[3] = {p.r, p.g, p.b};
        for (int c = 0; c < 3; ++c) {
          double block3 = 0;
          for (int32_t dy = 0; dy < 3; ++dy)
            for (int32_t dx = 0; dx < 3; ++dx) block3 += picture.rgba[4 * (size_t(3 * y + dy) * 300 + size_t(3 * x + dx)) + size_t(c)];
          sum += std::abs(block3 / 9.0 - expected[c]);
        }
      }
    EXPECT_LT(sum / (100.0 * 40.0 * 3.0), 15.0) << "glue " << glue;
    releaseRaster(own);
  }
}
