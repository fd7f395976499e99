#include "host/picture_thumbnail.h"

#include <vector>

#include "files/file_io.h"
#include "files/thumbnail.h"
#include "host/render_job.h"
#include "host/settings_file.h"
#include "raster/kernels.h"

OSErr writeSettingsFileWithPicture(const char* path, const Settings& settings, const uint8_t* rgba, int32_t width,
                                   int32_t height) {
  if (!rgba || width < 1 || height < 1) return kErrCannotOpen;
  // The preview shows every scale-th pixel of every scale-th row, as a host reduces.
  const int32_t scale = reductionToFit(width, height, kPreviewAreaWidth, kPreviewAreaHeight);
  const int32_t side = std::max(1, std::min(width / scale, height / scale));
  std::vector<uint8_t> square(size_t(side) * size_t(side) * 4);
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) {
      const uint8_t* from = rgba + 4 * (size_t(y) * size_t(scale) * size_t(width) + size_t(x) * size_t(scale));
      uint8_t* to = &square[4 * (size_t(y) * size_t(side) + size_t(x))];
      to[0] = from[0], to[1] = from[1], to[2] = from[2], to[3] = 255;
    }
  KernelTables kernels;
  buildKernelTables(kernels);
  Raster thumbnail{};
  thumbnail.kernels = &kernels;
  if (!createRaster(thumbnail, kThumbnailSide, kThumbnailSide, kFormatRgba8, kEdgeClamp, false)) return kErrNoMemory;
  const bool placed = placeThumbnail(square.data(), side, side, thumbnail);
  const OSErr result = placed ? writeSettingsFile(path, settings, &thumbnail) : OSErr(kErrNoMemory);
  releaseRaster(thumbnail);
  return result;
}
