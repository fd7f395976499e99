// PNG through libpng. libpng reports errors by longjmp, so the work that may jump happens
// in functions whose frames hold no object with a destructor; the callers own everything.
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/image_formats.h"
#include "app/sample_depth.h"

namespace {

struct PngTrap {
  std::jmp_buf jump;
  char message[160];
};

void pngError(png_structp png, png_const_charp message) {
  auto* trap = static_cast<PngTrap*>(png_get_error_ptr(png));
  std::snprintf(trap->message, sizeof trap->message, "%s", message);
  std::longjmp(trap->jump, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Reads the header, then (when the size is acceptable) the pixels into `image`. Returns
// false with trap.message set, or with an empty message and `sizeProblem` set.
bool decode(png_structp png, png_infop info, FILE* file, PngTrap& trap, HostImage& image,
            std::vector<png_bytep>& rows, std::string& sizeProblem) {
  if (setjmp(trap.jump)) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  sizeProblem = imageSizeProblem(width, height);
  if (!sizeProblem.empty()) return false;
  const int type = png_get_color_type(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (png_get_bit_depth(png, info) == 16) png_set_swap(png);  // libpng hands out big-endian samples
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const int channels = png_get_channels(png, info);
  const bool alpha = channels == 2 || channels == 4;
  image = makeHostImage(int32_t(width), int32_t(height), png_get_bit_depth(png, info), channels - (alpha ? 1 : 0), alpha);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = image.samples.data() + size_t(y) * image.rowBytes();
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  return true;
}

bool encode(png_structp png, png_infop info, FILE* file, PngTrap& trap, const HostImage& image,
            std::vector<uint16_t>& row16) {
  if (setjmp(trap.jump)) return false;
  png_init_io(png, file);
  const int type = image.colourPlanes == 1 ? (image.transparency ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_GRAY)
                                           : (image.transparency ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), image.depth, type, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Large renders are written often and read rarely. On rendered 4000 x 3000 pictures the
  // fastest zlib level with the "sub" filter alone writes in a quarter of the time of level
  // 3 with adaptive filtering, at about the same size; level 6 would be 20 % smaller and
  // nine times slower.
  png_set_compression_level(png, 1);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_write_info(png, info);
  if (image.depth == 16) png_set_swap(png);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.samples.data() + size_t(y) * image.rowBytes();
    if (image.depth == 16) {
      std::memcpy(row16.data(), row, row16.size() * 2);
      for (uint16_t& s : row16) s = fileFrom16(s);
      row = reinterpret_cast<const uint8_t*>(row16.data());
    }
    png_write_row(png, const_cast<png_bytep>(row));
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool readPng(const char* path, HostImage& image, std::string& error) {
  ImageFile file;
  if (!openImageFile(file, path, "rb", error)) return false;
  PngTrap trap{};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &trap, pngError, pngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = "out of memory";
    return false;
  }
  HostImage result;
  std::vector<png_bytep> rows;
  std::string sizeProblem;
  const bool decoded = decode(png, info, file.f, trap, result, rows, sizeProblem);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!decoded) {
    error = !sizeProblem.empty() ? sizeProblem : std::string("damaged or truncated PNG data (") + trap.message + ")";
    return false;
  }
  samplesFromFile(result);
  image = std::move(result);
  return true;
}

bool writePng(const char* path, const HostImage& image, std::string& error) {
  ImageFile file;
  if (!openImageFile(file, path, "wb", error)) return false;
  PngTrap trap{};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &trap, pngError, pngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = "out of memory";
    return false;
  }
  std::vector<uint16_t> row16(image.depth == 16 ? size_t(image.width) * image.planes() : 0);
  const bool encoded = encode(png, info, file.f, trap, image, row16);
  png_destroy_write_struct(&png, &info);
  if (!encoded) {
    error = trap.message;
    return false;
  }
  const bool written = !std::ferror(file.f);
  const bool closed = std::fclose(file.f) == 0;
  file.f = nullptr;
  if (!written || !closed) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}
