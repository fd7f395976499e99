// The band renderer's side of the host: what the row needs is gathered from the plug-in
// state, the row is rendered into the row buffer and then handed to the glue stage pixel by
// pixel.
#include <algorithm>
#include <cstring>

#include "host/plugin_state.h"
#include "render/band_renderer.h"
#include "render/band_workers.h"
#include "render/glue.h"
#include "render/work_record.h"

namespace {

constexpr int16_t kOutOfMemory = -108;

RenderFrame frameOf(const PluginState& state, const ParameterBlock& block, const Raster& drawn) {
  const FilterRecord& host = *state.filterRecord;
  RenderFrame frame;
  frame.fullWidth = host.filterRect.right - host.filterRect.left;
  frame.fullHeight = host.filterRect.bottom - host.filterRect.top;
  if (block.renderMode == kRenderRaster) {
    frame.width = drawn.width[0];
    frame.height = drawn.height[0];
  } else {
    frame.width = state.regionWidth;
    frame.height = state.regionHeight;
  }
  frame.previewScale = std::max(block.previewScale, 1);
  frame.previewOriginX = block.previewOriginX;
  frame.previewOriginY = block.previewOriginY;
  frame.invW0 = drawn.widthReciprocal[0];
  frame.invH0 = drawn.heightReciprocal[0];
  frame.depth = host.depth == 32 ? 32 : (host.depth == 16 ? 16 : 8);
  frame.grey = host.planes < 3;
  frame.transparency = transparencyEditable(host.filterCase);
  frame.dialog = block.renderMode == kRenderDialog;
  return frame;
}

}  // namespace

void renderRow(PluginState& state) {
  const FilterRecord& host = *state.filterRecord;
  const ParameterBlock& block = *state.parameters;
  WorkRecord& work = *state.work;
  // A render into a raster reads and writes the target, not the host's buffers.
  const bool intoRaster = block.renderMode == kRenderRaster;
  if (intoRaster ? !(work.target && rasterExists(*work.target))
                 : (!host.inData || !host.outData)) {
    *state.result = kOutOfMemory;
    return;
  }
  const RenderFrame frame = frameOf(state, block, intoRaster ? *work.target : state.source);

  // The row buffer holds the scratch row (one record per column and four spare) and then
  // the row's rendered pixels.
  const int64_t records = int64_t(std::max(frame.width, 0)) + 4;
  const int64_t needed = records * int64_t(sizeof(RowScratch)) +
                         int64_t(std::max(frame.width, 0)) * int64_t(sizeof(WaterPixel));
  if (!state.rowBuffer.data || state.rowBufferBytes < needed) {
    *state.result = kOutOfMemory;
    return;
  }
  auto* scratch = static_cast<RowScratch*>(state.rowBuffer.data);
  auto* pixels = reinterpret_cast<WaterPixel*>(scratch + records);

  const int32_t row = state.renderedRow;
  // The whole row goes to the glue stage through one row record, so no pixel asks whether
  // its row has begun.
  const GlueFrame glueFrame = glueFrameOf(state, row);
  BandRow fromWorkers{};
  if (work.bandWorkers) {
    fromWorkers = takeRow(*work.bandWorkers, block.settings, frame, glueFrame, row);
    if (!fromWorkers.pixels && !fromWorkers.glued) stopBandWorkers(work.bandWorkers);
  }
  if (!work.bandWorkers && row == 0) {
    // A final render's rows are glued by the workers as well, when its output row is nothing
    // but the glued pixels.
    const int32_t written = (glueFrame.layout.grey ? 1 : 3) + (glueFrame.layout.transparency ? 1 : 0);
    const bool glueThere = block.renderMode == kRenderFinal && glueFrame.outStep == written;
    work.bandWorkers = startBandWorkers(block.settings, frame, state.source, work.noise,
                                        renderThreadCount(), host.bufferProcs,
                                        glueThere ? &glueFrame : nullptr);
    if (work.bandWorkers) fromWorkers = takeRow(*work.bandWorkers, block.settings, frame, glueFrame, row);
  }
  if (fromWorkers.glued || fromWorkers.pixels) work.nextInlineRow = -1;
  // The workers go with the last row, so that no thread outlives the render that needed it.
  if (fromWorkers.glued) {
    std::memcpy(host.outData, fromWorkers.glued, fromWorkers.bytes);
    if (row == frame.height - 1) stopBandWorkers(work.bandWorkers);
    return;
  }
  const WaterPixel* rendered = fromWorkers.pixels;
  if (!rendered) {
    // A row that does not follow the last one rendered here finds the row above it first.
    if (row != 0 && work.nextInlineRow != row)
      seedScratch(block.settings, frame, work.noise, row - 1, scratch);
    renderPixels(block.settings, frame, state.source, work.noise, row, scratch, pixels);
    work.nextInlineRow = row + 1;
    rendered = pixels;
  }
  const GlueRow glue = startGlueRow(glueFrame, row);
  for (int32_t x = 0; x < frame.width; ++x) gluePixel(x, rendered[x], glue);
  if (row == frame.height - 1) stopBandWorkers(work.bandWorkers);
}
