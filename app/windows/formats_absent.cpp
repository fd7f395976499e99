// The formats whose libraries the Windows build lacks (there are no mingw builds of libpng,
// libtiff, libwebp and exiv2 at hand): a file of them is refused by name, and photographs
// keep their profile and resolution but not their EXIF, XMP and IPTC.
#include "app/image_formats.h"

namespace {

bool refuse(ImageFormat format, std::string& error) {
  formatBuiltIn(format, error);
  return false;
}

}  // namespace

bool readPng(const char*, HostImage&, ImageMetadata*, std::string& error) { return refuse(ImageFormat::png, error); }
bool writePng(const char*, const HostImage&, const ImageMetadata*, std::string& error, const RowSource*) {
  return refuse(ImageFormat::png, error);
}
bool readTiff(const char*, HostImage&, ImageMetadata*, std::string& error) { return refuse(ImageFormat::tiff, error); }
bool writeTiff(const char*, const HostImage&, const ImageMetadata*, std::string& error) {
  return refuse(ImageFormat::tiff, error);
}
bool readWebp(const char*, HostImage&, ImageMetadata*, std::string& error) { return refuse(ImageFormat::webp, error); }
bool writeWebp(const char*, const HostImage&, int, bool, const ImageMetadata*, std::string& error) {
  return refuse(ImageFormat::webp, error);
}

void readEmbeddedMetadata(const std::string&, ImageMetadata&, std::string&) {}

// Without a reader of EXIF, XMP and IPTC they cannot be brought up to date, so none is
// written; the reader above reads none.
void metadataForOutput(ImageMetadata& metadata, int32_t, int32_t, bool, bool) {
  metadata.exif.clear();
  metadata.xmp.clear();
  metadata.iptc.clear();
}

std::vector<uint8_t> iptcResourceBlock(const std::vector<uint8_t>&) { return {}; }

bool addTiffMetadata(const std::string&, const ImageMetadata&, std::string& error) {
  return refuse(ImageFormat::tiff, error);
}
