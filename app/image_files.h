// Image files as the tarve program meets them: the format of an input is recognised by its
// first bytes, the format of an output by its extension, and every problem is one line
// that names the file.
#pragma once

#include <string>

#include "app/host/host.h"

enum class ImageFormat { png, tiff, jpeg };

const char* formatName(ImageFormat format);

// Reads a PNG, TIFF or JPEG file, whatever its name.
bool readImageFile(const std::string& path, HostImage& image, std::string& error);

// The format an output path asks for: .png, .tif/.tiff, .jpg/.jpeg (any case).
bool outputFormatFor(const std::string& path, ImageFormat& format, std::string& error);

// Whether `format` can hold an image of this depth and layout; the message says what to do
// when it cannot.
bool formatHolds(ImageFormat format, const HostImage& image, std::string& error);

// Writes `image` to `path` in `format` (JPEG at `jpegQuality`). The path is usually a
// temporary name, so the message says only why.
bool writeImageFile(const std::string& path, ImageFormat format, const HostImage& image, int jpegQuality,
                    std::string& error);
