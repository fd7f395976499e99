#include "files/psd_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "files/big_endian_bytes.h"
#include "files/file_system.h"
#include "files/psd_tables.h"

void addExportKeywords(KeywordList& keywords, uint8_t bytesPerChannel, const char* glueName) {
  if (bytesPerChannel == 4) {
    addKeyword(keywords, "HDR");
    addKeyword(keywords, "high dynamic range");
  }
  if (glueName && std::strcmp(glueName, "normal") != 0) addKeyword(keywords, glueName);
}

namespace {

// Photoshop's own limit for the format: every length in the file is a 32-bit field, and
// readers take some of them as signed.
constexpr int64_t kLargestPsdFile = INT32_MAX;

constexpr char kLayerName[] = "layer 1";

void appendWords(ByteVector& out, std::span<const uint16_t> words) {
  for (uint16_t w : words) appendBigEndian16(out, w);
}

void appendSignature(ByteVector& out, const char* key) {
  appendBytes(out, "8BIM", 4);
  appendBytes(out, key, 4);
}

// A resource's data is padded to an even length, and the pad is not counted in its length.
void appendResource(ByteVector& out, uint16_t id, const void* data, size_t size) {
  appendBytes(out, "8BIM", 4);
  appendBigEndian16(out, id);
  appendBigEndian16(out, 0);  // empty name
  appendBigEndian32(out, static_cast<uint32_t>(size));
  appendBytes(out, data, size);
  if (size % 2) out.push_back(0);
}

void appendWordResource(ByteVector& out, uint16_t id, std::span<const uint16_t> words) {
  ByteVector data;
  appendWords(data, words);
  appendResource(out, id, data.data(), data.size());
}

ByteVector imageResources(const ExportDescriptor& d, const PsdMetadata& m) {
  ByteVector out;
  appendWordResource(out, 1001, kPsdPrintRecord);
  // 72 dots per inch as 16.16 fixed, shown in inches, across and down.
  static constexpr uint16_t resolution[] = {0x0048, 0, 1, 1, 0x0048, 0, 1, 1};
  appendWordResource(out, 1005, resolution);
  static constexpr uint8_t printFlags[9] = {0, 0, 0, 0, 0, 0, 0, 0, 1};
  appendResource(out, 1011, printFlags, sizeof printFlags);
  // One unchanged transfer curve for each of the four inks.
  uint16_t transfer[56];
  for (int ink = 0; ink < 4; ++ink) {
    uint16_t* curve = transfer + ink * 14;
    curve[0] = 0;
    for (int i = 1; i <= 11; ++i) curve[i] = 0xFFFF;
    curve[12] = 1000;
    curve[13] = 0;
  }
  appendWordResource(out, 1016, transfer);
  appendResource(out, 1035, kMakerWebAddress, std::strlen(kMakerWebAddress));
  if (m.iccProfile && m.iccSize > 0) appendResource(out, 1039, m.iccProfile, static_cast<size_t>(m.iccSize));
  const ByteVector iptc = buildIptcBlock(m.keywords, m.date, false);
  appendBytes(out, iptc.data(), iptc.size());
  const ByteVector exif = buildExifBlock(false);
  appendResource(out, 1058, exif.data(), exif.size());
  if (d.bytesPerChannel == 4) {
    static constexpr uint8_t versionInfo[6] = {0, 1, 0, 0, 0, 0x0C};
    appendResource(out, 1069, versionInfo, sizeof versionInfo);
    const uint8_t layerVisible[kPsdLayerCount] = {1};
    appendResource(out, 1072, layerVisible, kPsdLayerCount);
  }
  static constexpr uint16_t layerState[] = {kPsdLayerCount};
  appendWordResource(out, 1024, layerState);
  static constexpr uint16_t layerGroups[kPsdLayerCount] = {};
  appendWordResource(out, 1026, layerGroups);
  return out;
}

int64_t channelBytes(const ExportDescriptor& d) { return 2 + int64_t(d.width) * d.height * d.bytesPerChannel; }

int64_t paddedNameLength() { return (1 + int64_t(std::strlen(kLayerName)) + 3) / 4 * 4; }

// The layer-info body: the layer count, the layer records, the channel data.
int64_t layerInfoLength(const ExportDescriptor& d) {
  const int64_t record = 82 + 6 * kPsdChannelsPerLayer + paddedNameLength();
  return 2 + kPsdLayerCount * (record + kPsdChannelsPerLayer * channelBytes(d));
}

int64_t roundUp4(int64_t n) { return (n + 3) / 4 * 4; }

int64_t layerSectionLength(const ExportDescriptor& d) {
  const int64_t body = layerInfoLength(d);
  switch (d.bytesPerChannel) {
    case 1: return body + 8;
    case 2: return 20 + 8 + roundUp4(4 + body);
    default: return 20 + 48 + roundUp4(4 + body);
  }
}

int32_t mergedPlanes(const ExportDescriptor& d) { return d.bytesPerChannel == 2 ? 4 : 3; }

void appendLayerRecord(ByteVector& out, const ExportDescriptor& d) {
  appendBigEndian32(out, 0);  // top
  appendBigEndian32(out, 0);  // left
  appendBigEndian32(out, static_cast<uint32_t>(d.height));
  appendBigEndian32(out, static_cast<uint32_t>(d.width));
  appendBigEndian16(out, kPsdChannelsPerLayer);
  static constexpr int16_t ids[kPsdChannelsPerLayer] = {-1, 0, 1, 2};
  for (int16_t id : ids) {
    appendBigEndian16(out, static_cast<uint16_t>(id));
    appendBigEndian32(out, static_cast<uint32_t>(channelBytes(d)));
  }
  appendSignature(out, "norm");
  out.push_back(255);                                  // opacity
  out.push_back(0);                                    // clipping
  out.push_back(d.bytesPerChannel == 4 ? 0x08 : 0x28);  // flags
  out.push_back(0);                                    // filler
  appendBigEndian32(out, static_cast<uint32_t>(48 + paddedNameLength()));
  appendBigEndian32(out, 0);   // no layer mask
  appendBigEndian32(out, 40);  // blending ranges: grey and the three colours, all open
  for (int i = 0; i < 10; ++i) appendBigEndian32(out, 0x0000FFFF);
  const size_t nameAt = out.size();
  out.push_back(static_cast<uint8_t>(std::strlen(kLayerName)));
  appendBytes(out, kLayerName, std::strlen(kLayerName));
  out.resize(nameAt + static_cast<size_t>(paddedNameLength()), 0);
}

// Everything before the first channel's pixels, in one piece.
ByteVector documentHead(const ExportDescriptor& d, const PsdMetadata& m) {
  ByteVector out;
  appendBytes(out, "8BPS", 4);
  appendBigEndian16(out, 1);
  out.resize(out.size() + 6, 0);
  appendBigEndian16(out, static_cast<uint32_t>(mergedPlanes(d)));
  appendBigEndian32(out, static_cast<uint32_t>(d.height));
  appendBigEndian32(out, static_cast<uint32_t>(d.width));
  appendBigEndian16(out, 8u * d.bytesPerChannel);
  appendBigEndian16(out, 3);  // RGB, also for grey pictures

  if (d.bytesPerChannel == 4) {
    appendBigEndian32(out, static_cast<uint32_t>(kPsdToningRecord.size() * 2));
    appendWords(out, kPsdToningRecord);
  } else {
    appendBigEndian32(out, 0);
  }

  const ByteVector resources = imageResources(d, m);
  appendBigEndian32(out, static_cast<uint32_t>(resources.size()));
  appendBytes(out, resources.data(), resources.size());

  const uint32_t body = static_cast<uint32_t>(layerInfoLength(d));
  appendBigEndian32(out, static_cast<uint32_t>(layerSectionLength(d)));
  if (d.bytesPerChannel == 1) {
    appendBigEndian32(out, body);
  } else {
    // Deep layers live in a tagged block after an empty plain layer info and global mask.
    appendBigEndian32(out, 0);
    appendBigEndian32(out, 0);
    appendSignature(out, d.bytesPerChannel == 2 ? "Mt16" : "Mt32");
    appendBigEndian32(out, 0);
    appendSignature(out, d.bytesPerChannel == 2 ? "Lr16" : "Lr32");
    appendBigEndian32(out, body);
  }
  appendBigEndian16(out, kPsdLayerCount);
  appendLayerRecord(out, d);
  return out;
}

// What follows the channel data of the layers and ends the layer section.
ByteVector layerSectionTail(const ExportDescriptor& d) {
  ByteVector out;
  if (d.bytesPerChannel == 1) {
    appendBigEndian32(out, 0);  // global mask
    return out;
  }
  const int64_t body = layerInfoLength(d);
  out.resize(static_cast<size_t>(roundUp4(4 + body) - 4 - body), 0);
  if (d.bytesPerChannel == 4) {
    appendSignature(out, "LMsk");
    appendBigEndian32(out, 14);
    appendWords(out, kPsdLayerMaskDefaults);
    appendSignature(out, "Pat3");
    appendBigEndian32(out, 0);
  }
  return out;
}

// 16-bit samples on the host's 0..32768 scale, stretched to the file's 0..65535.
uint16_t fileSample16(uint32_t v) { return v >= 32768 ? 65535 : static_cast<uint16_t>(2 * v); }

void storeBigEndian16(uint8_t* out, uint32_t v) {
  out[0] = uint8_t(v >> 8);
  out[1] = uint8_t(v);
}

void storeBigEndian32(uint8_t* out, uint32_t v) {
  storeBigEndian16(out, v >> 16);
  storeBigEndian16(out + 2, v & 0xFFFF);
}

// The planes of the pixel data in file order: the layer's transparency, red, green and
// blue, then the merged picture's red, green and blue (and at 16 bits its opaque fourth).
int32_t pixelPlanes(const ExportDescriptor& d) { return kPsdChannelsPerLayer + mergedPlanes(d); }
constexpr int32_t kMostPlanes = kPsdChannelsPerLayer + 4;

// Bit 3 of x XOR y picks the square: 8 × 8 pixels of white and light grey.
bool darkSquare(int32_t x, int32_t y) { return ((x ^ y) & 8) != 0; }

// Row y of the picture into every plane, big-endian: the layer's channels as stored, the
// merged planes over the checkerboard, or as stored in float files, which readers show
// without compositing.
void splitRow8(const uint8_t* rgba, int32_t width, int32_t y, uint8_t* const* out) {
  for (int32_t x = 0; x < width; ++x, rgba += 4) {
    const uint32_t a = rgba[3], c = darkSquare(x, y) ? 204 : 255;
    out[0][x] = uint8_t(a);
    for (int k = 0; k < 3; ++k) {
      out[1 + k][x] = rgba[k];
      out[4 + k][x] = uint8_t((c * (255 - a) + rgba[k] * a) / 255);
    }
  }
}

void splitRow16(const uint16_t* rgba, int32_t width, int32_t y, uint8_t* const* out) {
  for (int32_t x = 0; x < width; ++x, rgba += 4) {
    const uint32_t a = rgba[3] > 32768 ? 32768 : rgba[3], c = darkSquare(x, y) ? 26112 : 32640;
    const size_t at = size_t(x) * 2;
    storeBigEndian16(out[0] + at, fileSample16(rgba[3]));
    for (int k = 0; k < 3; ++k) {
      storeBigEndian16(out[1 + k] + at, fileSample16(rgba[k]));
      storeBigEndian16(out[4 + k] + at, fileSample16((c * (32768 - a) + rgba[k] * a) >> 15));
    }
    storeBigEndian16(out[7] + at, 0xFFFF);
  }
}

void splitRowFloat(const uint8_t* rgba, int32_t width, uint8_t* const* out) {
  for (int32_t x = 0; x < width; ++x, rgba += 16) {
    uint32_t bits[4];
    std::memcpy(bits, rgba, 16);
    const size_t at = size_t(x) * 4;
    storeBigEndian32(out[0] + at, bits[3]);
    for (int k = 0; k < 3; ++k) {
      storeBigEndian32(out[1 + k] + at, bits[k]);
      storeBigEndian32(out[4 + k] + at, bits[k]);
    }
  }
}

#define RETURN_IF_FAILED(call)            \
  do {                                    \
    if (const OSErr e_ = (call)) return e_; \
  } while (0)

OSErr writeAt(FileHandle file, int64_t offset, const void* data, size_t count) {
  RETURN_IF_FAILED(seekFile(file, offset));
  return writeRaw(file, data, count);
}

// Each plane gathers this many bytes of rows before they go to the file.
constexpr size_t kBandBytes = 256 * 1024;

// The layer's channels, the rest of the layer section and the merged picture. The planes
// follow one another in the file, but their places are known before the first row, so
// every row of the picture is read once and split into all of its planes, which go to
// their places a band of rows at a time.
OSErr writePixelData(FileHandle file, const ExportDescriptor& d, const PsdPixels& pixels) {
  int64_t start = 0;
  RETURN_IF_FAILED(filePosition(file, start));
  const int32_t planes = pixelPlanes(d);
  const size_t rowBytes = size_t(d.width) * d.bytesPerChannel;
  const int64_t planeBytes = int64_t(rowBytes) * d.height;
  // Each layer channel follows its own 2-byte compression code; the merged planes share one.
  int64_t at[kMostPlanes];
  for (int32_t p = 0; p < kPsdChannelsPerLayer; ++p) at[p] = start + p * (2 + planeBytes) + 2;
  const int64_t tailAt = start + kPsdChannelsPerLayer * (2 + planeBytes);
  const ByteVector tail = layerSectionTail(d);
  const int64_t mergedAt = tailAt + int64_t(tail.size());
  for (int32_t p = kPsdChannelsPerLayer; p < planes; ++p)
    at[p] = mergedAt + 2 + (p - kPsdChannelsPerLayer) * planeBytes;

  const int32_t bandRows = int32_t(std::clamp<size_t>(kBandBytes / rowBytes, 1, size_t(d.height)));
  const size_t bandBytes = size_t(bandRows) * rowBytes;
  std::unique_ptr<uint8_t[]> band(new (std::nothrow) uint8_t[bandBytes * size_t(planes)]);
  std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes * 4]);
  if (!band || !row) return kErrNoMemory;

  for (int32_t top = 0; top < d.height; top += bandRows) {
    const int32_t rows = std::min(bandRows, d.height - top);
    for (int32_t r = 0; r < rows; ++r) {
      pixels.readRow(pixels.context, top + r, row.get());
      uint8_t* out[kMostPlanes];
      for (int32_t p = 0; p < planes; ++p) out[p] = band.get() + size_t(p) * bandBytes + size_t(r) * rowBytes;
      if (d.bytesPerChannel == 1) splitRow8(row.get(), d.width, top + r, out);
      if (d.bytesPerChannel == 2) splitRow16(reinterpret_cast<const uint16_t*>(row.get()), d.width, top + r, out);
      if (d.bytesPerChannel == 4) splitRowFloat(row.get(), d.width, out);
    }
    for (int32_t p = 0; p < planes; ++p)
      RETURN_IF_FAILED(writeAt(file, at[p] + int64_t(top) * int64_t(rowBytes), band.get() + size_t(p) * bandBytes,
                               size_t(rows) * rowBytes));
  }

  static constexpr uint8_t raw[2] = {0, 0};  // compression 0: raw samples
  for (int32_t p = 0; p < kPsdChannelsPerLayer; ++p) RETURN_IF_FAILED(writeAt(file, at[p] - 2, raw, 2));
  RETURN_IF_FAILED(writeAt(file, tailAt, tail.data(), tail.size()));
  RETURN_IF_FAILED(writeAt(file, mergedAt, raw, 2));
  return seekFile(file, at[planes - 1] + planeBytes);
}

OSErr writeBytes(FileHandle file, const ByteVector& bytes) { return writeRaw(file, bytes.data(), bytes.size()); }

}  // namespace

int64_t psdFileSize(const ExportDescriptor& d, const PsdMetadata& m) {
  const int64_t head = 26 + 4 + (d.bytesPerChannel == 4 ? int64_t(kPsdToningRecord.size()) * 2 : 0) + 4 +
                       int64_t(imageResources(d, m).size());
  const int64_t merged = 2 + int64_t(mergedPlanes(d)) * d.width * d.height * d.bytesPerChannel;
  return head + 4 + layerSectionLength(d) + merged;
}

bool psdHolds(const ExportDescriptor& d, const PsdMetadata& m) {
  return d.width >= 1 && d.height >= 1 && d.width <= kPsdLargestSide && d.height <= kPsdLargestSide &&
         psdFileSize(d, m) <= kLargestPsdFile;
}

OSErr writePsd(FileHandle file, ExportDescriptor& d, const PsdMetadata& m, const PsdPixels& pixels) {
  if (!psdHolds(d, m)) return kErrTooLarge;
  // The one layer's pixels are the merged picture's too: they are read once for both.
  static_assert(kPsdLayerCount == 1);
  RETURN_IF_FAILED(writeBytes(file, documentHead(d, m)));
  d.currentLayer = 0;
  RETURN_IF_FAILED(pixels.renderLayer(pixels.context, 0));
  RETURN_IF_FAILED(writePixelData(file, d, pixels));
  return setEndOfFile(file);
}

OSErr savePsdFile(const char* path, ExportDescriptor& d, const PsdMetadata& m, const PsdPixels& pixels) {
  if (!path || !path[0]) return kErrCannotOpen;
  FileReplacement replacement;
  FileHandle file = kNoFile;
  if (beginReplacement(path, replacement, file) != ReplacementStart::started) return kErrCannotOpen;
  OSErr result = writePsd(file, d, m, pixels);
  if (closeFile(file) != noErr && result == noErr) result = writErr;
  if (result != noErr) abandonReplacement(replacement);
  else if (!finishReplacement(replacement, true)) result = writErr;
  return result;
}
