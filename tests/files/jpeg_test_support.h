// Pictures and JPEG streams for the codec tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "files/jpeg_writer.h"

// A smooth colour picture, RGB rows.
struct TestPicture {
  int32_t width, height;
  std::vector<uint8_t> rgb;
};

inline TestPicture gradientPicture(int32_t width, int32_t height) {
  TestPicture p{width, height, std::vector<uint8_t>(size_t(width) * size_t(height) * 3)};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* q = &p.rgb[3 * (size_t(y) * size_t(width) + size_t(x))];
      q[0] = uint8_t(255 * x / (width > 1 ? width - 1 : 1));
      q[1] = uint8_t(255 * y / (height > 1 ? height - 1 : 1));
      q[2] = uint8_t(128 + (x - y) / 4);
    }
  return p;
}

inline void readPictureRow(const void* context, int32_t y, int32_t width, uint8_t* rgb) {
  const TestPicture& p = *static_cast<const TestPicture*>(context);
  for (int32_t i = 0; i < width * 3; ++i) rgb[i] = p.rgb[size_t(y) * size_t(p.width) * 3 + size_t(i)];
}

inline JpegSource pictureSource(const TestPicture& p) { return {p.width, p.height, readPictureRow, &p}; }

inline std::vector<uint8_t> compressPicture(const TestPicture& p, int32_t quality = 80,
                                            const std::vector<uint8_t>& icc = {}) {
  std::vector<uint8_t> out(jpegBufferSize(p.width, p.height));
  size_t length = 0;
  const JpegOptions options{quality, icc.empty() ? nullptr : icc.data(), icc.size(), {2024, 3, 7}};
  if (compressJpeg(pictureSource(p), options, out.data(), out.size(), length) != noErr) return {};
  out.resize(length);
  return out;
}

// A stream made with libjpeg's stock settings: colour, or one component (the picture's red
// channel as grey); baseline or progressive.
inline std::vector<uint8_t> stockJpeg(const TestPicture& p, bool grey, bool progressive = false) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(p.width);
  c.image_height = JDIMENSION(p.height);
  c.input_components = grey ? 1 : 3;
  c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(p.width) * 3);
  for (int32_t y = 0; y < p.height; ++y) {
    const uint8_t* source = &p.rgb[3 * size_t(y) * size_t(p.width)];
    for (int32_t x = 0; x < p.width * (grey ? 1 : 3); ++x) row[size_t(x)] = grey ? source[3 * x] : source[x];
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

struct Segment {
  uint8_t marker;
  std::vector<uint8_t> payload;
};

// The marker segments from SOI up to SOS (not included).
inline std::vector<Segment> segmentsOf(const std::vector<uint8_t>& jpeg) {
  std::vector<Segment> segments;
  size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] != 0xDA) {
    const size_t length = size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
    if (length < 2 || at + 2 + length > jpeg.size()) break;
    segments.push_back({jpeg[at + 1], std::vector<uint8_t>(jpeg.begin() + long(at) + 4, jpeg.begin() + long(at + 2 + length))});
    at += 2 + length;
  }
  return segments;
}
