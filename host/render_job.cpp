#include "host/render_job.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dialog/progress_window.h"
#include "raster/kernels.h"
#include "raster/pyramid.h"
#include "raster/sampling.h"
#include "render/band_renderer.h"
#include "render/band_workers.h"
#include "render/glue_modes.h"
#include "render/work_record.h"

// ---- sizes and memory -----------------------------------------------------------------

void sizeJob(PluginState& state, const Rect& rect, int32_t scale) {
  state.parameters->previewScale = scale;
  state.regionWidth = rect.right - rect.left;
  state.regionHeight = rect.bottom - rect.top;
  state.regionFirstColumn = 0;
  state.regionFirstRow = 0;
  state.regionLastColumn = state.regionWidth - 1;
  state.regionLastRow = state.regionHeight - 1;
}

void computeRowLengths(PluginState& state) {
  const int32_t w = state.regionWidth, h = state.regionHeight;
  state.lineA = w + 3;
  state.lineB = 2 * w + 6;
  state.lineC = h + 3;
  state.lineD = w + 2178;
  state.rowUnits = std::max(2 * (std::max(w, h) + 4), 3 * w + 2184);
}

void announceBufferNeeds(PluginState& state) {
  for (int32_t& bytes : state.smallBufferBytes) bytes = 16;
  state.rowBufferBytes = 112 * state.rowUnits;
  state.filterRecord->bufferSpace = 112 * state.rowUnits + 1112;
}

void setEmptyRect(Rect& rect) { rect = {0, 0, 0, 0}; }

static void emptyHostRects(FilterRecord& record) {
  setEmptyRect(record.inRect);
  setEmptyRect(record.outRect);
  setEmptyRect(record.maskRect);
}

bool allocateWorkingMemory(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  const BufferProcs* procs = record.bufferProcs;
  state.rowBuffer = {};
  for (HostBuffer& b : state.smallBuffers) b = {};
  state.workBuffer = {};
  state.work = nullptr;

  // The order is the host's to see: row buffer, the 32-byte buffer, four small ones, the
  // work record, two more small ones.
  state.smallBufferBytes[0] = 32;
  bool ok = allocateBuffer(procs, state.rowBufferBytes, state.rowBuffer);
  for (int i = 0; i < 5 && ok; ++i) ok = allocateBuffer(procs, state.smallBufferBytes[i], state.smallBuffers[i]);
  if (ok) ok = allocateBuffer(procs, sizeof(WorkRecord), state.workBuffer);
  for (int i = 5; i < kSmallBufferCount && ok; ++i)
    ok = allocateBuffer(procs, state.smallBufferBytes[i], state.smallBuffers[i]);
  if (!ok) {
    releaseWorkingMemory(state);
    *state.result = 3;
    emptyHostRects(record);
    return false;
  }
  // Host buffers need not be zero-filled; the work record starts from zero.
  state.work = static_cast<WorkRecord*>(state.workBuffer.data);
  std::memset(state.work, 0, sizeof(WorkRecord));
  return true;
}

void releaseWorkingMemory(PluginState& state) {
  const BufferProcs* procs = state.filterRecord->bufferProcs;
  // The workers read the source and the work record: they stop before either goes.
  if (state.work) stopBandWorkers(state.work->bandWorkers);
  if (state.rowBuffer.data) freeBuffer(procs, state.rowBuffer);
  for (HostBuffer& b : state.smallBuffers)
    if (b.data) freeBuffer(procs, b);
  if (state.workBuffer.data) freeBuffer(procs, state.workBuffer);
  state.work = nullptr;
  releaseRaster(state.source);
  releaseRaster(state.preview);
  releaseRaster(state.thumbnail);
  state.parameters->sourceLoaded = false;
}

void finishRun(PluginState& state) {
  saveMemoryDotMap(state.memoryDots);
  releaseWorkingMemory(state);
  emptyHostRects(*state.filterRecord);
}

// ---- host exchange --------------------------------------------------------------------

static void wholePlanes(FilterRecord& r) {
  r.inLoPlane = r.outLoPlane = 0;
  r.inHiPlane = r.outHiPlane = static_cast<int16_t>(r.planes - 1);
}

static void unitRatesAndEdgePadding(FilterRecord& r) {
  r.inputRate = r.maskRate = 1 << 16;
  r.inputPadding = r.outputPadding = r.maskPadding = plugInWantsEdgeReplication;
}

static Rect offsetRect(Rect r, int32_t dx, int32_t dy) {
  return {static_cast<int16_t>(r.top + dy), static_cast<int16_t>(r.left + dx), static_cast<int16_t>(r.bottom + dy),
          static_cast<int16_t>(r.right + dx)};
}

static void noteRowWindows(PluginState& state) {
  const FilterRecord& r = *state.filterRecord;
  state.maskFirstRow = r.maskRect.top - r.filterRect.top;
  state.maskLastRow = r.maskRect.bottom - r.filterRect.top - 1;
  state.inFirstRow = r.inRect.top - r.filterRect.top;
  state.inLastRow = r.inRect.bottom - r.filterRect.top - 1;
}

static bool greyImage(int16_t mode) {
  return mode == plugInModeGrayScale || mode == plugInModeGray16 || mode == plugInModeGray32;
}

int32_t sourceFormat(int32_t depth) {
  if (depth == 16) return kFormatRgba16;
  if (depth == 32) return kFormatRgbaFloat;
  return kFormatRgba8;
}

static bool hostAborts(const FilterRecord& r) { return r.abortProc && r.abortProc(); }

// A final render reports progress to the host: row 0, then every 32nd row. An export's
// render reports into its progress window instead.
static void reportProgress(PluginState& state, int32_t done, int32_t total) {
  if (state.parameters->renderMode == kRenderRaster && state.progressWindow)
    showProgress(*state.progressWindow, done, total, state.passIndex, state.passCount);
  if (state.parameters->renderMode != kRenderFinal) return;
  WorkRecord& work = *state.work;
  work.progressTick %= 32;
  if (done - work.lastProgressRow >= 5) work.progressTick = 0;
  if ((work.progressTick == 0 || done == 0) && state.filterRecord->progressProc)
    state.filterRecord->progressProc(done, total);
  work.progressTick += 1;
  work.lastProgressRow = done;
}

// The host is asked every 32nd row; the dialog's preview renders are never interrupted. A
// progress window is asked at every poll and looks at the user's input by the clock, so
// that closing it stops the render at once however long the rows are.
static bool pollAbort(PluginState& state) {
  if (state.parameters->renderMode == kRenderDialog) return false;
  if (state.progressWindow && progressStopWanted(*state.progressWindow)) return true;
  WorkRecord& work = *state.work;
  work.abortTick = (work.abortTick + 1) % 32;
  return work.abortTick == 0 && hostAborts(*state.filterRecord);
}

void acquireSource(PluginState& state) {
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  if (block.sourceLoaded) return;
  const Rect& saved = state.savedFilterRect;
  state.source.memory = r.bufferProcs;
  if (!createRaster(state.source, saved.right - saved.left, saved.bottom - saved.top, sourceFormat(r.depth),
                    kEdgeClamp, false)) {
    *state.result = 999;
    return;
  }
  state.source.kernels = &state.work->kernels;

  const Rect savedIn = r.inRect, savedOut = r.outRect, savedMask = r.maskRect;
  const int32_t savedScale = block.previewScale;
  sizeJob(state, r.filterRect, 1);

  const HostRows layout{nullptr, 0, 0, r.depth, greyImage(r.imageMode), transparencyEditable(r.filterCase)};
  const int32_t tiles = levelTileCount(state.source, 0);
  for (int32_t tile = 0; tile < tiles; ++tile) {
    const PixelRect t = tileRect(state.source, tile);
    r.inRect = offsetRect({static_cast<int16_t>(t.y), static_cast<int16_t>(t.x), static_cast<int16_t>(t.y + t.height),
                           static_cast<int16_t>(t.x + t.width)},
                          r.filterRect.left, r.filterRect.top);
    r.outRect = {r.filterRect.top, r.filterRect.left, static_cast<int16_t>(r.filterRect.top + 1),
                 static_cast<int16_t>(r.filterRect.left + 1)};
    r.maskRect = {r.filterRect.top, r.filterRect.left, r.filterRect.top, r.filterRect.left};
    wholePlanes(r);
    unitRatesAndEdgePadding(r);
    const OSErr error = r.advanceState();
    if (error != noErr) {
      *state.result = error;
      state.moreRows = false;
      return;
    }
    HostRows rows = layout;
    rows.data = r.inData;
    rows.rowBytes = r.inRowBytes;
    rows.planes = r.inHiPlane - r.inLoPlane + 1;
    loadTile(state.source, tile, rows);
    if (hostAborts(r)) {
      *state.result = userCanceledErr;
      state.moreRows = false;
      return;
    }
  }
  buildPyramid(state.source, renderThreadCount());
  reportProgress(state, 1, 100);
  block.sourceLoaded = true;

  r.inRect = savedIn;
  r.outRect = savedOut;
  r.maskRect = savedMask;
  block.previewScale = savedScale;
  requestScaledRegion(state, savedScale);
}

// ---- the band loop --------------------------------------------------------------------

static bool fitRowBuffer(PluginState& state) {
  FilterRecord& r = *state.filterRecord;
  stopBandWorkers(state.work->bandWorkers);
  state.rowUnits = (r.inRect.right - r.inRect.left) + 4;
  if (112 * state.rowUnits > state.rowBufferBytes) {
    freeBuffer(r.bufferProcs, state.rowBuffer);
    state.rowBufferBytes = 112 * state.rowUnits;
    if (!allocateBuffer(r.bufferProcs, state.rowBufferBytes, state.rowBuffer)) {
      state.rowBufferBytes = 0;
      *state.result = userCanceledErr;
      return false;
    }
  }
  return true;
}

static void startRows(PluginState& state) {
  state.currentRow = 0;
  state.renderActive = 1;
  state.rowLoop = false;
  state.totalRows = state.regionHeight;
  state.rowsDone = 0;
  state.moreRows = true;
}

void prepareRender(PluginState& state) {
  if (!fitRowBuffer(state)) return;
  prepareNoiseTables(state.work->noise, state.parameters->settings.randomSeed);
  buildKernelTables(state.work->kernels);
  startRows(state);
}

static void setUpBand(PluginState& state) {
  FilterRecord& r = *state.filterRecord;
  const Rect filter = r.filterRect;
  sizeJob(state, filter, 1);
  const int32_t filterHeight = filter.bottom - filter.top;
  const int32_t y = filter.top + std::min(filterHeight - 1, std::max(0, state.currentRow));
  r.inRect = {static_cast<int16_t>(y), filter.left, static_cast<int16_t>(y + 1), filter.right};
  r.outRect = r.inRect;
  if (r.haveMask) {
    int32_t top = std::max<int32_t>(y - 2, filter.top);
    int32_t bottom = std::min<int32_t>(y + 2, filter.bottom);
    if (top >= bottom) bottom = top + 1;
    r.maskRect = {static_cast<int16_t>(top), filter.left, static_cast<int16_t>(bottom), filter.right};
  }
  wholePlanes(r);
  unitRatesAndEdgePadding(r);
  noteRowWindows(state);
  if (state.parameters->renderMode == kRenderRaster)
    r.maskRect = offsetRect(r.maskRect, state.savedFilterRect.left, state.savedFilterRect.top);
}

static void rowStep(PluginState& state) {
  reportProgress(state, state.rowsDone, state.totalRows);
  state.rowsDone += 1;
  state.renderedRow = state.currentRow;
  if (state.renderActive == 1) {
    renderRow(state);
    if (state.currentRow == state.regionHeight - 1) {
      state.moreRows = false;
      state.rowLoop = false;
      state.currentRow = 0;
    } else {
      state.currentRow += 1;
    }
  }
  if (pollAbort(state)) *state.result = userCanceledErr;
}

void beginFinalRender(PluginState& state) {
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  block.previewOriginX = block.previewOriginY = 0;
  buildTriangleTable(state.work->triangle);
  acquireSource(state);
  if (*state.result == noErr) {
    r.filterRect = state.savedFilterRect;
    sizeJob(state, r.filterRect, 1);
    prepareRender(state);
  }
  // A render that cannot begin ends here, so that nothing it holds outlives the run.
  if (*state.result != noErr) {
    finishRun(state);
    return;
  }
  setUpBand(state);
  if (r.advanceState) *state.result = r.advanceState();
  if (*state.result != noErr) finishRun(state);
}

void continueRender(PluginState& state) {
  FilterRecord& r = *state.filterRecord;
  for (;;) {
    rowStep(state);
    if (*state.result != noErr) state.moreRows = false;
    if (*state.result == noErr) setUpBand(state);
    if (!state.moreRows) break;
    if (!r.advanceState) return;  // the host calls Continue again
    *state.result = r.advanceState();
    // A host error goes back at once; the run is over, so its memory goes too.
    if (*state.result != noErr) break;
  }
  finishRun(state);
}

// ---- previews and renders into rasters ------------------------------------------------

static bool hostCanPreview(const FilterRecord& r) {
  return r.advanceState && r.displayPixels && r.samplingSupport != hostDoesNotSupportSampling;
}

static constexpr OSType kSignaturePSP8 = 0x50535038;  // 'PSP8'

void requestScaledRegion(PluginState& state, int32_t scale) {
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  wholePlanes(r);
  if (!hostCanPreview(r)) {
    block.previewScale = 1;
    scale = 1;
  }
  const Rect f = r.filterRect;
  const Rect moved = offsetRect(f, block.previewOriginX, block.previewOriginY);
  int32_t top = std::max(moved.top, f.top) / scale, left = std::max(moved.left, f.left) / scale;
  int32_t bottom = std::min(moved.bottom, f.bottom) / scale, right = std::min(moved.right, f.right) / scale;
  bottom = std::min(bottom, top + kPreviewAreaHeight);
  right = std::min(right, left + kPreviewAreaWidth);
  r.inRect = {static_cast<int16_t>(top), static_cast<int16_t>(left), static_cast<int16_t>(bottom),
              static_cast<int16_t>(right)};
  r.maskRect = r.inRect;
  r.outRect = offsetRect(r.inRect, f.left - left, f.top - top);
  if (r.hostSig == kSignaturePSP8 && scale > 1) {
    r.maskRect = offsetRect(r.maskRect, -r.maskRect.left + block.previewOriginX / scale,
                            -r.maskRect.top + block.previewOriginY / scale);
  }
  r.inputRate = r.maskRate = scale << 16;
  r.inputPadding = r.outputPadding = r.maskPadding = plugInWantsEdgeReplication;
  noteRowWindows(state);
  if (r.advanceState) {
    *state.result = r.advanceState();
    if (*state.result == noErr) sizeJob(state, r.inRect, scale);
  }
}

void renderScaledRegion(PluginState& state, bool prepare) {
  if (prepare) {
    prepareRender(state);
  } else if (fitRowBuffer(state)) {
    startRows(state);
  }
  while (state.moreRows && *state.result == noErr) rowStep(state);
}

int32_t fitScale(PluginState& state, const Rect& filterRect, Rect& preview) {
  const FilterRecord& r = *state.filterRecord;
  const int32_t H = std::max(1, filterRect.bottom - filterRect.top), W = std::max(1, filterRect.right - filterRect.left);
  const int32_t h = std::max(1, preview.bottom - preview.top), w = std::max(1, preview.right - preview.left);
  const int32_t scale = reductionToFit(W, H, w, h);
  preview = {static_cast<int16_t>(filterRect.top / scale), static_cast<int16_t>(filterRect.left / scale),
             static_cast<int16_t>(filterRect.bottom / scale), static_cast<int16_t>(filterRect.right / scale)};
  state.fitScale = scale;
  return hostCanPreview(r) ? scale : 1;
}

// The render reads the image under the water from the target, so the target starts as the
// image: pixel for pixel at the image's own size, else sampled from the pyramid level
// nearest the reduction. Left zero, every glue mode that uses the image would see black.
static void fillWithSource(const Raster& source, Raster& target) {
  if (copyRaster(source, target)) return;
  const int32_t width = levelWidth(target, 0), height = levelHeight(target, 0);
  const bool sameSize = width == levelWidth(source, 0) && height == levelHeight(source, 0);
  const float reduction = std::max(float(levelWidth(source, 0)) / float(width), 1.0f);
  const int32_t level = std::min(int32_t(std::floor(std::log2(reduction))), source.lastLevel);
  const float rescale = target.fullScale / source.fullScale;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      PixelValue v = sameSize ? getPixel(x, y, source, 0)
                              : sampleLevel(source, level, (float(x) + 0.5f) / float(width),
                                            (float(y) + 0.5f) / float(height));
      v = {v.r * rescale, v.g * rescale, v.b * rescale, v.a * rescale};
      if (target.format == kFormatRgbaFloat)
        setPixelFloat(x, y, target, 0, v.r, v.g, v.b, v.a);
      else if (target.format == kFormatRgba16)
        setPixel16(x, y, target, 0, uint16_t(std::lround(v.r)), uint16_t(std::lround(v.g)), uint16_t(std::lround(v.b)),
                   uint16_t(std::lround(v.a)));
      else
        setPixel(x, y, target, 0, uint8_t(std::lround(v.r)), uint8_t(std::lround(v.g)), uint8_t(std::lround(v.b)),
                 uint8_t(std::lround(v.a)));
    }
}

// What a render into a raster borrows from the dialog's view and gives back afterwards.
struct ViewState {
  int32_t previewOriginX, previewOriginY, renderMode, previewScale;
  Rect inRect, outRect, maskRect, filterRect;
  int32_t currentRow;
  Settings settings;
};

static ViewState saveView(const PluginState& state) {
  const FilterRecord& r = *state.filterRecord;
  const ParameterBlock& block = *state.parameters;
  return {block.previewOriginX, block.previewOriginY, block.renderMode, block.previewScale, r.inRect, r.outRect,
          r.maskRect, r.filterRect, state.currentRow, block.settings};
}

static void restoreView(PluginState& state, const ViewState& view) {
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  r.filterRect = view.filterRect;
  block.previewOriginX = view.previewOriginX;
  block.previewOriginY = view.previewOriginY;
  block.renderMode = view.renderMode;
  block.previewScale = view.previewScale;
  r.inRect = view.inRect;
  r.outRect = view.outRect;
  r.maskRect = view.maskRect;
  state.currentRow = view.currentRow;
  block.settings = view.settings;
}

void renderToRaster(PluginState& state, Raster* target, bool& cancelled) {
  if (!target || !rasterExists(*target)) return;
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  const ViewState view = saveView(state);

  const int32_t width = levelWidth(*target, 0), height = levelHeight(*target, 0);
  r.filterRect = {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
  fillWithSource(state.source, *target);
  block.previewOriginX = block.previewOriginY = 0;
  sizeJob(state, r.filterRect, 1);
  r.inRect = r.outRect = r.filterRect;
  if (r.haveMask) r.maskRect = r.filterRect;
  wholePlanes(r);
  unitRatesAndEdgePadding(r);
  noteRowWindows(state);
  block.renderMode = kRenderRaster;
  state.work->target = target;
  buildTriangleTable(state.work->triangle);
  prepareRender(state);

  for (int32_t i = 0; i < height && *state.result == noErr && !cancelled; ++i) {
    rowStep(state);
    ProgressWindow* window = state.progressWindow;
    if (*state.result == userCanceledErr || (i % 8 != 0 && (pollAbort(state) || (window && window->cancelled)))) {
      cancelled = true;
      if (window) cancelProgress(*window);
    }
  }

  stopBandWorkers(state.work->bandWorkers);
  state.work->target = nullptr;
  restoreView(state, view);
  // The view is asked for again whatever happened; the render's own error is what counts.
  const int16_t error = *state.result;
  if (view.renderMode == kRenderDialog) requestScaledRegion(state, view.previewScale);
  requestScaledRegion(state, view.previewScale);
  if (error != noErr) *state.result = error;
}
