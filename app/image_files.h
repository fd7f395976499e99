// Image files as the tarve program meets them: the format of an input is recognised by its
// first bytes, the format of an output by its extension, and every problem is one line
// that names the file.
#pragma once

#include <string>
#include <vector>

#include "app/host/finished_rows.h"
#include "app/host/host.h"
#include "app/image_metadata.h"

enum class ImageFormat { png, tiff, jpeg, webp, psd };

const char* formatName(ImageFormat format);

// Reads a PNG, TIFF, JPEG or WebP file, whatever its name.
bool readImageFile(const std::string& path, HostImage& image, std::string& error);
// The same with the file's metadata. Metadata that cannot be kept (a damaged block) is left
// out with a note, one line each; the picture is still read.
bool readImageWithMetadata(const std::string& path, HostImage& image, ImageMetadata& metadata,
                           std::vector<std::string>& notes, std::string& error);

// The format an output path asks for: .png, .tif/.tiff, .jpg/.jpeg, .webp, .psd (any case).
bool outputFormatFor(const std::string& path, ImageFormat& format, std::string& error);
// The format named by --format: png, tif, tiff, jpg, jpeg, webp or psd.
bool formatNamed(const std::string& name, ImageFormat& format);

// Whether `format` can hold an image of this depth and layout; the message says what to do
// when it cannot.
bool formatHolds(ImageFormat format, const HostImage& image, std::string& error);

// Makes the input's metadata into what an output of `format` holds: brought up to date for
// the picture (metadataForOutput), and without what the format has no place for (noted
// when it came from the input).
void metadataForFormat(ImageFormat format, ImageMetadata& metadata, const HostImage& picture, bool turnedUpright,
                       std::vector<std::string>& notes);

struct Compression {
  int quality = 90;       // JPEG and lossy WebP, 1 to 100
  bool lossless = false;  // WebP
};

// Writes `image` to `path` in `format` with `metadata` (none when null). The path is usually
// a temporary name, so the message says only why. PSD documents carry the run's glue mode
// too and are written by writePsdPicture. With `rows`, the samples come from there row by
// row, each when it is ready, and `image` gives only the picture's size and layout: only the
// formats of rowsAsTheyCome write so.
bool writeImageFile(const std::string& path, ImageFormat format, const HostImage& image, const Compression& compression,
                    const ImageMetadata* metadata, std::string& error, const RowSource* rows = nullptr);
// Whether a writer of `format` can take the rows as they come, top to bottom.
bool rowsAsTheyCome(ImageFormat format);
