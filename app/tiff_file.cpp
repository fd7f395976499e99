// TIFF through libtiff, which reports problems through process-wide handlers: the last
// error message is kept for the one line the user sees; warnings (unknown tags and the
// like) say nothing about whether the pixels can be read, so they are dropped.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/image_formats.h"
#include "app/sample_depth.h"

namespace {

char lastError[200];

void tiffError(const char*, const char* format, va_list args) { std::vsnprintf(lastError, sizeof lastError, format, args); }
void tiffWarning(const char*, const char*, va_list) {}

void installHandlers() {
  TIFFSetErrorHandler(tiffError);
  TIFFSetWarningHandler(tiffWarning);
  lastError[0] = 0;
}

std::string libraryError(const char* what) {
  std::string message = what;
  if (lastError[0]) message += std::string(" (") + lastError + ")";
  return message;
}

struct Tiff {
  TIFF* tif;
  ~Tiff() {
    if (tif) TIFFClose(tif);
  }
};

// Checks the layout and fills in the image's shape; an empty result means it can be read.
std::string describe(TIFF* tif, HostImage& image) {
  uint32_t width = 0, height = 0;
  uint16_t photometric = 0, samples = 1, bits = 1, format = SAMPLEFORMAT_UINT, extraCount = 0, compression = 0;
  uint16_t* extraTypes = nullptr;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) return "the TIFF image has no photometric interpretation";
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
  TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extraTypes);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  if (std::string size = imageSizeProblem(width, height); !size.empty()) return size;

  int32_t colourPlanes = 0;
  if (photometric == PHOTOMETRIC_MINISBLACK) colourPlanes = 1;
  if (photometric == PHOTOMETRIC_RGB) colourPlanes = 3;
  if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG) {
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);  // the codec converts
    colourPlanes = 3;
  }
  if (!colourPlanes) return "only grey (black is zero) and RGB TIFF images are supported";
  const bool alpha = samples == colourPlanes + 1;
  if (samples != colourPlanes && !alpha)
    return "TIFF images with " + std::to_string(samples) + " samples per pixel are not supported (grey or RGB, "
           "each with or without alpha)";
  if (alpha && extraCount == 1 && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA)
    return "TIFF images with premultiplied alpha are not supported";
  int32_t depth = 0;
  if (bits == 8 && format == SAMPLEFORMAT_UINT) depth = 8;
  if (bits == 16 && format == SAMPLEFORMAT_UINT) depth = 16;
  if (bits == 32 && format == SAMPLEFORMAT_IEEEFP) depth = 32;
  if (!depth)
    return std::to_string(bits) + "-bit " + (format == SAMPLEFORMAT_IEEEFP ? "float" : format == SAMPLEFORMAT_INT ? "signed" : "integer") +
           " TIFF samples are not supported (8 or 16-bit unsigned, 32-bit float)";
  image = makeHostImage(int32_t(width), int32_t(height), depth, colourPlanes, alpha);
  return {};
}

// Copies a block of `columns` x `rows` pixels of plane `plane` (or all planes when `plane`
// is negative, for interleaved data) into the image at x, y, clipped to the image.
void place(HostImage& image, const uint8_t* block, uint32_t blockWidth, uint32_t x, uint32_t y, uint32_t rows,
           int plane) {
  const size_t bps = image.bytesPerSample();
  const size_t pixelBytes = plane < 0 ? image.planes() * bps : bps;
  const uint32_t columns = std::min<uint32_t>(blockWidth, uint32_t(image.width) - x);
  rows = std::min<uint32_t>(rows, uint32_t(image.height) - y);
  for (uint32_t r = 0; r < rows; ++r) {
    const uint8_t* in = block + size_t(r) * blockWidth * pixelBytes;
    uint8_t* out = image.at(int32_t(x), int32_t(y + r), plane < 0 ? 0 : plane);
    if (plane < 0) {
      std::memcpy(out, in, columns * pixelBytes);
      continue;
    }
    for (uint32_t c = 0; c < columns; ++c) std::memcpy(out + c * image.planes() * bps, in + c * bps, bps);
  }
}

bool readPixels(TIFF* tif, HostImage& image) {
  uint16_t planar = PLANARCONFIG_CONTIG;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  const bool separate = planar == PLANARCONFIG_SEPARATE && image.planes() > 1;
  const int passes = separate ? image.planes() : 1;
  if (TIFFIsTiled(tif)) {
    uint32_t tileWidth = 0, tileHeight = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight);
    std::vector<uint8_t> tile(TIFFTileSize(tif));
    if (tile.empty() || tileWidth == 0 || tileHeight == 0) return false;
    for (int s = 0; s < passes; ++s)
      for (uint32_t y = 0; y < uint32_t(image.height); y += tileHeight)
        for (uint32_t x = 0; x < uint32_t(image.width); x += tileWidth) {
          if (TIFFReadTile(tif, tile.data(), x, y, 0, uint16_t(s)) < 0) return false;
          place(image, tile.data(), tileWidth, x, y, tileHeight, separate ? s : -1);
        }
    return true;
  }
  std::vector<uint8_t> line(TIFFScanlineSize(tif));
  if (line.empty()) return false;
  for (int s = 0; s < passes; ++s)
    for (uint32_t y = 0; y < uint32_t(image.height); ++y) {
      if (TIFFReadScanline(tif, line.data(), y, uint16_t(s)) < 0) return false;
      place(image, line.data(), uint32_t(image.width), 0, y, 1, separate ? s : -1);
    }
  return true;
}

void collectMetadata(TIFF* tif, ImageMetadata& metadata) {
  uint32_t profileSize = 0;
  void* profile = nullptr;
  if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &profileSize, &profile) && profile)
    metadata.iccProfile.assign(static_cast<uint8_t*>(profile), static_cast<uint8_t*>(profile) + profileSize);
  float x = 0, y = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (unit != RESUNIT_NONE && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) &&
      x > 0 && y > 0) {
    metadata.xDpi = dotsPerInch(x, unit == RESUNIT_CENTIMETER);
    metadata.yDpi = dotsPerInch(y, unit == RESUNIT_CENTIMETER);
  }
}

void describeMetadata(TIFF* tif, const ImageMetadata& metadata) {
  if (!metadata.iccProfile.empty())
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, uint32_t(metadata.iccProfile.size()), metadata.iccProfile.data());
  if (metadata.xDpi > 0 && metadata.yDpi > 0) {
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(metadata.xDpi));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(metadata.yDpi));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, uint16_t(RESUNIT_INCH));
  }
  TIFFSetField(tif, TIFFTAG_SOFTWARE, kSoftwareName);
}

}  // namespace

bool readTiff(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error) {
  installHandlers();
  Tiff file{TIFFOpen(path, "r")};
  if (!file.tif) {
    error = libraryError("not a readable TIFF file");
    return false;
  }
  HostImage result;
  if (std::string problem = describe(file.tif, result); !problem.empty()) {
    error = problem;
    return false;
  }
  if (!readPixels(file.tif, result)) {
    error = libraryError("damaged or truncated TIFF data");
    return false;
  }
  if (metadata) collectMetadata(file.tif, *metadata);
  samplesFromFile(result);
  image = std::move(result);
  return true;
}

bool writeTiff(const char* path, const HostImage& image, const ImageMetadata* metadata, std::string& error) {
  installHandlers();
  Tiff file{TIFFOpen(path, "w")};
  if (!file.tif) {
    error = libraryError("cannot create the file");
    return false;
  }
  TIFF* tif = file.tif;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(image.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(image.height));
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(image.planes()));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(image.depth));
  TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, uint16_t(image.depth == 32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(image.colourPlanes == 1 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB));
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
  if (image.transparency) {
    const uint16_t unassociated = EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &unassociated);
  }
  TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_ADOBE_DEFLATE));
  TIFFSetField(tif, TIFFTAG_PREDICTOR, uint16_t(image.depth == 32 ? PREDICTOR_FLOATINGPOINT : PREDICTOR_HORIZONTAL));
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
  if (metadata) describeMetadata(tif, *metadata);

  std::vector<uint8_t> line(size_t(image.rowBytes()));
  for (int32_t y = 0; y < image.height; ++y) {
    std::memcpy(line.data(), image.samples.data() + size_t(y) * image.rowBytes(), line.size());
    if (image.depth == 16) {
      auto* samples = reinterpret_cast<uint16_t*>(line.data());
      for (size_t i = 0; i < line.size() / 2; ++i) samples[i] = fileFrom16(samples[i]);
    }
    if (TIFFWriteScanline(tif, line.data(), uint32_t(y), 0) < 0) {
      error = libraryError("cannot write the TIFF data");
      return false;
    }
  }
  file.tif = nullptr;
  const bool flushed = TIFFFlush(tif) == 1;
  TIFFClose(tif);
  if (!flushed) {
    error = libraryError("cannot write the TIFF data");
    return false;
  }
  return true;
}
