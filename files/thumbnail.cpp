#include "files/thumbnail.h"

#include <algorithm>
#include <cstring>

#include "files/jpeg_reader.h"
#include "raster/pyramid.h"
#include "raster/sampling.h"
#include "raster/memory.h"

void resetToBlankThumbnail(Raster& thumbnail) {
  const int32_t width = levelWidth(thumbnail, 0), height = levelHeight(thumbnail, 0);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t grey = static_cast<uint8_t>(std::max(0, 255 - y));
    for (int32_t x = 0; x < width; ++x) setPixel(x, y, thumbnail, 0, grey, grey, grey, 255);
  }
  buildPyramid(thumbnail);
}

// The blank gradient of a width x height picture: the same fade, stretched over its rows.
static void fillBlank(uint8_t* rgba, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t grey = static_cast<uint8_t>(255 - y * kThumbnailSide / height);
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = rgba + 4 * (size_t(y) * size_t(width) + size_t(x));
      p[0] = p[1] = p[2] = grey;
      p[3] = 255;
    }
  }
}

bool placeThumbnail(const uint8_t* rgba, int32_t width, int32_t height, Raster& thumbnail) {
  if (!rgba || !rasterExists(thumbnail)) return false;
  Raster picture{};
  picture.memory = thumbnail.memory;
  picture.kernels = thumbnail.kernels;
  if (!createRaster(picture, width, height, kFormatRgba8, thumbnail.edgeMode, thumbnail.border)) return false;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = rgba + 4 * (size_t(y) * size_t(width) + size_t(x));
      setPixel(x, y, picture, 0, p[0], p[1], p[2], p[3]);
    }
  buildPyramid(picture);
  // A picture of the thumbnail's own size (every file of ours) lands pixel for pixel; any
  // other is scaled with the filtered resampling, which needs the kernel tables.
  bool placed = copyRaster(picture, thumbnail);
  if (!placed && picture.kernels) {
    resample(picture, thumbnail, {0, 0, levelWidth(thumbnail, 0), levelHeight(thumbnail, 0)}, {0, 0, width, height}, 0.0f);
    placed = true;
  }
  releaseRaster(picture);
  return placed;
}

bool decodeThumbnail(const uint8_t* data, size_t size, int32_t width, int32_t height, Raster& thumbnail) {
  if (width <= 0 || height <= 0 || width > kThumbnailSide || height > kThumbnailSide || !rasterExists(thumbnail))
    return false;
  HostBuffer pixels;
  const size_t rowBytes = size_t(width) * 4;
  if (!allocateBuffer(thumbnail.memory, rowBytes * size_t(height), pixels)) return false;
  uint8_t* rgba = static_cast<uint8_t*>(pixels.data);
  fillBlank(rgba, width, height);
  int32_t rows = 0;
  decompressJpeg(data, size, PixelTarget{rgba, width, height, 4, static_cast<ptrdiff_t>(rowBytes)}, rows);
  const bool placed = rows > 0 && placeThumbnail(rgba, width, height, thumbnail);
  freeBuffer(thumbnail.memory, pixels);
  return placed;
}

// Pixels past the raster's edge repeat its last column or row.
static void readRasterRow(const void* context, int32_t y, int32_t width, uint8_t* rgb) {
  const Raster& raster = *static_cast<const Raster*>(context);
  for (int32_t x = 0; x < width; ++x) {
    const PixelValue p = getPixel(x, y, raster, 0);
    const float c[3] = {p.r, p.g, p.b};
    for (int i = 0; i < 3; ++i)
      rgb[3 * x + i] = static_cast<uint8_t>(std::clamp(c[i] / raster.fullScale, 0.0f, 1.0f) * 255.0f);
  }
}

void thumbnailRgb(const Raster& thumbnail, uint8_t* rgb) {
  for (int32_t y = 0; y < kThumbnailSide; ++y)
    for (int32_t x = 0; x < kThumbnailSide; ++x) {
      const PixelValue p = getPixel(x, y, thumbnail, 0);
      uint8_t* out = rgb + 3 * (size_t(y) * kThumbnailSide + size_t(x));
      out[0] = static_cast<uint8_t>(p.r), out[1] = static_cast<uint8_t>(p.g), out[2] = static_cast<uint8_t>(p.b);
    }
}

JpegSource rasterJpegSource(const Raster& raster) {
  return {levelWidth(raster, 0), levelHeight(raster, 0), readRasterRow, &raster};
}

OSErr encodeThumbnail(const Raster& thumbnail, uint8_t* output, size_t capacity, size_t& length) {
  length = 0;
  if (!rasterExists(thumbnail)) return writErr;
  const JpegSource source{kThumbnailSide, kThumbnailSide, readRasterRow, &thumbnail};
  const JpegOptions options{kThumbnailQuality, nullptr, 0, currentUtcDate()};
  return compressJpeg(source, options, output, capacity, length);
}
