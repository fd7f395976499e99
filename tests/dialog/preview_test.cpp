// The preview: its view arithmetic, and real previews rendered by the module for the host.
#include "dialog/preview.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/host/host.h"
#include "files/memory_dot_store.h"
#include "tests/isolated_temp.h"
#include "tests/module_state.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

TEST(PreviewGeometry, ZoomKeepsTheCentreAndThePanStaysInsideOnWholeSteps) {
  const int32_t W = 4000, H = 3000;
  char text[8];
  const char* texts[] = {"100%", "50%", "33%", "25%"};
  for (int32_t d = 1; d <= 4; ++d) {
    zoomText(d, text);
    EXPECT_STREQ(text, texts[d - 1]);
  }
  // Every step from a view that fills the area keeps its centre within one preview pixel.
  PixelPoint pan{1503, 997};
  for (int32_t d = 8; d >= 1; --d) {
    const int32_t old = d + 1;
    pan = clampPan(pan, W, H, old);
    const PixelPoint next = zoomedPan(pan, W, H, old, d);
    const double oldCentreX = pan.x + visibleWidth(W, old) * old / 2.0;
    const double newCentreX = next.x + visibleWidth(W, d) * d / 2.0;
    const double oldCentreY = pan.y + visibleHeight(H, old) * old / 2.0;
    const double newCentreY = next.y + visibleHeight(H, d) * d / 2.0;
    EXPECT_LE(std::abs(oldCentreX - newCentreX), d + 1) << d;
    EXPECT_LE(std::abs(oldCentreY - newCentreY), d + 1) << d;
    EXPECT_EQ(next.x % d, 0);
    EXPECT_EQ(next.y % d, 0);
    pan = next;
  }
  // Past the edges the view stops where the reduced image still fills the area.
  EXPECT_EQ(clampPan({-40, -7}, W, H, 2).x, 0);
  EXPECT_EQ(clampPan({-40, -7}, W, H, 2).y, 0);
  EXPECT_EQ(clampPan({99999, 99999}, W, H, 2).x, (2000 - 499) * 2);
  EXPECT_EQ(clampPan({99999, 99999}, W, H, 2).y, (1500 - 384) * 2);
  // An image smaller than the area has nowhere to pan.
  EXPECT_EQ(clampPan({50, 50}, 300, 200, 1).x, 0);
  EXPECT_EQ(clampPan({50, 50}, 300, 200, 1).y, 0);
}

TEST(PreviewGeometry, TheCentreIsTheImagePointUnderTheClickAndMayLieOutside) {
  ParameterBlock block{};
  // A 300 x 200 image at 100 % sits centred in the 499 x 384 area.
  const PixelPoint corner = pictureCorner(300, 200);
  EXPECT_EQ(corner.x, 366 + 99);
  EXPECT_EQ(corner.y, 92);
  pickCentre(block, corner.x + 150, corner.y + 50, corner, 1, 300, 200);
  EXPECT_EQ(block.centrePixel.x, 150);
  EXPECT_EQ(block.centrePixel.y, 50);
  EXPECT_FLOAT_EQ(block.settings.centreX, 0.5f);
  EXPECT_FLOAT_EQ(block.settings.centreY, 0.25f);
  // In the white surround: no clamping.
  pickCentre(block, corner.x - 30, corner.y + 260, corner, 1, 300, 200);
  EXPECT_LT(block.settings.centreX, 0.0f);
  EXPECT_GT(block.settings.centreY, 1.0f);
  // A zoomed, panned view counts reduced pixels from the pan offset.
  block.panOffset = {600, 300};
  pickCentre(block, 366 + 10, 20, pictureCorner(499, 384), 3, 4000, 3000);
  EXPECT_EQ(block.centrePixel.x, 630);
  EXPECT_EQ(block.centrePixel.y, 360);
  EXPECT_FLOAT_EQ(block.settings.centreX, 630.0f / 4000.0f);
}

TEST(PreviewDisplay, DeepSamplesReduceToEightBits) {
  EXPECT_EQ(displaySample16(32768), 255);
  EXPECT_EQ(displaySample16(65535), 255);
  EXPECT_EQ(displaySample16(32767), 255);
  EXPECT_EQ(displaySample16(16384), 128);
  EXPECT_EQ(displaySample16(127), 0);
  EXPECT_EQ(displaySampleFloat(1.0f), 255);
  EXPECT_EQ(displaySampleFloat(7.5f), 255);
  EXPECT_EQ(displaySampleFloat(0.5f), 127);
  EXPECT_EQ(displaySampleFloat(-0.25f), 0);
  EXPECT_EQ(displaySampleFloat(std::nanf("")), 0);
}

// ---- previews rendered by the module ----------------------------------------------------


HostImage scene(int32_t w, int32_t h, int32_t depth, int32_t planes) {
  HostImage image = makeHostImage(w, h, depth, planes, false);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t p = 0; p < planes; ++p) {
        const int32_t v = (x * 3 + y * 7 + p * 60 + ((x / 16 + y / 16) % 2) * 90) % 256;
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = static_cast<uint8_t>(v);
        if (depth == 16) *reinterpret_cast<uint16_t*>(s) = static_cast<uint16_t>(v * 128);
        if (depth == 32) *reinterpret_cast<float*>(s) = v / 255.0f;
      }
  return image;
}

// A host between Start and the first row of the final render, with the dialog's preview
// set up as the dialog sets it up.
struct Previewing : testing::Test {
  Host host;
  int16_t result = 0;
  // Start would take the last-used settings of another test.
  void SetUp() override { std::remove(cachedSettingsPath().path); }
  void open(HostImage image, HostSwitches switches = {}) {
    host.switches = switches;
    hostOpen(host, PluginMain, std::move(image));
    ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
    ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
    PluginState& state = stateOf(host);
    state.result = &result;  // the pointer of the last call into the module is gone
    state.parameters->renderMode = kRenderDialog;
    state.parameters->hostPreviewUsable = host.record.advanceState && host.record.displayPixels;
  }
  // The run never reaches its last row, which would give the working memory back.
  void TearDown() override {
    if (host.data) finishRun(state());
    hostClose(host);
  }
  PluginState& state() { return stateOf(host); }
  // A sample of the module's output buffer for the view.
  uint8_t out(int32_t x, int32_t y, int32_t plane) {
    const FilterRecord& r = host.record;
    const int32_t planes = r.outHiPlane - r.outLoPlane + 1;
    return static_cast<const uint8_t*>(r.outData)[y * r.outRowBytes + x * planes + plane];
  }
};

bool guideColour(uint8_t r, uint8_t g, uint8_t b) {
  return (r == 0 && g == 255 && b == 0) || (r == 255 && g == 0 && b == 255);
}

// A view at 100 % is a window onto the final render: every pixel away from the view's own
// edges (where the reflection's footprint starts afresh) and the guide marks is the final
// render's pixel under it.
TEST_F(Previewing, AtFullSizeAPannedViewShowsTheFinalRenderUnderIt) {
  Settings settings{};
  applyDefaultSettings(settings);
  settings.rippleSize = 45;
  settings.offset = 20;
  settings.centreX = 0.6f;
  settings.centreY = 0.8f;

  Host final;
  hostOpen(final, PluginMain, scene(900, 640, 8, 3));
  ASSERT_EQ(hostCall(final, filterSelectorPrepare), 0);
  stateOf(final).parameters->settings = settings;
  ASSERT_EQ(hostRunFilter(final, false), 0);

  open(scene(900, 640, 8, 3));
  state().parameters->settings = settings;
  startPreview(state());
  ASSERT_TRUE(state().parameters->hostPreviewUsable);
  EXPECT_EQ(state().parameters->previewScale, 2);
  ASSERT_TRUE(zoomPreview(state(), 34));
  const PixelPoint pan = state().parameters->panOffset;
  EXPECT_GT(pan.x, 0);
  EXPECT_GT(pan.y, 0);
  renderPreview(state(), true);
  ASSERT_EQ(result, 0);
  ASSERT_EQ(previewWidth(state()), 499);
  ASSERT_EQ(previewHeight(state()), 384);

  int32_t compared = 0, water = 0;
  for (int32_t y = 1; y < 384; ++y)
    for (int32_t x = 1; x < 498; ++x) {
      if (guideColour(out(x, y, 0), out(x, y, 1), out(x, y, 2))) continue;
      for (int32_t p = 0; p < 3; ++p)
        ASSERT_EQ(out(x, y, p), *final.destination.at(pan.x + x, pan.y + y, p)) << x << "," << y << " " << p;
      ++compared;
      water += y + pan.y > 640 * 0.6;
    }
  EXPECT_GT(compared, 497 * 370);
  EXPECT_GT(water, 497 * 100);
  hostClose(final);
}

// The display service takes 8-bit pixels: a 16-bit view is handed over reduced, sample by
// sample, and full white (32768) shows as 255.
TEST_F(Previewing, SixteenBitViewsAreDisplayedReducedAndFullWhiteIsWhite) {
  for (int32_t planes : {3, 1}) {
    HostImage white = makeHostImage(1200, 900, 16, planes, false);
    for (size_t i = 0; i < white.samples.size(); i += 2) *reinterpret_cast<uint16_t*>(&white.samples[i]) = 32768;
    open(std::move(white));
    state().parameters->settings.offset = 100;  // no water: the image passes as it is
    startPreview(state());
    ASSERT_TRUE(state().parameters->hostPreviewUsable);
    const PixelPoint corner = pictureCorner(previewWidth(state()), previewHeight(state()));
    ASSERT_EQ(displayPreview(state(), corner, nullptr), 0);
    HostDisplay& shown = host.log.display;
    EXPECT_EQ(shown.imageMode, planes == 1 ? plugInModeGrayScale : plugInModeRGBColor);
    EXPECT_EQ(shown.picture.width, 400);  // 1200 / 3
    EXPECT_EQ(shown.picture.height, 300);
    EXPECT_EQ(shown.col, 366 + 49);
    EXPECT_EQ(shown.row, 42);
    const FilterRecord& r = host.record;
    int32_t white255 = 0;
    for (int32_t y = 0; y < 300; ++y)
      for (int32_t x = 0; x < 400; ++x) {
        const uint8_t* p = shown.picture.at(x, y, 0);
        for (int32_t k = 0; k < planes; ++k) {
          const auto* row = static_cast<const uint8_t*>(r.outData) + y * r.outRowBytes;
          ASSERT_EQ(p[k], displaySample16(reinterpret_cast<const uint16_t*>(row)[x * planes + k])) << x << "," << y;
        }
        white255 += planes == 3 && p[0] == 255 && p[1] == 255 && p[2] == 255;
      }
    if (planes == 3) {
      EXPECT_GT(white255, 400 * 290);
    }
    TearDown();
    host = Host{};
  }
}

TEST_F(Previewing, AHostThatFailsToDeliverTurnsThePreviewOffAndNothingElse) {
  HostSwitches failing;
  // Start reads one tile, asks for the view and for the first row; the dialog's fetch is next.
  failing.advanceStateErrorAt = 4;
  failing.advanceStateError = -1;
  open(scene(300, 200, 8, 3), failing);
  const Settings before = state().parameters->settings;
  startPreview(state());
  EXPECT_FALSE(state().parameters->hostPreviewUsable);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(std::memcmp(&before, &state().parameters->settings, sizeof before), 0);
  EXPECT_FALSE(zoomPreview(state(), 32));
  EXPECT_EQ(host.log.displayPixelsCalls, 0);
}

TEST_F(Previewing, WithoutDisplayServiceThereIsNoPreview) {
  HostSwitches noDisplay;
  noDisplay.noDisplayPixels = true;
  open(scene(300, 200, 8, 3), noDisplay);
  const int32_t calls = host.log.advanceStateCalls;
  startPreview(state());
  EXPECT_FALSE(state().parameters->hostPreviewUsable);
  EXPECT_EQ(host.log.advanceStateCalls, calls);
}

}  // namespace
