// JPEG through libjpeg. Fatal errors jump back to the setjmp of the call that started the
// work. A truncated or damaged file only raises warnings in the library, which then makes
// up the missing pixels; here such a warning ends the read, so that nobody gets a picture
// with a grey band in it. Only stray bytes between markers are let through: the pixels are
// all there.
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/image_formats.h"

namespace {

struct Trap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpegFatal(j_common_ptr object) {
  auto* trap = reinterpret_cast<Trap*>(object->err);
  (*object->err->format_message)(object, trap->message);
  std::longjmp(trap->jump, 1);
}

void jpegMessage(j_common_ptr object, int level) {
  if (level >= 0 || object->err->msg_code == JWRN_EXTRANEOUS_DATA) return;
  jpegFatal(object);
}

jpeg_error_mgr* installTrap(Trap& trap) {
  jpeg_std_error(&trap.manager);
  trap.manager.error_exit = jpegFatal;
  trap.manager.emit_message = jpegMessage;
  trap.message[0] = 0;
  return &trap.manager;
}

// What the library reads besides the pixels; the profile is the library's allocation.
struct JpegExtras {
  JOCTET* profile = nullptr;
  unsigned profileSize = 0;
  double xDpi = 0, yDpi = 0;
};

// The work that may jump: its frame holds nothing with a destructor. False with
// trap.message set, or with an empty message and `problem` set.
bool decode(jpeg_decompress_struct& info, FILE* file, Trap& trap, HostImage& image, JpegExtras* extras,
            std::string& problem) {
  if (setjmp(trap.jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  if (extras) jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  if (extras) {
    jpeg_read_icc_profile(&info, &extras->profile, &extras->profileSize);
    // Density unit 0 gives only the aspect ratio.
    if (info.saw_JFIF_marker && info.density_unit != 0 && info.X_density && info.Y_density) {
      extras->xDpi = dotsPerInch(info.X_density, info.density_unit == 2);
      extras->yDpi = dotsPerInch(info.Y_density, info.density_unit == 2);
    }
  }
  const bool grey = info.jpeg_color_space == JCS_GRAYSCALE;
  if (!grey && info.num_components != 3) {
    problem = "only grey and RGB JPEG images are supported (this one has " + std::to_string(info.num_components) +
              " colour components)";
    return false;
  }
  problem = imageSizeProblem(info.image_width, info.image_height);
  if (!problem.empty()) return false;
  info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&info);
  image = makeHostImage(int32_t(info.output_width), int32_t(info.output_height), 8, grey ? 1 : 3, false);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.samples.data() + size_t(info.output_scanline) * image.rowBytes();
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

// The marker segments of an output, ready to be written.
struct JpegMarkers {
  std::vector<uint8_t> exif, xmp, iptc;
  const ImageMetadata* metadata = nullptr;
};

// The metadata has been fitted to the format (fitMetadata): every block fits its segment.
JpegMarkers jpegMarkers(const ImageMetadata& metadata) {
  JpegMarkers markers;
  markers.metadata = &metadata;
  auto fill = [](std::vector<uint8_t>& segment, const char* prefix, size_t prefixSize, const void* data, size_t size) {
    if (size == 0) return;
    segment.assign(prefix, prefix + prefixSize);
    segment.insert(segment.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  };
  fill(markers.exif, kJpegExifPrefix, sizeof kJpegExifPrefix, metadata.exif.data(), metadata.exif.size());
  fill(markers.xmp, kJpegXmpPrefix, sizeof kJpegXmpPrefix, metadata.xmp.data(), metadata.xmp.size());
  const std::vector<uint8_t> resources = metadata.iptc.empty() ? std::vector<uint8_t>{} : iptcResourceBlock(metadata.iptc);
  fill(markers.iptc, kJpegIptcPrefix, sizeof kJpegIptcPrefix, resources.data(), resources.size());
  return markers;
}

bool encode(jpeg_compress_struct& info, FILE* file, Trap& trap, const HostImage& image, int quality,
            const JpegMarkers& markers, const RowSource* rows) {
  if (setjmp(trap.jump)) return false;
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = JDIMENSION(image.width);
  info.image_height = JDIMENSION(image.height);
  info.input_components = image.colourPlanes;
  info.in_color_space = image.colourPlanes == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  const ImageMetadata* metadata = markers.metadata;
  if (metadata && metadata->xDpi > 0 && metadata->yDpi > 0) {
    info.density_unit = 1;
    info.X_density = UINT16(std::clamp(metadata->xDpi + 0.5, 1.0, 65535.0));
    info.Y_density = UINT16(std::clamp(metadata->yDpi + 0.5, 1.0, 65535.0));
  }
  jpeg_start_compress(&info, TRUE);
  for (const std::vector<uint8_t>* segment : {&markers.exif, &markers.xmp})
    if (!segment->empty()) jpeg_write_marker(&info, JPEG_APP0 + 1, segment->data(), unsigned(segment->size()));
  if (metadata && !metadata->iccProfile.empty())
    jpeg_write_icc_profile(&info, metadata->iccProfile.data(), unsigned(metadata->iccProfile.size()));
  if (!markers.iptc.empty()) jpeg_write_marker(&info, JPEG_APP0 + 13, markers.iptc.data(), unsigned(markers.iptc.size()));
  while (info.next_scanline < info.image_height) {
    const int32_t y = int32_t(info.next_scanline);
    JSAMPROW row = const_cast<JSAMPROW>(rows ? (*rows)(y) : image.samples.data() + size_t(y) * image.rowBytes());
    if (!row) {
      std::snprintf(trap.message, sizeof trap.message, "the picture's rows did not all come");
      return false;
    }
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

bool readJpeg(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error) {
  ImageFile file;
  if (!openImageFile(file, path, "rb", error)) return false;
  jpeg_decompress_struct info{};
  Trap trap;
  info.err = installTrap(trap);
  HostImage result;
  std::string problem;
  JpegExtras extras;
  const bool decoded = decode(info, file.f, trap, result, metadata ? &extras : nullptr, problem);
  jpeg_destroy_decompress(&info);
  if (extras.profile) {
    if (decoded) metadata->iccProfile.assign(extras.profile, extras.profile + extras.profileSize);
    std::free(extras.profile);
  }
  if (decoded && metadata) {
    metadata->xDpi = extras.xDpi;
    metadata->yDpi = extras.yDpi;
  }
  if (!decoded) {
    error = !problem.empty() ? problem : std::string("damaged or truncated JPEG data (") + trap.message + ")";
    return false;
  }
  image = std::move(result);
  return true;
}

bool writeJpeg(const char* path, const HostImage& image, int quality, const ImageMetadata* metadata,
               std::string& error, const RowSource* rows) {
  ImageFile file;
  if (!openImageFile(file, path, "wb", error)) return false;
  jpeg_compress_struct info{};
  Trap trap;
  info.err = installTrap(trap);
  const JpegMarkers markers = metadata ? jpegMarkers(*metadata) : JpegMarkers{};
  const bool encoded = encode(info, file.f, trap, image, quality, markers, rows);
  jpeg_destroy_compress(&info);
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

