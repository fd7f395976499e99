// PNG through libpng. libpng reports errors by longjmp, so the work that may jump happens
// in functions whose frames hold no object with a destructor; the callers own everything.
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
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

// A chunk may announce any length, and libpng allocates what it announces before reading
// it: a few damaged bytes would ask for gigabytes. Its own buffers (a chunk, a row, an
// inflated profile) stay far below this in any real file; our pixels are not among them.
constexpr png_alloc_size_t kLargestPngBuffer = 64 << 20;

png_voidp limitedMalloc(png_structp, png_alloc_size_t size) {
  return size > kLargestPngBuffer ? nullptr : std::malloc(size);
}

void limitedFree(png_structp, png_voidp p) { std::free(p); }

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
  png_read_end(png, info);  // text after the pixels lands in `info` too
  return true;
}

// Keywords whose text is read elsewhere (XMP and the raw profiles by exiv2) or written anew.
bool textCarriedElsewhere(const char* keyword) {
  return std::strcmp(keyword, "XML:com.adobe.xmp") == 0 || std::strncmp(keyword, "Raw profile type", 16) == 0 ||
         std::strcmp(keyword, "Software") == 0;
}

void collectMetadata(png_structp png, png_infop info, ImageMetadata& metadata) {
  png_charp name = nullptr;
  int compression = 0;
  png_bytep profile = nullptr;
  png_uint_32 profileSize = 0;
  if (png_get_iCCP(png, info, &name, &compression, &profile, &profileSize)) metadata.iccProfile.assign(profile, profile + profileSize);
  png_uint_32 x = 0, y = 0;
  int unit = 0;
  if (png_get_pHYs(png, info, &x, &y, &unit) && unit == PNG_RESOLUTION_METER) {
    metadata.xDpi = dotsPerInch(x / 100.0, true);
    metadata.yDpi = dotsPerInch(y / 100.0, true);
  }
  png_textp texts = nullptr;
  const int count = png_get_text(png, info, &texts, nullptr);
  for (int i = 0; i < count; ++i) {
    if (textCarriedElsewhere(texts[i].key)) continue;
    const bool international = texts[i].compression == PNG_ITXT_COMPRESSION_NONE || texts[i].compression == PNG_ITXT_COMPRESSION_zTXt;
    const size_t length = international ? texts[i].itxt_length : texts[i].text_length;
    metadata.texts.push_back({texts[i].key, std::string(texts[i].text ? texts[i].text : "", length), international});
  }
}

// The text chunks of an output; they point into `metadata`.
std::vector<png_text> textChunks(const ImageMetadata& metadata) {
  std::vector<png_text> chunks;
  auto add = [&](const char* key, const std::string& text, bool international) {
    png_text chunk{};
    chunk.compression = international ? PNG_ITXT_COMPRESSION_NONE : PNG_TEXT_COMPRESSION_NONE;
    chunk.key = const_cast<png_charp>(key);
    chunk.text = const_cast<png_charp>(text.c_str());
    (international ? chunk.itxt_length : chunk.text_length) = text.size();
    chunks.push_back(chunk);
  };
  static const std::string software = kSoftwareName;
  add("Software", software, false);
  for (const TextChunk& t : metadata.texts) add(t.keyword.c_str(), t.text, t.international);
  if (!metadata.xmp.empty()) add("XML:com.adobe.xmp", metadata.xmp, true);
  return chunks;
}

void describeMetadata(png_structp png, png_infop info, const ImageMetadata& metadata, std::vector<png_text>& chunks) {
  if (!metadata.iccProfile.empty())
    png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, metadata.iccProfile.data(),
                 png_uint_32(metadata.iccProfile.size()));
  if (!metadata.exif.empty())
    png_set_eXIf_1(png, info, png_uint_32(metadata.exif.size()), const_cast<png_bytep>(metadata.exif.data()));
  // A resolution read from another file may be absurd; the chunk holds at most 2^31 - 1.
  const auto perMetre = [](double dpi) { return png_uint_32(std::clamp(dpi / 0.0254 + 0.5, 1.0, 2147483647.0)); };
  if (metadata.xDpi > 0 && metadata.yDpi > 0)
    png_set_pHYs(png, info, perMetre(metadata.xDpi), perMetre(metadata.yDpi), PNG_RESOLUTION_METER);
  png_set_text(png, info, chunks.data(), int(chunks.size()));
}

bool encode(png_structp png, png_infop info, FILE* file, PngTrap& trap, const HostImage& image,
            const ImageMetadata* metadata, std::vector<png_text>& chunks, std::vector<uint16_t>& row16,
            const RowSource* rows) {
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
  // A profile libpng finds at odds with the image is left out with a warning, not an error.
  png_set_benign_errors(png, 1);
  if (metadata) describeMetadata(png, info, *metadata, chunks);
  png_write_info(png, info);
  if (image.depth == 16) png_set_swap(png);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = rows ? (*rows)(y) : image.samples.data() + size_t(y) * image.rowBytes();
    if (!row) {
      std::snprintf(trap.message, sizeof trap.message, "the picture's rows did not all come");
      return false;
    }
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

bool readPng(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error) {
  ImageFile file;
  if (!openImageFile(file, path, "rb", error)) return false;
  PngTrap trap{};
  png_structp png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &trap, pngError, pngWarning, nullptr,
                                             limitedMalloc, limitedFree);
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
  if (decoded && metadata) collectMetadata(png, info, *metadata);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!decoded) {
    error = !sizeProblem.empty() ? sizeProblem : std::string("damaged or truncated PNG data (") + trap.message + ")";
    return false;
  }
  samplesFromFile(result);
  image = std::move(result);
  return true;
}

bool writePng(const char* path, const HostImage& image, const ImageMetadata* metadata, std::string& error,
              const RowSource* rows) {
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
  std::vector<png_text> chunks = metadata ? textChunks(*metadata) : std::vector<png_text>{};
  const bool encoded = encode(png, info, file.f, trap, image, metadata, chunks, row16, rows);
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
