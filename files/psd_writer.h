// Layered Photoshop documents: one layer, "layer 1", holding a picture and its
// transparency, a merged picture laid over a light checkerboard, and the metadata that
// travels with exported pictures. The module's export and the tarve program both write
// through here, so the two give the same file for the same pixels.
#pragma once

#include <cstdint>

#include "files/file_io.h"
#include "files/metadata_blocks.h"

// What the export command decides before anything is written.
struct ExportDescriptor {
  int32_t width, height;
  int32_t exportMode;       // the dialog's render target: 6 for a size the user chose
  uint8_t bytesPerChannel;  // 1, 2 or 4: the depth of the host's image
  int32_t currentLayer;     // -1 until the layer is rendered
};

constexpr int32_t kPsdChannelsPerLayer = 4;  // transparency, red, green, blue
constexpr int32_t kPsdLayerCount = 1;
// The format's limit on a side; larger pictures need the large-document variant.
constexpr int32_t kPsdLargestSide = 30000;

struct PsdMetadata {
  const uint8_t* iccProfile;  // none: null or size 0
  int32_t iccSize;
  KeywordList keywords;       // after the keyword "Tarve"
  CalendarDate date;
};

// The keywords an export carries: "HDR" and "high dynamic range" for float pictures, and
// the glue mode's name unless it is "normal".
void addExportKeywords(KeywordList& keywords, uint8_t bytesPerChannel, const char* glueName);

// Where the pixels come from. The layer is rendered between the layer records and its pixel
// data, so that the header is on disk before the long work starts.
struct PsdPixels {
  void* context;
  // Renders the layer; noErr, or the code that ends the export. A render the user
  // cancelled still answers noErr: the file is finished with what was rendered.
  OSErr (*renderLayer)(void* context, int32_t layer);
  // Row y of the picture as red, green, blue and alpha for each pixel, at the file's depth:
  // uint8 0..255, uint16 0..32768 or float 0..1 in native byte order.
  void (*readRow)(void* context, int32_t y, void* rgba);
};

// The size of the whole file.
int64_t psdFileSize(const ExportDescriptor& descriptor, const PsdMetadata& metadata);
// Whether the format can hold the document: sides of 1 to 30000 and a file of at most 2 GB,
// whose lengths every reader takes.
bool psdHolds(const ExportDescriptor& descriptor, const PsdMetadata& metadata);

// Writes the document from the file's current position and cuts the file there. Stops at
// the first failed write and answers its code; kErrTooLarge, with nothing written, for a
// picture the format cannot hold; kErrNoMemory when the buffers for a band of rows (a few
// megabytes) cannot be had. Every row is read once, after the layer is rendered.
OSErr writePsd(FileHandle file, ExportDescriptor& descriptor, const PsdMetadata& metadata, const PsdPixels& pixels);

// Writes the document into a new file beside `path` and renames it over `path` only when
// every byte is written, so that a failure leaves whatever was there before untouched.
OSErr savePsdFile(const char* path, ExportDescriptor& descriptor, const PsdMetadata& metadata,
                  const PsdPixels& pixels);
