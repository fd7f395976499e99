// WebP through libwebp: the whole file is decoded from memory, and metadata chunks are
// read and written through its container library (demux and mux).
#include <webp/decode.h>
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/image_formats.h"

namespace {

bool readWhole(const char* path, std::vector<uint8_t>& bytes, std::string& error) {
  ImageFile file;
  if (!openImageFile(file, path, "rb", error)) return false;
  uint8_t buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  if (std::ferror(file.f)) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

std::vector<uint8_t> chunk(const WebPData& data, const char* fourcc) {
  std::vector<uint8_t> bytes;
  WebPDemuxer* demux = WebPDemux(&data);
  if (!demux) return bytes;
  WebPChunkIterator iterator;
  if (WebPDemuxGetChunk(demux, fourcc, 1, &iterator)) {
    bytes.assign(iterator.chunk.bytes, iterator.chunk.bytes + iterator.chunk.size);
    WebPDemuxReleaseChunkIterator(&iterator);
  }
  WebPDemuxDelete(demux);
  return bytes;
}

// The metadata chunks go into the container around the encoded picture. False when the
// library refuses; `out` then holds nothing.
bool wrap(const uint8_t* picture, size_t size, const ImageMetadata& metadata, WebPData& out) {
  WebPMux* mux = WebPMuxNew();
  const WebPData image{picture, size};
  bool done = mux && WebPMuxSetImage(mux, &image, 1) == WEBP_MUX_OK;
  auto add = [&](const char* fourcc, const void* bytes, size_t length) {
    const WebPData data{static_cast<const uint8_t*>(bytes), length};
    if (done && length) done = WebPMuxSetChunk(mux, fourcc, &data, 1) == WEBP_MUX_OK;
  };
  add("ICCP", metadata.iccProfile.data(), metadata.iccProfile.size());
  add("EXIF", metadata.exif.data(), metadata.exif.size());
  add("XMP ", metadata.xmp.data(), metadata.xmp.size());
  WebPDataInit(&out);
  done = done && WebPMuxAssemble(mux, &out) == WEBP_MUX_OK;
  if (!done) WebPDataClear(&out);
  WebPMuxDelete(mux);
  return done;
}

}  // namespace

bool readWebp(const char* path, HostImage& image, ImageMetadata* metadata, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!readWhole(path, bytes, error)) return false;
  WebPBitstreamFeatures features;
  if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) {
    error = "damaged or truncated WebP data";
    return false;
  }
  if (features.has_animation) {
    error = "animated WebP files are not supported";
    return false;
  }
  if (std::string size = imageSizeProblem(uint32_t(features.width), uint32_t(features.height)); !size.empty()) {
    error = size;
    return false;
  }
  HostImage result = makeHostImage(features.width, features.height, 8, 3, features.has_alpha != 0);
  uint8_t* const out = result.samples.data();
  const size_t outSize = result.samples.size();
  // The decoder checks the picture against the size the container announced.
  const uint8_t* decoded =
      features.has_alpha ? WebPDecodeRGBAInto(bytes.data(), bytes.size(), out, outSize, result.rowBytes())
                         : WebPDecodeRGBInto(bytes.data(), bytes.size(), out, outSize, result.rowBytes());
  if (!decoded) {
    error = "damaged or truncated WebP data";
    return false;
  }
  if (metadata) metadata->iccProfile = chunk(WebPData{bytes.data(), bytes.size()}, "ICCP");
  image = std::move(result);
  return true;
}

bool writeWebp(const char* path, const HostImage& image, int quality, bool lossless, const ImageMetadata* metadata,
               std::string& error) {
  // WebP has no grey pictures.
  const int channels = 3 + (image.transparency ? 1 : 0);
  std::vector<uint8_t> pixels(size_t(image.width) * image.height * channels);
  const uint8_t* in = image.samples.data();
  for (uint8_t* out = pixels.data(); out < pixels.data() + pixels.size(); out += channels, in += image.planes()) {
    for (int c = 0; c < 3; ++c) out[c] = in[image.colourPlanes == 1 ? 0 : c];
    if (image.transparency) out[3] = in[image.colourPlanes];
  }
  const int stride = image.width * channels;
  uint8_t* encoded = nullptr;
  size_t size = 0;
  if (lossless)
    size = image.transparency ? WebPEncodeLosslessRGBA(pixels.data(), image.width, image.height, stride, &encoded)
                              : WebPEncodeLosslessRGB(pixels.data(), image.width, image.height, stride, &encoded);
  else
    size = image.transparency ? WebPEncodeRGBA(pixels.data(), image.width, image.height, stride, float(quality), &encoded)
                              : WebPEncodeRGB(pixels.data(), image.width, image.height, stride, float(quality), &encoded);
  if (size == 0) {
    WebPFree(encoded);
    error = "the WebP encoder failed";
    return false;
  }
  WebPData file{encoded, size};
  WebPData wrapped;
  const bool withMetadata = metadata && (!metadata->iccProfile.empty() || !metadata->exif.empty() || !metadata->xmp.empty());
  if (withMetadata) {
    if (!wrap(encoded, size, *metadata, wrapped)) {
      WebPFree(encoded);
      error = "the WebP container refused the metadata";
      return false;
    }
    file = wrapped;
  }
  ImageFile out;
  bool written = openImageFile(out, path, "wb", error);
  written = written && std::fwrite(file.bytes, 1, file.size, out.f) == file.size && std::fflush(out.f) == 0;
  if (withMetadata) WebPDataClear(&wrapped);
  WebPFree(encoded);
  if (!written) {
    if (error.empty()) error = std::strerror(errno);
    return false;
  }
  const bool closed = std::fclose(out.f) == 0;
  out.f = nullptr;
  if (!closed) error = std::strerror(errno);
  return closed;
}
