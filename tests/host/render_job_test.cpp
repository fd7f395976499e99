// The render job seen from inside: what the source raster holds, the preview scale, and the
// render into a raster.
#include "host/render_job.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/host/host.h"
#include "tests/isolated_temp.h"
#include "tests/module_state.h"
#include "raster/raster.h"
#include "render/work_record.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {


HostImage pattern(int32_t w, int32_t h, int32_t depth, int32_t planes, bool transparency) {
  HostImage image = makeHostImage(w, h, depth, planes, transparency);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t p = 0; p < image.planes(); ++p) {
        const int32_t v = (x * 5 + y * 11 + p * 70) % 256;
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = static_cast<uint8_t>(v);
        if (depth == 16) *reinterpret_cast<uint16_t*>(s) = static_cast<uint16_t>(v * 128);
        if (depth == 32) *reinterpret_cast<float*>(s) = v / 256.0f;
      }
  return image;
}

float sample(HostImage& image, int32_t x, int32_t y, int32_t plane) {
  const uint8_t* s = image.at(x, y, plane);
  if (image.depth == 8) return *s;
  if (image.depth == 16) return *reinterpret_cast<const uint16_t*>(s);
  return *reinterpret_cast<const float*>(s);
}

// Counts system allocations and refuses them from a chosen one on.
int32_t systemAllocationsLeft = -1;
void* (*realAllocate)(size_t) = nullptr;
void* limitedAllocate(size_t size) {
  if (systemAllocationsLeft == 0) return nullptr;
  if (systemAllocationsLeft > 0) --systemAllocationsLeft;
  return realAllocate(size);
}

struct JobInside : testing::Test {
  Host host;
  void SetUp() override { realAllocate = systemAllocate; }
  void TearDown() override {
    systemAllocate = realAllocate;
    systemAllocationsLeft = -1;
    hostClose(host);
  }
  void open(HostImage image, HostSwitches switches = {}) {
    host.switches = switches;
    hostOpen(host, PluginMain, std::move(image));
  }
};

TEST_F(JobInside, TheSourceHoldsTheImageAtEveryDepthAndLayout) {
  struct Case {
    int32_t depth, planes;
    bool transparency, editable;
  };
  for (Case c : {Case{8, 3, false, false}, Case{8, 1, false, false}, Case{8, 3, true, true}, Case{8, 3, true, false},
                 Case{16, 1, true, true}, Case{16, 3, false, false}, Case{32, 3, true, true}}) {
    Host h;
    h.switches.protectTransparency = c.transparency && !c.editable;
    hostOpen(h, PluginMain, pattern(530, 20, c.depth, c.planes, c.transparency));
    ASSERT_EQ(hostCall(h, filterSelectorPrepare), 0);
    ASSERT_EQ(hostCall(h, filterSelectorStart), 0);
    const Raster& source = stateOf(h).source;
    const float full = c.depth == 8 ? 255.0f : c.depth == 16 ? 32768.0f : 1.0f;
    for (auto [x, y] : {std::pair{0, 0}, {513, 7}, {529, 19}, {100, 3}}) {
      const PixelValue p = getPixel(x, y, source, 0);
      const int32_t g = c.planes == 1 ? 0 : 1, b = c.planes == 1 ? 0 : 2;
      EXPECT_EQ(p.r, sample(h.source, x, y, 0)) << c.depth << "/" << c.planes << " at " << x << "," << y;
      EXPECT_EQ(p.g, sample(h.source, x, y, g));
      EXPECT_EQ(p.b, sample(h.source, x, y, b));
      EXPECT_EQ(p.a, c.editable ? sample(h.source, x, y, c.planes) : full);
    }
    hostCall(h, filterSelectorContinue);
    hostClose(h);
  }
}

TEST_F(JobInside, PreviewScaleFitsTheArea) {
  open(pattern(1000, 600, 8, 3, false));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  PluginState& state = stateOf(host);
  Rect preview{0, 0, 250, 250};
  EXPECT_EQ(fitScale(state, {0, 0, 600, 1000}, preview), 4);
  EXPECT_EQ(preview.right, 250);
  EXPECT_EQ(preview.bottom, 150);
  Rect small{0, 0, 250, 250};
  EXPECT_EQ(fitScale(state, {0, 0, 100, 80}, small), 1);
  host.record.displayPixels = nullptr;  // no host preview: always full size
  Rect other{0, 0, 250, 250};
  EXPECT_EQ(fitScale(state, {0, 0, 600, 1000}, other), 1);
}

TEST_F(JobInside, RenderToRasterLeavesTheViewAndSettingsAsTheyWere) {
  open(pattern(64, 48, 8, 3, false));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  PluginState& state = stateOf(host);
  int16_t result = 0;
  state.result = &result;  // the pointer of the last call into the module is gone
  ParameterBlock& block = *state.parameters;
  block.previewOriginX = 8;
  block.previewScale = 2;
  const Rect filter = host.record.filterRect;
  const int32_t row = state.currentRow;
  Settings before = block.settings;

  Raster target{};
  ASSERT_TRUE(createRaster(target, 32, 24, kFormatRgba8, kEdgeClamp, false));
  bool cancelled = false;
  renderToRaster(state, &target, cancelled);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(*state.result, 0);
  EXPECT_EQ(block.previewOriginX, 8);
  EXPECT_EQ(block.previewScale, 2);
  EXPECT_EQ(block.renderMode, kRenderFinal);
  EXPECT_EQ(state.currentRow, row);
  EXPECT_EQ(std::memcmp(&host.record.filterRect, &filter, sizeof filter), 0);
  EXPECT_EQ(std::memcmp(&block.settings, &before, sizeof before), 0);
  // Something was drawn: the render is not the zero-filled raster it started as.
  bool drawn = false;
  for (int32_t y = 0; y < 24 && !drawn; ++y)
    for (int32_t x = 0; x < 32 && !drawn; ++x) drawn = getPixel(x, y, target, 0).a != 0;
  EXPECT_TRUE(drawn);
  releaseRaster(target);
  hostCall(host, filterSelectorContinue);
}

TEST_F(JobInside, MemoryFaultsGiveTheirCodes) {
  HostSwitches noMemory;
  noMemory.failBufferAfter = 0;

  // No working memory at Start: the refusal code 1, and the rectangles empty.
  open(pattern(16, 16, 8, 3, false), noMemory);
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  systemAllocate = limitedAllocate;
  systemAllocationsLeft = 3;
  EXPECT_EQ(hostCall(host, filterSelectorStart), 1);
  EXPECT_TRUE(hostRectsEmpty(host.record));

  // Working memory, but no room for the source raster: 999 and nothing rendered.
  systemAllocationsLeft = 9;
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  EXPECT_EQ(hostCall(host, filterSelectorStart), 999);
  EXPECT_TRUE(hostRectsEmpty(host.record));
  EXPECT_EQ(stateOf(host).work, nullptr);
}

TEST_F(JobInside, ARowBufferThatCannotGrowCancelsTheRender) {
  open(pattern(8, 8, 8, 3, false));
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  PluginState& state = stateOf(host);
  int16_t result = 0;
  state.result = &result;  // the pointer of the last call into the module is gone
  Raster target{};
  ASSERT_TRUE(createRaster(target, 4000, 2, kFormatRgba8, kEdgeClamp, false));
  host.switches.failBufferAfter = 0;
  host.allocationsRemaining = 0;
  systemAllocate = limitedAllocate;
  systemAllocationsLeft = 0;
  bool cancelled = false;
  renderToRaster(state, &target, cancelled);
  systemAllocate = realAllocate;
  EXPECT_EQ(*state.result, userCanceledErr);
  releaseRaster(target);
  host.allocationsRemaining = -1;
  hostCall(host, filterSelectorContinue);
}

}  // namespace
