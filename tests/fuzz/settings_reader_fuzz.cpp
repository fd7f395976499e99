// libFuzzer target: settings files travel between people, so the reader must survive any
// bytes. Each input is read in both modes into a real thumbnail raster, through an
// in-memory file so that no disk is touched.
#include <sys/mman.h>
#include <unistd.h>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture* fixture = new Fixture;
  if (fixture->fd < 0 || ftruncate(fixture->fd, 0) != 0) return 0;
  if (pwrite(fixture->fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;

  for (int32_t mode : {kReadSettingsAndThumbnail, kReadThumbnailOnly}) {
    Settings settings;
    std::memset(&settings, 0, sizeof settings);
    Settings before = settings;
    ThumbnailRead found{};
    const OSErr result = readSettingsFile(fixture->path, mode, settings, &fixture->thumbnail, found);
    if (result != noErr && result != readErr) __builtin_trap();
    if (found.width < 0 || found.width > kThumbnailSide || found.height < 0 || found.height > kThumbnailSide)
      __builtin_trap();
    if (mode == kReadThumbnailOnly && std::memcmp(&settings, &before, sizeof settings) != 0) __builtin_trap();
  }
  return 0;
}
