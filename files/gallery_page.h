// Gallery pages: a hand-written HTML 4.01 page that shows thumbnails in framed cells, five
// or four to a row, with the thumbnails and the frame pictures in the folder "web_images"
// beside it. The page bodies (presets, memory dots) decide what goes into the cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "files/paths.h"

enum GalleryKind : int32_t { kPresetsPage = 0, kMemoryDotsPage = 3 };

inline constexpr char kGalleryImagesFolder[] = "web_images";
constexpr int32_t kPresetCellSide = 88;  // presets are shown at this size whatever they hold

struct GalleryPage {
  int32_t kind;
  int32_t columns;  // thumbnails per row
  int32_t column;   // 1-based position of the next cell in the current row
  int32_t row;      // 1-based
  FileSpec imagesFolder;  // ends in a separator
  FileHandle output;
  OSErr error;  // the first failed write
  std::vector<std::string> imageNames;  // given out so far, so no two cells share a file
};

// Makes "web_images" beside the page with the frame pictures in it, opens the page and
// writes its head; `sourceFolder` is named in the heading of a presets page. 99 when the
// page cannot be opened: then nothing is written to it and it is closed.
OSErr beginGalleryPage(GalleryPage& page, int32_t kind, const char* pagePath, const char* sourceFolder);

// The file name, without ".jpg", of the thumbnail of `name`: the name cleaned, followed by
// " 2", " 3" ... when an earlier cell of this page already has that file.
std::string claimImageName(GalleryPage& page, const char* name);

// Where the thumbnail of that name goes.
FileSpec thumbnailPath(const GalleryPage& page, const std::string& imageName);

// One framed thumbnail shown at width x height, with `caption` (the name the user knows)
// under it and as its alt text; opens a row and closes a full one.
void writeThumbnailCell(GalleryPage& page, const std::string& imageName, const char* caption, int32_t width,
                        int32_t height);

// Fills the last row with empty cells, ends the page, cuts and closes the file. The first
// write error of the whole page, or noErr.
OSErr endGalleryPage(GalleryPage& page);
