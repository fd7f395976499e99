// Thumbnail pictures as JPEG: IJG libjpeg with the program's own quantisation tables,
// optimised Huffman coding and the program's metadata segments, into a memory buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "files/metadata_blocks.h"
#include "sdk/host_interface.h"

// Where the pixels come from: readRow fills row y with `width` red, green, blue triplets.
struct JpegSource {
  int32_t width, height;
  void (*readRow)(const void* context, int32_t y, int32_t width, uint8_t* rgb);
  const void* context;
};

struct JpegOptions {
  int32_t quality;  // thumbnails use 80; clamped to 0..99
  const uint8_t* iccProfile;  // written as APP2 chunks when not null and not empty
  size_t iccProfileSize;
  CalendarDate date;  // the IPTC date created
};

// Pictures narrower or lower than this are widened by repeating their last column or row.
constexpr int32_t kJpegMinimumSide = 16;

// The buffer the stream is made in: six bytes per pixel of the coded picture.
size_t jpegBufferSize(int32_t width, int32_t height);

// Compresses into output[0, capacity). writErr when libjpeg fails or the stream would not
// fit; nothing is ever written past capacity. `length` is the stream's size (0 on error).
OSErr compressJpeg(const JpegSource& source, const JpegOptions& options, uint8_t* output, size_t capacity,
                   size_t& length);

// The whole file: opened (99 when it cannot be), compressed into a buffer of
// jpegBufferSize, written in one piece and cut there. A failed compression leaves the file
// empty.
OSErr writeJpegFile(const char* path, const JpegSource& source, const JpegOptions& options);
