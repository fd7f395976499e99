// Writes the fuzzer's seed corpus with our own writer: default and varied settings, with
// and without a thumbnail, and the same files relabelled as older versions so that every
// branch of the version rules has a starting point.
#include <cstdio>
#include <string>
#include <vector>

#include "files/thumbnail.h"
#include "host/settings_file.h"
#include "raster/kernels.h"
#include "raster/raster.h"

static bool relabel(const std::string& from, const std::string& to, int32_t version) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return false;
  std::vector<unsigned char> bytes;
  for (int c; (c = std::fgetc(in)) != EOF;) bytes.push_back(static_cast<unsigned char>(c));
  std::fclose(in);
  if (bytes.size() < 4) return false;
  bytes[0] = bytes[1] = bytes[2] = 0;
  bytes[3] = static_cast<unsigned char>(version);
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  static KernelTables kernels;
  buildKernelTables(kernels);
  Raster thumbnail{};
  thumbnail.kernels = &kernels;
  if (!createRaster(thumbnail, kThumbnailSide, kThumbnailSide, kFormatRgba8, kEdgeClamp, false)) return 1;
  for (int32_t y = 0; y < kThumbnailSide; ++y)
    for (int32_t x = 0; x < kThumbnailSide; ++x)
      setPixel(x, y, thumbnail, 0, uint8_t(2 * x), uint8_t(255 - 2 * y), uint8_t((x ^ y) & 0xFF), 255);

  Settings settings{};
  applyDefaultSettings(settings);
  bool ok = writeSettingsFile((folder + "defaults.q8r").c_str(), settings, nullptr) == noErr;
  settings.glue = 17;
  settings.rippleHeight = 90;
  settings.centreX = 0.75f;
  settings.randomSeed = 123456;
  ok = ok && writeSettingsFile((folder + "varied.q8r").c_str(), settings, nullptr) == noErr;
  ok = ok && writeSettingsFile((folder + "thumbnail.q8r").c_str(), settings, &thumbnail) == noErr;
  for (int32_t version : {1, 2, 6, 8, 14, 22, 30, 39}) {
    const std::string name = folder + "version" + std::to_string(version) + ".q8r";
    ok = ok && relabel(folder + "varied.q8r", name, version);
  }
  releaseRaster(thumbnail);
  return ok ? 0 : 1;
}
