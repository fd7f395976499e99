// exiv2 throws; nothing of it leaves this file: every call is caught here and becomes a
// result or a warning.
#include "app/image_metadata.h"

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Tags that describe how a TIFF stores its pixels, or that hold blocks carried on their own
// (profile, XMP, IPTC, image resources): copied into another file they would lie.
constexpr uint16_t kStructureTags[] = {
    0x00FE, 0x00FF, 0x0100, 0x0101, 0x0102, 0x0103, 0x0106, 0x010A, 0x0111, 0x0115, 0x0116, 0x0117,
    0x011C, 0x0122, 0x0123, 0x013D, 0x0140, 0x0142, 0x0143, 0x0144, 0x0145, 0x014A, 0x0152, 0x0153,
    0x0154, 0x0155, 0x015B, 0x0200, 0x0201, 0x0202, 0x0203, 0x0205, 0x0206, 0x0207, 0x0208, 0x0209,
    0x0211, 0x0212, 0x0213, 0x02BC, 0x83BB, 0x8649, 0x8773};

bool isStructureTag(const Exiv2::Exifdatum& datum) {
  const std::string group = datum.groupName();
  if (group.rfind("SubImage", 0) == 0 || group.rfind("SubThumb", 0) == 0 || group == "Image2" || group == "Image3")
    return true;
  if (group != "Image") return false;
  return std::find(std::begin(kStructureTags), std::end(kStructureTags), datum.tag()) != std::end(kStructureTags);
}

// The EXIF a copy may carry: no thumbnail, nothing of the source file's own structure.
void keepPortable(Exiv2::ExifData& exif) {
  Exiv2::ExifThumb(exif).erase();
  for (auto i = exif.begin(); i != exif.end();) i = isStructureTag(*i) ? exif.erase(i) : std::next(i);
}

std::vector<uint8_t> encodeExif(const Exiv2::ExifData& exif, Exiv2::ByteOrder order) {
  Exiv2::Blob blob;
  Exiv2::ExifParser::encode(blob, nullptr, 0, order, exif);
  return std::vector<uint8_t>(blob.begin(), blob.end());
}

std::vector<uint8_t> encodeIptc(const Exiv2::IptcData& iptc) {
  const Exiv2::DataBuf data = Exiv2::IptcParser::encode(iptc);
  return std::vector<uint8_t>(data.pData_, data.pData_ + data.size_);
}

void quiet() { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); }

void updateExif(ImageMetadata& metadata, int32_t width, int32_t height, bool turnedUpright) {
  Exiv2::ExifData exif;
  Exiv2::ByteOrder order = Exiv2::littleEndian;
  if (!metadata.exif.empty()) order = Exiv2::ExifParser::decode(exif, metadata.exif.data(), uint32_t(metadata.exif.size()));
  if (turnedUpright && exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation")) != exif.end())
    exif["Exif.Image.Orientation"] = uint16_t(1);
  exif["Exif.Image.Software"] = kSoftwareName;
  if (exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension")) != exif.end()) {
    exif["Exif.Photo.PixelXDimension"] = uint32_t(width);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(height);
  }
  metadata.exif = encodeExif(exif, order);
}

void updateIptc(ImageMetadata& metadata) {
  Exiv2::IptcData iptc;
  if (!metadata.iptc.empty() && Exiv2::IptcParser::decode(iptc, metadata.iptc.data(), uint32_t(metadata.iptc.size())) != 0)
    iptc.clear();
  for (const Exiv2::Iptcdatum& datum : iptc)
    if (datum.key() == "Iptc.Application2.Keywords" && datum.toString() == kSoftwareName) return;
  Exiv2::Iptcdatum keyword(Exiv2::IptcKey("Iptc.Application2.Keywords"));
  keyword.setValue(kSoftwareName);
  iptc.add(keyword);
  metadata.iptc = encodeIptc(iptc);
}

// The XMP copy of the orientation follows the EXIF one.
void updateXmp(ImageMetadata& metadata) {
  Exiv2::XmpData xmp;
  if (Exiv2::XmpParser::decode(xmp, metadata.xmp) != 0) return;
  auto orientation = xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
  if (orientation == xmp.end()) return;
  orientation->setValue("1");
  std::string packet;
  if (Exiv2::XmpParser::encode(packet, xmp, Exiv2::XmpParser::useCompactFormat) == 0) metadata.xmp = packet;
}

// exiv2 refuses a JPEG's metadata altogether when its profile is damaged. The profile is
// read (and checked) by the JPEG library; this copy of the file hides it from exiv2, so
// that the rest can still be read.
std::vector<uint8_t> jpegWithoutProfile(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  uint8_t buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(file);
  static const char kIccName[] = "ICC_PROFILE";
  for (size_t at = 2; at + 4 <= bytes.size() && bytes[at] == 0xFF;) {
    const uint8_t marker = bytes[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;  // the pixels begin
    const size_t length = size_t(bytes[at + 2]) << 8 | bytes[at + 3];
    if (marker == 0xE2 && at + 4 + sizeof kIccName <= bytes.size() &&
        std::memcmp(&bytes[at + 4], kIccName, sizeof kIccName) == 0)
      bytes[at + 4] = 'X';
    at += 2 + length;
  }
  return bytes;
}

void readBlocks(Exiv2::Image& image, ImageMetadata& metadata) {
  image.readMetadata();
  Exiv2::ExifData exif = image.exifData();
  if (auto o = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation")); o != exif.end() && o->count() > 0) {
    const long value = o->toLong();
    if (value >= 1 && value <= 8) metadata.orientation = int(value);
  }
  keepPortable(exif);
  const Exiv2::ByteOrder order = image.byteOrder() == Exiv2::bigEndian ? Exiv2::bigEndian : Exiv2::littleEndian;
  if (!exif.empty()) metadata.exif = encodeExif(exif, order);
  metadata.xmp = image.xmpPacket();
  if (!image.iptcData().empty()) metadata.iptc = encodeIptc(image.iptcData());
}

}  // namespace

void readEmbeddedMetadata(const std::string& path, ImageMetadata& metadata, std::string& warning) {
  quiet();
  try {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
    // exiv2 reads from these bytes without copying them.
    std::vector<uint8_t> bytes;
    if (image->imageType() == Exiv2::ImageType::jpeg) {
      bytes = jpegWithoutProfile(path);
      image = Exiv2::ImageFactory::open(bytes.data(), long(bytes.size()));
    }
    readBlocks(*image, metadata);
  } catch (const std::exception& e) {
    metadata.exif.clear();
    metadata.xmp.clear();
    metadata.iptc.clear();
    metadata.orientation = 1;
    warning = std::string("its EXIF, XMP and IPTC cannot be read and are left out (") + e.what() + ")";
  }
}

void metadataForOutput(ImageMetadata& metadata, int32_t width, int32_t height, bool turnedUpright, bool withKeyword) {
  quiet();
  // The blocks were read (and so checked) by exiv2 or built here, but a library may still
  // refuse one; then it is dropped rather than the picture.
  try {
    updateExif(metadata, width, height, turnedUpright);
  } catch (const std::exception&) {
    metadata.exif.clear();
  }
  try {
    if (withKeyword) updateIptc(metadata);
  } catch (const std::exception&) {
    metadata.iptc.clear();
  }
  try {
    if (turnedUpright && !metadata.xmp.empty()) updateXmp(metadata);
  } catch (const std::exception&) {
  }
  if (turnedUpright) metadata.orientation = 1;
}

std::vector<uint8_t> iptcResourceBlock(const std::vector<uint8_t>& iptc) {
  quiet();
  try {
    Exiv2::IptcData data;
    if (Exiv2::IptcParser::decode(data, iptc.data(), uint32_t(iptc.size())) != 0) return {};
    const Exiv2::DataBuf block = Exiv2::Photoshop::setIptcIrb(nullptr, 0, data);
    return std::vector<uint8_t>(block.pData_, block.pData_ + block.size_);
  } catch (const std::exception&) {
    return {};
  }
}

bool addTiffMetadata(const std::string& path, const ImageMetadata& metadata, std::string& error) {
  quiet();
  try {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    Exiv2::ExifData exif;
    if (!metadata.exif.empty()) Exiv2::ExifParser::decode(exif, metadata.exif.data(), uint32_t(metadata.exif.size()));
    keepPortable(exif);
    Exiv2::ExifData& file = image->exifData();
    for (const Exiv2::Exifdatum& datum : exif) file[datum.key()] = datum.value();
    if (!metadata.xmp.empty()) image->setXmpPacket(metadata.xmp);
    if (!metadata.iptc.empty()) {
      Exiv2::IptcData iptc;
      if (Exiv2::IptcParser::decode(iptc, metadata.iptc.data(), uint32_t(metadata.iptc.size())) == 0)
        image->setIptcData(iptc);
    }
    image->writeMetadata();
  } catch (const std::exception& e) {
    error = std::string("cannot add the metadata to the TIFF file (") + e.what() + ")";
    return false;
  }
  return true;
}
