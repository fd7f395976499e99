#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/plugin_state.h"
#include "render/band_renderer.h"
#include "render/glue_modes.h"
#include "render/work_record.h"
#include "tests/render/raster_fixture.h"

namespace {

// A plug-in state for one 8-bit RGB row band of a 16 x 8 image whose source is flat
// (90, 160, 30): above the water line every pixel shows that colour.
struct RowJob {
  FilterRecord host{};
  ParameterBlock block{};
  std::unique_ptr<WorkRecord> work = std::make_unique<WorkRecord>();
  PluginState state{};
  TestRaster source{16, 8, kFormatRgba8};
  int16_t result = 0;
  std::vector<uint8_t> in = std::vector<uint8_t>(16 * 3, 7);
  std::vector<uint8_t> out = std::vector<uint8_t>(16 * 3, 0);
  std::vector<uint8_t> rowBuffer = std::vector<uint8_t>(112 * (16 + 4));

  RowJob() {
    for (int32_t level = 0; level <= source.raster.lastLevel; ++level)
      source.flat(level, {90, 160, 30, 255});
    host.filterRect = {0, 0, 8, 16};
    host.planes = 3;
    host.depth = 8;
    host.inHiPlane = host.outHiPlane = 2;
    host.inData = in.data();
    host.outData = out.data();
    host.inRowBytes = host.outRowBytes = 16 * 3;
    host.filterCase = filterCaseFlatImageNoSelection;
    block.previewScale = 1;
    block.renderMode = kRenderFinal;
    block.settings.offset = 100;  // no water
    block.settings.glue = 1;
    prepareNoiseTables(work->noise, 0);
    buildTriangleTable(work->triangle);
    state.result = &result;
    state.filterRecord = &host;
    state.parameters = &block;
    state.work = work.get();
    state.regionWidth = 16;
    state.regionHeight = 8;
    state.renderedRow = 3;
    state.rowBuffer.data = rowBuffer.data();
    state.rowBufferBytes = int32_t(rowBuffer.size());
  }
  // The state borrows the source raster for the call; the fixture releases it.
  void render() {
    state.source = source.raster;
    renderRow(state);
    state.source = {};
  }
};

TEST(RenderRow, FinalRowGoesIntoTheHostsOutputRow) {
  RowJob job;
  job.render();
  EXPECT_EQ(job.result, 0);
  for (int32_t x = 0; x < 16; ++x) {
    EXPECT_EQ(job.out[3 * x], 90) << x;
    EXPECT_EQ(job.out[3 * x + 1], 160) << x;
    EXPECT_EQ(job.out[3 * x + 2], 30) << x;
  }
}

TEST(RenderRow, RefusesWithoutBuffersOrRoom) {
  struct Case {
    const char* what;
    void (*spoil)(RowJob&);
  } cases[] = {
      {"no input", [](RowJob& j) { j.host.inData = nullptr; }},
      {"no output", [](RowJob& j) { j.host.outData = nullptr; }},
      {"no target", [](RowJob& j) { j.block.renderMode = kRenderRaster; }},
      // Twenty scratch records of 8 bytes and sixteen pixels of 16.
      {"small row buffer", [](RowJob& j) { j.state.rowBufferBytes = 20 * 8 + 16 * 16 - 1; }},
  };
  for (const Case& c : cases) {
    RowJob job;
    c.spoil(job);
    job.render();
    EXPECT_EQ(job.result, -108) << c.what;
    EXPECT_EQ(job.out, std::vector<uint8_t>(16 * 3, 0)) << c.what;
  }
}

TEST(RenderRow, RasterRowGoesIntoTheTarget) {
  RowJob job;
  TestRaster target(32, 8, kFormatRgba8);
  target.flat(0, {1, 2, 3, 255});
  job.block.renderMode = kRenderRaster;
  job.work->target = &target.raster;
  // Rendering into a raster needs neither of the host's buffers.
  job.host.inData = job.host.outData = nullptr;
  job.render();
  EXPECT_EQ(job.result, 0);
  for (int32_t x = 0; x < 32; ++x) {
    const PixelValue p = getPixel(x, 3, target.raster, 0);
    EXPECT_EQ(p.r, 90) << x;
    EXPECT_EQ(p.g, 160) << x;
    EXPECT_EQ(p.b, 30) << x;
    EXPECT_EQ(getPixel(x, 2, target.raster, 0).r, 1) << x;
  }
}

}  // namespace
