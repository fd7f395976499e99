#include "host/presets_gallery.h"

#include <string>
#include <vector>

#include "files/folder_listing.h"
#include "files/gallery_page.h"
#include "files/text.h"
#include "files/thumbnail.h"
#include "host/settings_file.h"

namespace {

// The preset's thumbnail at the size it is stored. A file without one (or with one that
// cannot be decoded at all) shows the blank gradient the dialog shows for it.
bool readStoredThumbnail(const char* path, Raster& picture) {
  Settings ignored{};
  ThumbnailRead found;
  readSettingsFile(path, kReadThumbnailOnly, ignored, nullptr, found);
  const bool stored = found.width > 0 && found.height > 0;
  if (!createRaster(picture, stored ? found.width : kThumbnailSide, stored ? found.height : kThumbnailSide,
                    kFormatRgba8, kEdgeClamp, false))
    return false;
  resetToBlankThumbnail(picture);
  if (stored) readSettingsFile(path, kReadThumbnailOnly, ignored, &picture, found);
  return true;
}

void addPreset(GalleryPage& page, const char* folder, const std::string& name) {
  const FileSpec path = joinPath(folder, name.c_str());
  FileSpec caption = makeFileSpec(name.c_str());
  stripExtension(caption.path);
  const std::string imageName = claimImageName(page, caption.path);
  writeThumbnailCell(page, imageName, caption.path, kPresetCellSide, kPresetCellSide);

  Raster picture{};
  if (!readStoredThumbnail(path.path, picture)) return;
  const JpegOptions options{kThumbnailQuality, nullptr, 0, currentUtcDate()};
  writeJpegFile(thumbnailPath(page, imageName).path, rasterJpegSource(picture), options);
  releaseRaster(picture);
}

}  // namespace

OSErr writePresetsPage(const char* sourceFolder, const char* pagePath) {
  // Listed first: a folder that cannot be read gives no page at all rather than a page
  // that stops after its heading.
  std::vector<std::string> names;
  if (listFiles(sourceFolder, names) != noErr) return kErrCannotOpen;
  const FileSpec folder = joinPath(sourceFolder, "");
  GalleryPage page;
  if (beginGalleryPage(page, kPresetsPage, pagePath, folder.path) != noErr) return kErrCannotOpen;
  for (const std::string& name : names)
    if (findText(".q8r", name.c_str(), true) >= 0) addPreset(page, folder.path, name);
  return endGalleryPage(page);
}
