// libFuzzer target: photographs come from anywhere, and their metadata is the part of them
// that the most code reads. Each input is read as an image file with its metadata (format
// readers, exiv2, the profile check), turned upright, and written back in every format
// with the metadata brought up to date, through in-memory files.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "app/image_files.h"
#include "app/orientation.h"
#include "app/sample_depth.h"

namespace {

struct MemoryFile {
  int fd = memfd_create("photo", 0);
  char path[64];
  MemoryFile() { std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryFile* input = new MemoryFile;
  static MemoryFile* output = new MemoryFile;
  if (input->fd < 0 || output->fd < 0 || ftruncate(input->fd, 0) != 0) return 0;
  if (pwrite(input->fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;

  HostImage image;
  ImageMetadata metadata;
  std::vector<std::string> notes;
  std::string error;
  if (!readImageWithMetadata(input->path, image, metadata, notes, error)) return 0;
  // Large pictures only cost time; their pixels say nothing about the metadata.
  if (size_t(image.width) * size_t(image.height) > 256 * 256) return 0;
  image = turnUpright(image, metadata.orientation);
  for (ImageFormat format : {ImageFormat::png, ImageFormat::tiff, ImageFormat::jpeg, ImageFormat::webp}) {
    HostImage picture = image;
    if (format == ImageFormat::jpeg || format == ImageFormat::webp) picture = convertDepth(picture, 8);
    if (!formatHolds(format, picture, error)) continue;
    ImageMetadata kept = metadata;
    metadataForFormat(format, kept, picture, true, notes);
    if (ftruncate(output->fd, 0) != 0) return 0;
    writeImageFile(output->path, format, picture, {80, false}, &kept, error);
  }
  return 0;
}
