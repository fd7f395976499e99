// Writes the fuzzer's seed corpus with our own writer: default and varied settings, with
// and without a thumbnail, and the same files relabelled as older versions so that every
// branch of the version rules has a starting point. Beside them, bare thumbnail streams
// (each followed by the two bytes that give the fuzz target its size) in the kinds of JPEG
// the decoder meets: ours, grey, progressive, subsampled with restart markers, and CMYK,
// which it refuses.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// After <cstdio>: the library's header needs size_t and FILE declared before it.
#include <jpeglib.h>

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

bool writeBytes(const std::string& path, const unsigned char* bytes, size_t size) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(bytes, 1, size, out) == size;
  return std::fclose(out) == 0 && written;
}

// A bare stream of a pattern, then the width and height the fuzz target reads (less one).
enum class Kind { grey, progressive, restarts, cmyk };

bool writeStream(const std::string& path, Kind kind, int width, int height) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* stream = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &stream, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = kind == Kind::grey ? 1 : kind == Kind::cmyk ? 4 : 3;
  c.in_color_space = kind == Kind::grey ? JCS_GRAYSCALE : kind == Kind::cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 75, TRUE);
  if (kind == Kind::progressive) jpeg_simple_progression(&c);
  if (kind == Kind::restarts) c.restart_in_rows = 1;
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(size_t(width) * size_t(c.input_components));
  while (c.next_scanline < c.image_height) {
    for (size_t i = 0; i < row.size(); ++i) row[i] = JSAMPLE((i * 7 + c.next_scanline * 5) & 0xFF);
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<unsigned char> bytes(stream, stream + size);
  std::free(stream);
  bytes.push_back((unsigned char)(width - 1));
  bytes.push_back((unsigned char)(height - 1));
  return writeBytes(path, bytes.data(), bytes.size());
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
  std::vector<uint8_t> ours(jpegBufferSize(kThumbnailSide, kThumbnailSide));
  size_t length = 0;
  ok = ok && encodeThumbnail(thumbnail, ours.data(), ours.size(), length) == noErr;
  ours.resize(length);
  ours.push_back(kThumbnailSide - 1);
  ours.push_back(kThumbnailSide - 1);
  ok = ok && writeBytes(folder + "ours.jpg", ours.data(), ours.size());
  ok = ok && writeStream(folder + "grey.jpg", Kind::grey, 40, 30);
  ok = ok && writeStream(folder + "progressive.jpg", Kind::progressive, 64, 48);
  ok = ok && writeStream(folder + "restarts.jpg", Kind::restarts, 50, 50);
  ok = ok && writeStream(folder + "cmyk.jpg", Kind::cmyk, 16, 16);
  releaseRaster(thumbnail);
  return ok ? 0 : 1;
}
