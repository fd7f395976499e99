// The picture that travels with every settings file: a 128 x 128 8-bit RGBA raster, coded
// as JPEG inside the file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "files/jpeg_writer.h"
#include "raster/raster.h"

constexpr int32_t kThumbnailSide = 128;
constexpr int32_t kThumbnailQuality = 80;
// The largest JPEG stream a settings file may hand the decoder; longer ones are skipped.
constexpr size_t kThumbnailStreamLimit = 49152;

// Row i grey 255 - i, opaque: white at the top fading to mid-grey, the picture shown
// while there is no thumbnail. The reduced levels are rebuilt.
void resetToBlankThumbnail(Raster& thumbnail);

// A width x height picture of RGBA bytes (each side at least 1) into the whole thumbnail
// raster, reduced levels included: copied when the sizes match, scaled otherwise. false
// when there was no memory for it, or it needed scaling and the thumbnail has no kernel
// tables.
bool placeThumbnail(const uint8_t* rgba, int32_t width, int32_t height, Raster& thumbnail);

// Decodes a JPEG thumbnail of width x height and places it. A damaged stream still places
// what was decoded, the rest showing the blank gradient; false when nothing could be
// decoded or no memory could be had.
bool decodeThumbnail(const uint8_t* data, size_t size, int32_t width, int32_t height, Raster& thumbnail);

// The thumbnail raster's 128 x 128 pixels as RGB bytes, row by row, for drawing.
void thumbnailRgb(const Raster& thumbnail, uint8_t* rgb);

// Any raster as JPEG pixels: each component on the raster's scale brought to 0..1, clamped,
// times 255 (exact for 8-bit rasters).
JpegSource rasterJpegSource(const Raster& raster);

// The thumbnail raster as a 128 x 128 JPEG of quality 80 in output[0, capacity);
// jpegBufferSize(128, 128) is always enough.
OSErr encodeThumbnail(const Raster& thumbnail, uint8_t* output, size_t capacity, size_t& length);
