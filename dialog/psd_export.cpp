#include "dialog/psd_export.h"

#include <algorithm>
#include <cstring>

#include <string>

#include "dialog/progress_window.h"
#include "files/paths.h"
#include "host/host_services.h"
#include "host/module.h"
#include "host/render_job.h"
#include "render/glue_names.h"
#include "ui/window.h"

uint8_t exportBytesPerChannel(int16_t imageMode, int32_t depth) {
  if ((imageMode == plugInModeGrayScale || imageMode == plugInModeRGBColor) && depth <= 8) return 1;
  if ((imageMode == plugInModeGray16 || imageMode == plugInModeRGB48) && depth == 16) return 2;
  if (imageMode == plugInModeGray32 || imageMode == plugInModeRGB96 || depth == 32) return 4;
  return 1;
}

namespace {

int32_t rasterFormatFor(uint8_t bytesPerChannel) {
  return bytesPerChannel == 4 ? kFormatRgbaFloat : bytesPerChannel == 2 ? kFormatRgba16 : kFormatRgba8;
}

struct ExportRender {
  PluginState& state;
  Raster raster;
  bool& cancelled;
};

OSErr renderLayer(void* context, int32_t layer) {
  ExportRender& e = *static_cast<ExportRender*>(context);
  e.state.passIndex = layer;
  e.state.passCount = kPsdLayerCount;
  // The dialog loads the whole image with its first preview; an export before that loads it
  // here.
  acquireSource(e.state);
  if (!e.state.parameters->sourceLoaded) {
    *e.state.result = noErr;
    return kErrNoMemory;
  }
  renderToRaster(e.state, &e.raster, e.cancelled);
  // A cancelled render still makes a whole file; only a failure of the render ends it.
  const OSErr failed = e.cancelled ? noErr : *e.state.result;
  *e.state.result = noErr;
  return failed;
}

void readRow(void* context, int32_t y, void* rgba) {
  const Raster& raster = static_cast<ExportRender*>(context)->raster;
  const int32_t width = levelWidth(raster, 0);
  const size_t pixel = size_t(raster.bytesPerPixel);
  auto* out = static_cast<uint8_t*>(rgba);
  for (int32_t x = 0; x < width; x += kTileSize) {
    const int32_t run = std::min(kTileSize, width - x);
    std::memcpy(out + size_t(x) * pixel, pixelAddress(raster, 0, x, y), size_t(run) * pixel);
  }
  // The deep formats hold red, green, blue and alpha in order, as the writer wants them; an
  // 8-bit pixel is one word with red in its top byte.
  if (raster.format != kFormatRgba8) return;
  for (int32_t x = 0; x < width; ++x, out += 4) {
    uint32_t word;
    std::memcpy(&word, out, 4);
    out[0] = uint8_t(word >> 24), out[1] = uint8_t(word >> 16), out[2] = uint8_t(word >> 8), out[3] = uint8_t(word);
  }
}

PsdMetadata exportMetadata(const PluginState& state, uint8_t bytesPerChannel, Ptr profile) {
  const FilterRecord& r = *state.filterRecord;
  PsdMetadata m{};
  if (profile) {
    m.iccProfile = reinterpret_cast<const uint8_t*>(profile);
    m.iccSize = r.iCCprofileSize;
  }
  clearKeywords(m.keywords);
  addExportKeywords(m.keywords, bytesPerChannel, glueName(state.parameters->settings.glue));
  m.date = currentUtcDate();
  return m;
}

}  // namespace

OSErr writePsdExport(PluginState& state, const char* path, ExportDescriptor& descriptor, bool& cancelled) {
  const FilterRecord& r = *state.filterRecord;
  const bool hasProfile = r.canUseICCProfiles && r.iCCprofileData && r.iCCprofileSize > 0;
  Ptr profile = hasProfile ? lockHandle(r.handleProcs, r.iCCprofileData) : nullptr;
  const PsdMetadata metadata = exportMetadata(state, descriptor.bytesPerChannel, profile);
  ExportRender render{state, {}, cancelled};
  render.raster.memory = r.bufferProcs;
  render.raster.kernels = state.source.kernels;
  // A document the format cannot hold is refused before it costs any memory.
  OSErr result = kErrTooLarge;
  if (psdHolds(descriptor, metadata)) {
    result = kErrNoMemory;
    if (createRaster(render.raster, descriptor.width, descriptor.height, rasterFormatFor(descriptor.bytesPerChannel),
                     kEdgeNoPyramid, false))
      result = savePsdFile(path, descriptor, metadata, {&render, renderLayer, readRow});
  }
  if (profile) unlockHandle(r.handleProcs, r.iCCprofileData);
  releaseRaster(render.raster);
  return result;
}

namespace {

struct PendingExport {
  std::string path;
  ExportDescriptor descriptor;
  bool cancelled;
};

OSErr runPendingExport(PluginState& state, void* context) {
  PendingExport& e = *static_cast<PendingExport*>(context);
  return writePsdExport(state, e.path.c_str(), e.descriptor, e.cancelled);
}

const char* failureReason(OSErr code) {
  switch (code) {
    case kErrCannotOpen: return "The PSD file could not be written: the folder cannot be written to.";
    case kErrNoMemory: return "The PSD file could not be written: there is not enough memory for a picture of this size.";
    case kErrTooLarge:
      return "The PSD file could not be written: a PSD file holds at most 30000 pixels a side and 2 GB. Choose a "
             "smaller size.";
    default:
      return "The PSD file could not be written: the disk refused to take it (it may be full). A file that was there "
             "before is unchanged.";
  }
}

void explainFailure(OSErr code, intptr_t owner) {
  const ControlTemplate controls[] = {
      {1000, ControlKind::text, failureReason(code), {12, 12, 296, 48}},
      {1, ControlKind::pushButton, "OK", {236, 72, 72, 24}, kUiDefaultButton},
  };
  showMessageWindow({"PSDFAILED", "Tarve", 320, 108, controls}, owner);
}

const UiFileFilter psdFilters[] = {{"Photoshop files (*.psd)", "*.psd"}};

}  // namespace

OSErr exportPsdCommand(PluginState& state, intptr_t owner) {
  ParameterBlock& block = *state.parameters;
  const FilterRecord& r = *state.filterRecord;
  PendingExport e{{}, {block.exportWidth, block.exportHeight, 6, exportBytesPerChannel(r.imageMode, r.depth), -1}, false};
  const UiSaveRequest request{owner, "Save a PSD file", psdFilters, "psd", block.exportFolder, "Tarve result.psd"};
  if (uiSaveFile(request, e.path) != UiChoice::chosen) return kErrCancelled;
  copyFolderPart(e.path.c_str(), block.exportFolder, sizeof block.exportFolder);

  const OSErr result = runProgressWindow(state, ProgressTitle::psdFile, runPendingExport, &e);
  if (result != noErr && result != kErrCancelled) explainFailure(result, owner);
  return result == noErr && e.cancelled ? OSErr(kErrCancelled) : result;
}
