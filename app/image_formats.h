// The image file formats, each through its library. Readers and writers fill or take a
// HostImage at the file's own depth: 8-bit, 16-bit (mapped to the host's 0..32768) or, for
// TIFF only, 32-bit float. On failure they say why in one line, without the path, and
// leave no part of the result behind. Readers given a metadata record fill in what their
// library reads (profile, resolution, text); writers given one write what the format holds.
#pragma once

#include <cstdio>
#include <string>

#include "app/host/finished_rows.h"
#include "app/host/host.h"
#include "app/image_files.h"
#include "app/image_metadata.h"

// The host describes images with 16-bit rectangles.
constexpr int32_t kLargestImageSide = 32767;

// A file of the C library, closed when it goes out of scope.
struct ImageFile {
  FILE* f = nullptr;
  ImageFile() = default;
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;
  ~ImageFile() {
    if (f) std::fclose(f);
  }
};

// Opens `path` in `mode`; when it cannot, `error` says why.
bool openImageFile(ImageFile& file, const char* path, const char* mode, std::string& error);

// The message for an image whose sides the host cannot describe; empty when they fit.
std::string imageSizeProblem(uint32_t width, uint32_t height);

// PNG: grey, grey + alpha, RGB, RGBA at 8 or 16 bits. Palette images and grey below 8 bits
// are expanded (palettes to RGB, with alpha when they have transparent entries).
bool readPng(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error);
// With `rows` the samples come from there, row by row, and `image` gives only the layout.
bool writePng(const char* path, const HostImage& image, const ImageMetadata* metadata, std::string& error,
              const RowSource* rows = nullptr);

// TIFF: the same layouts at 8 or 16 bits (unsigned) or 32-bit float, stripped or tiled,
// interleaved or planar.
bool readTiff(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error);
// EXIF, XMP and IPTC are added afterwards (addTiffMetadata).
bool writeTiff(const char* path, const HostImage& image, const ImageMetadata* metadata, std::string& error);

// The prefixes of JPEG's metadata segments (each with its closing zero byte), and the
// most a segment holds after its length.
constexpr char kJpegExifPrefix[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr char kJpegXmpPrefix[] = "http://ns.adobe.com/xap/1.0/";
constexpr char kJpegIptcPrefix[] = "Photoshop 3.0";
constexpr size_t kLargestJpegSegment = 65533;

// JPEG: 8-bit grey or RGB (YCbCr files are converted to RGB by the library).
bool readJpeg(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error);
bool writeJpeg(const char* path, const HostImage& image, int quality, const ImageMetadata* metadata,
               std::string& error, const RowSource* rows = nullptr);

// WebP: 8-bit RGB or RGBA, lossy or lossless (grey images are written as RGB). Animations
// are refused.
constexpr int32_t kLargestWebpSide = 16383;
bool readWebp(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error);
bool writeWebp(const char* path, const HostImage& image, int quality, bool lossless, const ImageMetadata* metadata,
               std::string& error);

// Whether this build has the format's library; when it has not, `error` names the format
// and says which this build has. The Windows build has JPEG and PSD alone.
bool formatBuiltIn(ImageFormat format, std::string& error);

// Resolution in dots per inch from a count per unit of `centimetres` or inches.
inline double dotsPerInch(double count, bool centimetres) { return centimetres ? count * 2.54 : count; }
