// What a photograph carries besides its pixels, kept from the input to the output: the colour
// profile, EXIF, XMP, IPTC, resolution and PNG text. EXIF, XMP and IPTC are read, changed
// and encoded by exiv2; the profile, resolution and text travel through each format's own
// library (the format readers and writers fill and take this record).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TextChunk {
  std::string keyword, text;
  bool international = false;  // UTF-8 (iTXt) rather than Latin-1
};

struct ImageMetadata {
  std::vector<uint8_t> iccProfile;
  std::vector<uint8_t> exif;  // a TIFF structure (byte-order mark first), no thumbnail
  std::string xmp;            // the XMP packet
  std::vector<uint8_t> iptc;  // IPTC-IIM data sets
  double xDpi = 0, yDpi = 0;  // dots per inch; 0: the file does not say
  std::vector<TextChunk> texts;  // PNG text other than XMP
  int orientation = 1;           // EXIF orientation, 1 to 8
};

// The software tag and the IPTC keyword the output gets.
constexpr const char* kSoftwareName = "Tarve";

// Reads the file's EXIF, XMP and IPTC (and its orientation) into `metadata`. A block that
// cannot be read is left out; `warning` then says why in a few words.
void readEmbeddedMetadata(const std::string& path, ImageMetadata& metadata, std::string& warning);

// Whether `profile` is an ICC profile whose header and tag table fit in it.
bool iccProfileSound(const std::vector<uint8_t>& profile);

// Brings the metadata up to date for an output of `width` x `height` pixels: orientation 1
// when the pixels were turned upright, the software tag, the pixel dimensions, and the
// keyword when the output holds IPTC.
void metadataForOutput(ImageMetadata& metadata, int32_t width, int32_t height, bool turnedUpright, bool withKeyword);

// The Photoshop image resource block (APP13 of JPEG) that holds the IPTC data sets.
std::vector<uint8_t> iptcResourceBlock(const std::vector<uint8_t>& iptc);

// Adds EXIF, XMP and IPTC to a TIFF file written without them. False with a message.
bool addTiffMetadata(const std::string& path, const ImageMetadata& metadata, std::string& error);
