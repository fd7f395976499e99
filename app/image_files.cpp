#include "app/image_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/image_formats.h"

std::string imageSizeProblem(uint32_t width, uint32_t height) {
  if (width == 0 || height == 0) return "the image is empty";
  if (width > uint32_t(kLargestImageSide) || height > uint32_t(kLargestImageSide))
    return "the image is " + std::to_string(width) + " x " + std::to_string(height) + " pixels; at most " +
           std::to_string(kLargestImageSide) + " on each side is supported";
  return {};
}

const char* formatName(ImageFormat format) {
  switch (format) {
    case ImageFormat::png: return "PNG";
    case ImageFormat::tiff: return "TIFF";
    default: return "JPEG";
  }
}

bool readImageFile(const std::string& path, HostImage& image, std::string& error) {
  const char* name = path.c_str();
  struct stat status {};
  if (stat(name, &status) != 0) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(status.st_mode)) {
    error = "cannot read " + path + ": not a file";
    return false;
  }
  FILE* f = std::fopen(name, "rb");
  if (!f) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  unsigned char head[8] = {};
  const size_t got = std::fread(head, 1, sizeof head, f);
  std::fclose(f);

  static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::string why;
  bool read = false;
  if (got == 8 && std::memcmp(head, png, 8) == 0) {
    read = readPng(name, image, why);
  } else if (got >= 4 && ((head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) && head[3] == 0) ||
                          (head[0] == 'M' && head[1] == 'M' && head[2] == 0 && (head[3] == 42 || head[3] == 43)))) {
    read = readTiff(name, image, why);
  } else if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    read = readJpeg(name, image, why);
  } else {
    why = got == 0 ? "the file is empty" : "not a PNG, TIFF or JPEG file";
  }
  if (!read) error = "cannot read " + path + ": " + why;
  return read;
}

bool outputFormatFor(const std::string& path, ImageFormat& format, std::string& error) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  std::string extension = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
  if (extension == ".png") {
    format = ImageFormat::png;
  } else if (extension == ".tif" || extension == ".tiff") {
    format = ImageFormat::tiff;
  } else if (extension == ".jpg" || extension == ".jpeg") {
    format = ImageFormat::jpeg;
  } else {
    error = "cannot tell the format of " + path + " from its name: end it in .png, .tif, .tiff, .jpg or .jpeg";
    return false;
  }
  return true;
}

bool formatHolds(ImageFormat format, const HostImage& image, std::string& error) {
  if (format == ImageFormat::png && image.depth == 32) {
    error = "PNG files hold 8 or 16 bits per sample, this image has 32-bit float samples: add --depth 16, or write a TIFF";
    return false;
  }
  if (format == ImageFormat::jpeg && image.depth != 8) {
    error = "JPEG files hold 8 bits per sample, this image has " + std::to_string(image.depth) +
            ": add --depth 8, or write a PNG or TIFF";
    return false;
  }
  if (format == ImageFormat::jpeg && image.transparency) {
    error = "JPEG files have no transparency, this image has an alpha channel: write a PNG or TIFF";
    return false;
  }
  return true;
}

bool writeImageFile(const std::string& path, ImageFormat format, const HostImage& image, int jpegQuality,
                    std::string& error) {
  std::string why;
  bool written = false;
  switch (format) {
    case ImageFormat::png: written = writePng(path.c_str(), image, why); break;
    case ImageFormat::tiff: written = writeTiff(path.c_str(), image, why); break;
    case ImageFormat::jpeg: written = writeJpeg(path.c_str(), image, jpegQuality, why); break;
  }
  if (!written) error = why;
  return written;
}

bool openImageFile(ImageFile& file, const char* path, const char* mode, std::string& error) {
  file.f = std::fopen(path, mode);
  if (!file.f) error = std::strerror(errno);
  return file.f != nullptr;
}
