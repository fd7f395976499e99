// libFuzzer target: settings files travel between people, so the reader must survive any
// bytes. Each input is read in both modes into a real thumbnail raster, through an
// in-memory file so that no disk is touched, and the thumbnail is then read out as the
// panel draws it.
//
// An input that begins as a JPEG stream (FF D8) goes straight to the thumbnail decoder, at
// the size a thumbnail block would state, taken from the input's last two bytes: inside a
// settings file a damaged stream is hard to reach, as every mutation of the file's frame
// ends the read before the decoder.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "files/thumbnail.h"
#include "host/settings_file.h"
#include "raster/kernels.h"
#include "raster/raster.h"

namespace {

struct Fixture {
  KernelTables kernels;
  Raster thumbnail{};
  int fd = -1;
  char path[64];

  Fixture() {
    buildKernelTables(kernels);
    thumbnail.kernels = &kernels;
    createRaster(thumbnail, kThumbnailSide, kThumbnailSide, kFormatRgba8, kEdgeClamp, false);
    fd = memfd_create("settings", 0);
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  }
};

// Whatever was read, the thumbnail holds a whole opaque picture: the decoded part over the
// blank gradient.
void checkThumbnail(const Raster& thumbnail) {
  if (levelWidth(thumbnail, 0) != kThumbnailSide || levelHeight(thumbnail, 0) != kThumbnailSide) __builtin_trap();
  static uint8_t rgb[kThumbnailSide * kThumbnailSide * 3];
  thumbnailRgb(thumbnail, rgb);
  for (int32_t y = 0; y < kThumbnailSide; y += 7)
    for (int32_t x = 0; x < kThumbnailSide; x += 7)
      if (getPixel(x, y, thumbnail, 0).a != 255) __builtin_trap();
}

void decodeStream(Fixture& fixture, const uint8_t* data, size_t size) {
  const int32_t width = 1 + data[size - 2] % kThumbnailSide, height = 1 + data[size - 1] % kThumbnailSide;
  resetToBlankThumbnail(fixture.thumbnail);
  decodeThumbnail(data, std::min(size, kThumbnailStreamLimit), width, height, fixture.thumbnail);
  checkThumbnail(fixture.thumbnail);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture* fixture = new Fixture;
  if (size >= 4 && data[0] == 0xFF && data[1] == 0xD8) {
    decodeStream(*fixture, data, size);
    return 0;
  }
  if (fixture->fd < 0 || ftruncate(fixture->fd, 0) != 0) return 0;
  if (pwrite(fixture->fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;

  for (int32_t mode : {kReadSettingsAndThumbnail, kReadThumbnailOnly}) {
    Settings settings;
    std::memset(&settings, 0, sizeof settings);
    Settings before = settings;
    ThumbnailRead found{};
    resetToBlankThumbnail(fixture->thumbnail);
    const OSErr result = readSettingsFile(fixture->path, mode, settings, &fixture->thumbnail, found);
    if (result != noErr && result != readErr) __builtin_trap();
    if (found.width < 0 || found.width > kThumbnailSide || found.height < 0 || found.height > kThumbnailSide)
      __builtin_trap();
    if (mode == kReadThumbnailOnly && std::memcmp(&settings, &before, sizeof settings) != 0) __builtin_trap();
    checkThumbnail(fixture->thumbnail);
  }
  return 0;
}
