#include "files/psd_writer.h"

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

uint16_t swap16(uint16_t v) { return static_cast<uint16_t>(v << 8 | v >> 8); }

uint32_t swap32(uint32_t v) { return __builtin_bswap32(v); }

#define RETURN_IF_FAILED(call)            \
  do {                                    \
    if (const OSErr e_ = (call)) return e_; \
  } while (0)

struct RowReader {
  const PsdPixels& pixels;
  const ExportDescriptor& d;
  std::unique_ptr<uint8_t[]> row;
};

// Channel `component` of every pixel (0 red, 1 green, 2 blue, 3 alpha) as stored.
OSErr putChannel(ByteSink& sink, RowReader& reader, int component) {
  const ExportDescriptor& d = reader.d;
  RETURN_IF_FAILED(put16(sink, 0));  // raw samples
  for (int32_t y = 0; y < d.height; ++y) {
    reader.pixels.readRow(reader.pixels.context, y, reader.row.get());
    for (int32_t x = 0; x < d.width; ++x) {
      const size_t at = size_t(x) * 4 + size_t(component);
      if (d.bytesPerChannel == 1) {
        RETURN_IF_FAILED(putByte(sink, reader.row[at]));
      } else if (d.bytesPerChannel == 2) {
        RETURN_IF_FAILED(put16(sink, swap16(fileSample16(reinterpret_cast<const uint16_t*>(reader.row.get())[at]))));
      } else {
        uint32_t bits;
        std::memcpy(&bits, reader.row.get() + at * 4, 4);
        RETURN_IF_FAILED(put32(sink, swap32(bits)));
      }
    }
  }
  return flushByteSink(sink);
}

// Bit 3 of x XOR y picks the square: 8 × 8 pixels of white and light grey.
bool darkSquare(int32_t x, int32_t y) { return ((x ^ y) & 8) != 0; }

// A colour plane of the merged picture: the pixel over the checkerboard, or as stored in
// float files, which readers show without compositing.
OSErr putMergedPlane(ByteSink& sink, RowReader& reader, int component) {
  const ExportDescriptor& d = reader.d;
  for (int32_t y = 0; y < d.height; ++y) {
    reader.pixels.readRow(reader.pixels.context, y, reader.row.get());
    for (int32_t x = 0; x < d.width; ++x) {
      const size_t at = size_t(x) * 4;
      if (d.bytesPerChannel == 1) {
        const uint32_t v = reader.row[at + size_t(component)], a = reader.row[at + 3];
        const uint32_t c = darkSquare(x, y) ? 204 : 255;
        RETURN_IF_FAILED(putByte(sink, static_cast<uint8_t>((c * (255 - a) + v * a) / 255)));
      } else if (d.bytesPerChannel == 2) {
        const uint16_t* row = reinterpret_cast<const uint16_t*>(reader.row.get());
        const uint32_t v = row[at + size_t(component)], a = row[at + 3] > 32768 ? 32768 : row[at + 3];
        const uint32_t c = darkSquare(x, y) ? 26112 : 32640;
        RETURN_IF_FAILED(put16(sink, swap16(fileSample16((c * (32768 - a) + v * a) >> 15))));
      } else {
        uint32_t bits;
        std::memcpy(&bits, reader.row.get() + (at + size_t(component)) * 4, 4);
        RETURN_IF_FAILED(put32(sink, swap32(bits)));
      }
    }
  }
  return noErr;
}

OSErr writeMergedPicture(ByteSink& sink, RowReader& reader) {
  RETURN_IF_FAILED(put16(sink, 0));  // raw samples
  for (int component = 0; component < 3; ++component) RETURN_IF_FAILED(putMergedPlane(sink, reader, component));
  if (reader.d.bytesPerChannel == 2) {
    // The fourth plane the header declares for 16-bit files: fully opaque.
    const int64_t samples = int64_t(reader.d.width) * reader.d.height;
    for (int64_t i = 0; i < samples; ++i) RETURN_IF_FAILED(put16(sink, 0xFFFF));
  }
  return flushByteSink(sink);
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
  RowReader reader{pixels, d, std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size_t(d.width) * 4 * d.bytesPerChannel])};
  if (!reader.row) return kErrNoMemory;

  RETURN_IF_FAILED(writeBytes(file, documentHead(d, m)));
  ByteSink sink;
  resetByteSink(sink, file);
  for (int32_t layer = 0; layer < kPsdLayerCount; ++layer) {
    d.currentLayer = layer;
    RETURN_IF_FAILED(pixels.renderLayer(pixels.context, layer));
    static constexpr int order[kPsdChannelsPerLayer] = {3, 0, 1, 2};  // transparency first
    for (int component : order) RETURN_IF_FAILED(putChannel(sink, reader, component));
  }
  RETURN_IF_FAILED(writeBytes(file, layerSectionTail(d)));
  RETURN_IF_FAILED(writeMergedPicture(sink, reader));
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
