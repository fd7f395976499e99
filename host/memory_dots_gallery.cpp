#include "host/memory_dots_gallery.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "files/gallery_page.h"
#include "files/thumbnail.h"
#include "host/host_services.h"
#include "host/render_job.h"
#include "host/settings_file.h"

namespace {

// The host's colour profile travels with the pictures when the host offers one.
struct HostProfile {
  const uint8_t* data;
  size_t size;
};

HostProfile lockHostProfile(const FilterRecord& r) {
  if (!r.canUseICCProfiles || !r.iCCprofileData || r.iCCprofileSize <= 0) return {nullptr, 0};
  const Ptr bytes = lockHandle(r.handleProcs, r.iCCprofileData, false);
  return {reinterpret_cast<const uint8_t*>(bytes), bytes ? size_t(r.iCCprofileSize) : 0};
}

void unlockHostProfile(const FilterRecord& r, const HostProfile& profile) {
  if (profile.data) unlockHandle(r.handleProcs, r.iCCprofileData);
}

int32_t filledDots(const MemoryDots& dots) {
  return int32_t(std::count_if(dots.display, dots.display + kMemoryDotCount, [](int16_t d) { return d != kDotEmpty; }));
}

// Renders the dot in `slot` (already the current settings) and adds its cell. false when the
// user stopped the render.
bool addDot(PluginState& state, GalleryPage& page, int32_t slot, PixelSize size, const HostProfile& profile) {
  const FilterRecord& r = *state.filterRecord;
  Raster picture{};
  picture.memory = r.bufferProcs;
  if (!createRaster(picture, size.width, size.height, sourceFormat(r.depth), kEdgeClamp, false)) return true;
  bool cancelled = false;
  renderToRaster(state, &picture, cancelled);
  if (!cancelled) {
    char name[16];
    std::snprintf(name, sizeof name, "dot %d", int(slot + 1));
    const std::string imageName = claimImageName(page, name);
    const JpegOptions options{kThumbnailQuality, profile.data, profile.size, currentUtcDate()};
    writeJpegFile(thumbnailPath(page, imageName).path, rasterJpegSource(picture), options);
    writeThumbnailCell(page, imageName, name, size.width, size.height);
  }
  releaseRaster(picture);
  return !cancelled;
}

}  // namespace

PixelSize dotThumbnailSize(int32_t width, int32_t height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  const int64_t longer = std::max(width, height);
  return {int32_t(std::max<int64_t>(1, width * int64_t(kDotThumbnailSide) / longer)),
          int32_t(std::max<int64_t>(1, height * int64_t(kDotThumbnailSide) / longer))};
}

OSErr writeMemoryDotsPage(PluginState& state, const char* pagePath) {
  GalleryPage page;
  if (beginGalleryPage(page, kMemoryDotsPage, pagePath, nullptr) != noErr) return kErrCannotOpen;
  FilterRecord& r = *state.filterRecord;
  ParameterBlock& block = *state.parameters;
  const Settings kept = block.settings;
  const int16_t runResult = *state.result;
  writeSettingsFile(memoryDotPath(kScratchDotSlot).path, kept, rasterExists(state.thumbnail) ? &state.thumbnail : nullptr);

  const Rect& area = state.savedFilterRect;
  const PixelSize size = dotThumbnailSize(area.right - area.left, area.bottom - area.top);
  const HostProfile profile = lockHostProfile(r);
  const int32_t total = filledDots(state.memoryDots);
  int32_t done = 0;
  for (int32_t slot = 0; slot < kMemoryDotCount; ++slot) {
    if (state.memoryDots.display[slot] == kDotEmpty) continue;
    if (r.progressProc) r.progressProc(done, total);
    // A progress window counts each dot as one pass of its own.
    state.passIndex = done++;
    state.passCount = total;
    // Each dot is read over the user's settings, and a dot whose file is gone is left out
    // rather than shown with the look of the dot before it.
    block.settings = kept;
    ThumbnailRead found;
    if (readSettingsFile(memoryDotPath(slot).path, kReadSettingsAndThumbnail, block.settings, nullptr, found) != noErr)
      continue;
    if (!addDot(state, page, slot, size, profile)) break;
  }
  if (r.progressProc && total > 0) r.progressProc(total, total);
  unlockHostProfile(r, profile);

  // The settings come back from memory, exactly, rather than through the file's rounding.
  block.settings = kept;
  *state.result = runResult;
  return endGalleryPage(page);
}
