#include "host/selectors.h"

#include <cstring>

#include "dialog/main_dialog.h"
#include "host/host_services.h"
#include "host/module.h"
#include "host/render_job.h"
#include "host/settings_file.h"
#include "raster/kernels.h"
#include "render/work_record.h"
#include "host/scripting.h"
#include "resources/dialog_templates.h"

static void initialiseParameterBlock(PluginState& state, ParameterBlock& block) {
  // A host's new handle need not be zero-filled; nothing may read an unset field.
  std::memset(&block, 0, sizeof block);
  state.rowBuffer = {};
  for (HostBuffer& b : state.smallBuffers) b = {};
  state.workBuffer = {};
  state.work = nullptr;
  block.hostPreviewUsable = false;
  block.hostPreviewDisabled = false;
  block.previewScale = 1;
  block.renderMode = kRenderFinal;
  block.settings.glue = 1;
  std::strcpy(block.settingsFileName, "Tarve settings.q8r");
  block.exportSizeMode = 1;
  applyDefaultSettings(block.settings);
}

void ensureParameterBlock(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  const HandleProcs* procs = record.handleProcs;
  bool fresh = false;
  if (!record.parameters) {
    record.parameters = newHandle(procs, sizeof(ParameterBlock));
    if (!record.parameters) {
      *state.result = memFullErr;
      return;
    }
    fresh = true;
  } else if (handleSize(procs, record.parameters) < static_cast<int32_t>(sizeof(ParameterBlock))) {
    // A block too small to be ours (another version's, or damaged) is made whole again
    // rather than read past its end.
    if (setHandleSize(procs, record.parameters, sizeof(ParameterBlock)) != noErr) {
      *state.result = memFullErr;
      return;
    }
    fresh = true;
  }
  auto* block = reinterpret_cast<ParameterBlock*>(lockHandle(procs, record.parameters));
  if (!block) {
    *state.result = memFullErr;
    return;
  }
  if (fresh) initialiseParameterBlock(state, *block);
  state.parameters = block;
}

void doParameters(PluginState& state) { state.parameters->showDialog = 1; }

void doPrepare(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  record.bufferSpace = 0;
  state.savedFilterRect = record.filterRect;
  sizeJob(state, record.filterRect, 1);
  computeRowLengths(state);
  announceBufferNeeds(state);
  resetDialogRunValues(*state.parameters);
  state.dialogExit = 0;
  state.parameters->centrePixel = {(record.filterRect.right - record.filterRect.left) / 2,
                                   (record.filterRect.bottom - record.filterRect.top) / 2};
}

void doStart(PluginState& state) {
  FilterRecord& record = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  block.hostPreviewUsable = record.advanceState && record.displayPixels && !block.hostPreviewDisabled;

  if (!allocateWorkingMemory(state) || *state.result != noErr) {
    *state.result = 1;
    return;
  }

  // The rasters take their memory where the working buffers do.
  state.source.memory = state.preview.memory = state.thumbnail.memory = record.bufferProcs;
  // Thumbnails of other sizes are resampled into it, which needs the sampling kernel.
  buildKernelTables(state.work->kernels);
  state.thumbnail.kernels = &state.work->kernels;
  createRaster(state.thumbnail, kThumbnailSize, kThumbnailSize, kFormatRgba8, kEdgeClamp, false);
  // A replayed action brings its own settings; otherwise the last accepted ones come back.
  if (!scriptedParametersPresent(record)) loadCachedSettings(block.settings, &state.thumbnail);
  // A new data slot starts the preview's view afresh.
  if (state.firstRun) {
    state.firstRun = false;
    block.previewScale = 1;
    block.panOffset = {0, 0};
  }
  block.sourceLoaded = false;
  loadMemoryDotMap(state.memoryDots);

  state.imageWidth = record.filterRect.right - record.filterRect.left;
  state.imageHeight = record.filterRect.bottom - record.filterRect.top;

  if (!record.advanceState) {
    showMessageWindow(kRefusalTemplate, hostWindow(&record));
    *state.result = 1;
  } else if (record.imageMode == plugInModeMultichannel) {
    *state.result = 1;
  }
  if (*state.result != noErr) {
    finishRun(state);
    return;
  }

  // A recorded action's values replace the settings here, and its play mode decides
  // whether the dialog is shown.
  readScriptingParameters(state);
  if (*state.result != noErr) {
    finishRun(state);
    return;
  }

  if (block.showDialog) {
    runMainDialog(state);
    block.showDialog = 0;
    if (*state.result != noErr) {
      finishRun(state);
      return;
    }
    saveCachedSettings(block.settings, &state.thumbnail);
  }

  block.renderMode = kRenderFinal;
  beginFinalRender(state);
}

void doContinue(PluginState& state) { continueRender(state); }

void doFinish(PluginState& state) { writeScriptingParameters(state); }
