#include "app/image_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/host/utf8_paths.h"
#include "app/image_formats.h"
#include "app/psd_file.h"
#include "files/paths.h"

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
    case ImageFormat::webp: return "WebP";
    case ImageFormat::psd: return "PSD";
    default: return "JPEG";
  }
}

#ifdef _WIN32
bool formatBuiltIn(ImageFormat format, std::string& error) {
  if (format == ImageFormat::jpeg || format == ImageFormat::psd) return true;
  error = std::string(formatName(format)) +
          " files are not supported by the Windows build of tarve, which reads JPEG and writes JPEG and PSD";
  return false;
}
#else
bool formatBuiltIn(ImageFormat, std::string&) { return true; }
#endif

namespace {

bool readAny(const std::string& path, HostImage& image, ImageMetadata* metadata, std::string& error) {
  const char* name = path.c_str();
  std::error_code problem;
  const std::filesystem::file_status status = std::filesystem::status(pathFromUtf8(path), problem);
  if (problem) {
    error = "cannot read " + path + ": " + problem.message();
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = "cannot read " + path + ": not a file";
    return false;
  }
  FILE* f = std::fopen(name, "rb");
  if (!f) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  unsigned char head[12] = {};
  const size_t got = std::fread(head, 1, sizeof head, f);
  std::fclose(f);

  static const unsigned char png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::string why;
  bool read = false;
  if (got >= 8 && std::memcmp(head, png, 8) == 0) {
    read = readPng(name, image, metadata, why);
  } else if (got >= 4 && ((head[0] == 'I' && head[1] == 'I' && (head[2] == 42 || head[2] == 43) && head[3] == 0) ||
                          (head[0] == 'M' && head[1] == 'M' && head[2] == 0 && (head[3] == 42 || head[3] == 43)))) {
    read = readTiff(name, image, metadata, why);
  } else if (got >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    read = readJpeg(name, image, metadata, why);
  } else if (got == 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0) {
    read = readWebp(name, image, metadata, why);
  } else {
    why = got == 0 ? "the file is empty" : "not a PNG, TIFF, JPEG or WebP file";
  }
  if (!read) error = "cannot read " + path + ": " + why;
  return read;
}

// Whether a block with this prefix fits in one JPEG segment.
bool fitsJpegSegment(size_t prefix, size_t size) { return prefix + size <= kLargestJpegSegment; }

}  // namespace

bool readImageFile(const std::string& path, HostImage& image, std::string& error) {
  return readAny(path, image, nullptr, error);
}

bool readImageWithMetadata(const std::string& path, HostImage& image, ImageMetadata& metadata,
                           std::vector<std::string>& notes, std::string& error) {
  ImageMetadata read;
  if (!readAny(path, image, &read, error)) return false;
  std::string warning;
  readEmbeddedMetadata(path, read, warning);
  if (!warning.empty()) notes.push_back(warning);
  if (!read.iccProfile.empty() && !iccProfileSound(read.iccProfile)) {
    notes.push_back("its ICC profile is damaged and is left out");
    read.iccProfile.clear();
  }
  metadata = std::move(read);
  return true;
}

void metadataForFormat(ImageFormat format, ImageMetadata& metadata, const HostImage& picture, bool turnedUpright,
                       std::vector<std::string>& notes) {
  const bool holdsIptc = format == ImageFormat::jpeg || format == ImageFormat::tiff;
  // A PSD document carries its own caption, keywords and software tag, and the profile.
  if (format == ImageFormat::psd && (!metadata.exif.empty() || !metadata.xmp.empty() || !metadata.iptc.empty())) {
    notes.push_back("PSD documents get their own caption, keywords and software tag: the EXIF, XMP and IPTC are left out");
    metadata.iptc.clear();
  }
  if (!holdsIptc && !metadata.iptc.empty()) {
    notes.push_back(std::string(formatName(format)) + " files have no place for IPTC data: it is left out");
    metadata.iptc.clear();
  }
  // Text chunks are PNG's own; other formats have no general place for them.
  if (format != ImageFormat::png) metadata.texts.clear();
  metadataForOutput(metadata, picture.width, picture.height, turnedUpright, holdsIptc);
  if (format != ImageFormat::jpeg) return;
  auto drop = [&](bool fits, auto& block, const char* name) {
    if (fits || block.empty()) return;
    notes.push_back(std::string("its ") + name + " is too large for a JPEG segment and is left out");
    block.clear();
  };
  drop(fitsJpegSegment(sizeof kJpegExifPrefix, metadata.exif.size()), metadata.exif, "EXIF");
  drop(fitsJpegSegment(sizeof kJpegXmpPrefix, metadata.xmp.size()), metadata.xmp, "XMP");
  drop(fitsJpegSegment(sizeof kJpegIptcPrefix, iptcResourceBlock(metadata.iptc).size()), metadata.iptc, "IPTC");
}

bool outputFormatFor(const std::string& path, ImageFormat& format, std::string& error) {
  const size_t slash = path.find_last_of(kNativeSeparators);
  const size_t dot = path.find_last_of('.');
  std::string extension = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : path.substr(dot);
  std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
  if (extension == ".png") {
    format = ImageFormat::png;
  } else if (extension == ".tif" || extension == ".tiff") {
    format = ImageFormat::tiff;
  } else if (extension == ".jpg" || extension == ".jpeg") {
    format = ImageFormat::jpeg;
  } else if (extension == ".webp") {
    format = ImageFormat::webp;
  } else if (extension == ".psd") {
    format = ImageFormat::psd;
  } else {
    error = "cannot tell the format of " + path + " from its name: end it in .png, .tif, .tiff, .jpg, .jpeg, .webp or .psd";
    return false;
  }
  return true;
}

bool formatNamed(const std::string& name, ImageFormat& format) {
  std::string error;
  return outputFormatFor("." + name, format, error);
}

bool formatHolds(ImageFormat format, const HostImage& image, std::string& error) {
  if (!formatBuiltIn(format, error)) return false;
  if (format == ImageFormat::psd) return psdHoldsPicture(image, error);
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
    error = "JPEG files have no transparency, this image has an alpha channel: write a PNG, TIFF or WebP";
    return false;
  }
  if (format == ImageFormat::webp && image.depth != 8) {
    error = "WebP files hold 8 bits per sample, this image has " + std::to_string(image.depth) +
            ": add --depth 8, or write a PNG or TIFF";
    return false;
  }
  if (format == ImageFormat::webp && (image.width > kLargestWebpSide || image.height > kLargestWebpSide)) {
    error = "WebP files hold at most " + std::to_string(kLargestWebpSide) + " pixels on each side, this image is " +
            std::to_string(image.width) + " x " + std::to_string(image.height) + ": write a PNG, TIFF or JPEG";
    return false;
  }
  return true;
}

bool rowsAsTheyCome(ImageFormat format) { return format == ImageFormat::png || format == ImageFormat::jpeg; }

bool writeImageFile(const std::string& path, ImageFormat format, const HostImage& image, const Compression& compression,
                    const ImageMetadata* metadata, std::string& error, const RowSource* rows) {
  const char* name = path.c_str();
  if (rows && !rowsAsTheyCome(format)) {
    error = std::string(formatName(format)) + " files are written from the whole picture";
    return false;
  }
  switch (format) {
    case ImageFormat::png: return writePng(name, image, metadata, error, rows);
    case ImageFormat::tiff:
      return writeTiff(name, image, metadata, error) && (!metadata || addTiffMetadata(path, *metadata, error));
    case ImageFormat::jpeg: return writeJpeg(name, image, compression.quality, metadata, error, rows);
    case ImageFormat::webp: return writeWebp(name, image, compression.quality, compression.lossless, metadata, error);
    case ImageFormat::psd:
      error = "a PSD document is written with the run's glue mode by writePsdPicture";
      return false;
  }
  return false;
}

bool openImageFile(ImageFile& file, const char* path, const char* mode, std::string& error) {
  file.f = std::fopen(path, mode);
  if (!file.f) error = std::strerror(errno);
  return file.f != nullptr;
}
