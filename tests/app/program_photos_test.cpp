// Photographs as cameras and phones write them: orientation, metadata and WebP, checked with
// independent readers (exiftool, ImageMagick) where they exist.
#include <cstdio>
#include <map>

#include "app/image_formats.h"
#include "app/orientation.h"
#include "tests/app/tarve_program.h"

namespace {

bool haveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string commandOutput(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

// exiftool's short names and values, for the tags asked.
std::map<std::string, std::string> exiftoolTags(const std::string& path, const std::string& tags) {
  std::map<std::string, std::string> found;
  const std::string text = commandOutput("exiftool -s -m " + tags + " '" + path + "' 2>/dev/null");
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = text.substr(start, end - start);
    const size_t colon = line.find(" : ");
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    name.erase(name.find_last_not_of(' ') + 1);
    found[name] = line.substr(colon + 3);
  }
  return found;
}

std::vector<uint8_t> exiftoolProfile(const std::string& path) {
  const std::string text = commandOutput("exiftool -b -icc_profile '" + path + "' 2>/dev/null");
  return {text.begin(), text.end()};
}

std::string identify(const std::string& path) {
  return commandOutput("identify -format '%w x %h %[orientation]' '" + path + "' 2>/dev/null");
}

void setBigEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (24 - 8 * i));
}

// The smallest sound RGB display profile: a header with a D50 illuminant and no tags.
std::vector<uint8_t> tinyProfile() {
  std::vector<uint8_t> profile(132, 0);
  setBigEndian(profile, 0, 132);
  setBigEndian(profile, 8, 0x02100000);
  std::memcpy(&profile[12], "mntrRGB XYZ ", 12);
  std::memcpy(&profile[36], "acsp", 4);
  setBigEndian(profile, 68, 0xF6D6);
  setBigEndian(profile, 72, 0x10000);
  setBigEndian(profile, 76, 0xD32D);
  return profile;
}

// A picture whose every pixel differs from every other, so that a wrong turn shows.
HostImage numberedImage(int32_t width, int32_t height) {
  HostImage image = makeHostImage(width, height, 8, 3, false);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      *image.at(x, y, 0) = uint8_t(x * 20);
      *image.at(x, y, 1) = uint8_t(y * 30);
      *image.at(x, y, 2) = uint8_t(x + y * width);
    }
  return image;
}

void runExiftool(const std::string& arguments, const std::string& path) {
  ASSERT_EQ(std::system(("exiftool -q -q -m -overwrite_original " + arguments + " '" + path + "'").c_str()), 0);
}

const char* const kCameraTags =
    "-Artist=\"Test Person\" -Make=Testcam -DateTimeOriginal=\"2024:05:06 07:08:09\" -GPSLatitude=60.5 "
    "-GPSLatitudeRef=N -XMP-dc:Title=\"Lake title\" -IPTC:Keywords=lake -IPTC:Keywords=shore "
    "-IPTC:Caption-Abstract=\"A lake\" -XResolution=300 -YResolution=300 -ResolutionUnit=inches";
const char* const kAskedTags =
    "-Artist -Make -DateTimeOriginal -GPSLatitude -Title -Keywords -Caption-Abstract -Orientation -Software "
    "-EXIF:XResolution -PNG:PixelsPerUnitX -ThumbnailImage";

}  // namespace

TEST(ProgramPhotos, EveryOrientationTurnsAsImageMagickTurnsIt) {
  if (!haveTool("exiftool") || !haveTool("convert")) GTEST_SKIP() << "exiftool or ImageMagick is missing";
  ScratchFolder folder;
  const HostImage stored = numberedImage(6, 4);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE("orientation " + std::to_string(orientation));
    const std::string path = folder.file("o.tif"), expectedPath = folder.file("expected.png");
    writeImage(path, stored);
    runExiftool("-Orientation#=" + std::to_string(orientation), path);
    ASSERT_EQ(std::system(("convert '" + path + "' -auto-orient '" + expectedPath + "'").c_str()), 0);
    HostImage image;
    ImageMetadata metadata;
    std::vector<std::string> notes;
    std::string error;
    ASSERT_TRUE(readImageWithMetadata(path, image, metadata, notes, error)) << error;
    EXPECT_EQ(metadata.orientation, orientation);
    const HostImage upright = turnUpright(image, metadata.orientation);
    const HostImage expected = readImage(expectedPath);
    EXPECT_EQ(upright.width, expected.width);
    EXPECT_EQ(upright.samples, expected.samples);
  }
}

// A phone's portrait: stored on its side with orientation 6, camera EXIF, IPTC, XMP, a
// profile and a resolution. Every output format keeps what it can hold, upright.
TEST(ProgramPhotos, APortraitComesOutUprightWithItsMetadataInEveryFormat) {
  if (!haveTool("exiftool") || !haveTool("identify")) GTEST_SKIP() << "exiftool or ImageMagick is missing";
  ScratchFolder folder;
  const std::string input = folder.file("portrait.tif");
  // Stored 48 x 32 on its side: seen upright it is 32 x 48 with the sky at the top.
  HostImage upright = sceneImage(32, 48, 8, 3, false);
  HostImage stored = makeHostImage(48, 32, 8, 3, false);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 48; ++x) std::memcpy(stored.at(x, y, 0), upright.at(31 - y, x, 0), 3);
  ImageMetadata withProfile;
  withProfile.iccProfile = tinyProfile();
  std::string error;
  ASSERT_TRUE(writeTiff(input.c_str(), stored, &withProfile, error)) << error;
  runExiftool(std::string("-Orientation#=6 ") + kCameraTags, input);
  const auto before = exiftoolTags(input, kAskedTags);
  ASSERT_EQ(before.at("Artist"), "Test Person");
  ASSERT_EQ(before.at("Orientation"), "Rotate 90 CW");

  for (const char* extension : {"jpg", "png", "tif", "webp"}) {
    SCOPED_TRACE(extension);
    const std::string output = folder.file(std::string("out.") + extension);
    const ProgramRun run = runTarve({"apply", input, "-o", output, "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string ext = extension;
    const bool holdsIptc = ext == "jpg" || ext == "tif";
    EXPECT_EQ(run.err, holdsIptc ? "" : "tarve: " + input + ": " + (ext == "png" ? "PNG" : "WebP") +
                                            " files have no place for IPTC data: it is left out\n");
    // ImageMagick reads no orientation from PNG and WebP: it shows them as stored.
    const std::string seen = identify(output);
    EXPECT_TRUE(seen == "32 x 48 TopLeft" || (!holdsIptc && seen == "32 x 48 Undefined")) << seen;
    auto after = exiftoolTags(output, kAskedTags);
    for (const char* kept : {"Artist", "Make", "DateTimeOriginal", "GPSLatitude", "Title"})
      EXPECT_EQ(after[kept], before.at(kept)) << kept;
    EXPECT_EQ(after["Orientation"], "Horizontal (normal)");
    EXPECT_EQ(after["Software"], "Tarve");
    EXPECT_EQ(after["Keywords"], holdsIptc ? "lake, shore, Tarve" : "");
    EXPECT_EQ(after["Caption-Abstract"], holdsIptc ? "A lake" : "");
    EXPECT_EQ(after.count("ThumbnailImage"), 0u);
    if (ext == "png")
      EXPECT_EQ(after["PixelsPerUnitX"], "11811");  // 300 per inch in pixels per metre
    else
      EXPECT_EQ(after["XResolution"], "300");
    EXPECT_EQ(exiftoolProfile(output), tinyProfile());
    // The sky of the upright picture is at the top of the output.
    const HostImage result = readImage(output);
    EXPECT_LE(differenceOf(result, upright, 0, 12).largest, ext == "jpg" || ext == "webp" ? 24 : 3);
  }

  const std::string kept = folder.file("kept.png"), stripped = folder.file("stripped.png");
  ASSERT_EQ(runTarve({"apply", input, "-o", kept, "-q", "--no-auto-orient"}).status, 0);
  EXPECT_EQ(identify(kept).substr(0, 7), "48 x 32");
  EXPECT_EQ(exiftoolTags(kept, "-Orientation")["Orientation"], "Rotate 90 CW");
  ASSERT_EQ(runTarve({"apply", input, "-o", stripped, "-q", "--strip"}).status, 0);
  EXPECT_EQ(identify(stripped).substr(0, 7), "32 x 48");
  EXPECT_TRUE(exiftoolTags(stripped, kAskedTags).empty());
  EXPECT_TRUE(exiftoolProfile(stripped).empty());
}

TEST(ProgramPhotos, PngTextAndResolutionSurvive) {
  if (!haveTool("exiftool")) GTEST_SKIP() << "exiftool is missing";
  ScratchFolder folder;
  const std::string input = folder.file("in.png"), output = folder.file("out.png");
  ImageMetadata metadata;
  metadata.texts = {{"Author", "Someone", false}, {"Description", "Seeufer am Abend \xC3\xA4", true}};
  metadata.xDpi = metadata.yDpi = 150;
  std::string error;
  ASSERT_TRUE(writePng(input.c_str(), sceneImage(24, 16, 16, 1, true), &metadata, error)) << error;
  ASSERT_EQ(runTarve({"apply", input, "-o", output, "-q"}).status, 0);
  const char* tags = "-PNG:Author -PNG:Description -PixelsPerUnitX -PixelsPerUnitY -PixelUnits";
  const auto before = exiftoolTags(input, tags), after = exiftoolTags(output, tags);
  EXPECT_EQ(before.at("Description"), "Seeufer am Abend \xC3\xA4");
  EXPECT_EQ(after, before);
}

// Damaged metadata costs the metadata, with a note, never the picture.
TEST(ProgramPhotos, DamagedMetadataIsLeftOutWithANote) {
  ScratchFolder folder;
  const HostImage picture = sceneImage(32, 24, 8, 3, false);
  struct Damage {
    const char* what;
    ImageMetadata metadata;
    const char* note;  // null: the file may be read without a note
  };
  ImageMetadata notAProfile, selfReferringExif, truncatedExif, cutProfile;
  notAProfile.iccProfile.assign(300, 'x');
  cutProfile.iccProfile = tinyProfile();
  setBigEndian(cutProfile.iccProfile, 128, 5);  // five tags announced, none there
  // An IFD whose next-IFD link points back at itself, with an entry far outside the block.
  selfReferringExif.exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x0F, 0x01, 2, 0, 0xFF, 0xFF, 0xFF, 0x0F,
                            0xF0, 0xFF, 0xFF, 0x7F, 8, 0, 0, 0};
  truncatedExif.exif = {'M', 'M', 0, 42, 0, 0, 0, 8, 0x7F, 0xFF};
  const Damage damages[] = {
      {"a profile that is not one", notAProfile, "its ICC profile is damaged and is left out"},
      {"a profile with a broken tag table", cutProfile, "its ICC profile is damaged and is left out"},
      {"EXIF whose IFD refers to itself", selfReferringExif, nullptr},
      {"truncated EXIF", truncatedExif, nullptr},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    const std::string input = folder.file("in.jpg"), output = folder.file("out.jpg");
    std::string error;
    ASSERT_TRUE(writeJpeg(input.c_str(), picture, 90, &d.metadata, error)) << error;
    // A damaged profile costs the profile only.
    const bool checkArtist = d.metadata.exif.empty() && haveTool("exiftool");
    if (checkArtist) runExiftool("-Artist=Someone", input);
    const ProgramRun run = runTarve({"apply", input, "-o", output, "-q"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    if (d.note) {
      EXPECT_NE(run.err.find(d.note), std::string::npos) << run.err;
    }
    EXPECT_EQ(readImage(output).width, 32);
    if (checkArtist) {
      EXPECT_EQ(exiftoolTags(output, "-Artist")["Artist"], "Someone");
    }
  }
}

TEST(ProgramPhotos, WebpIsLosslessWhenAskedAndLossyByQuality) {
  ScratchFolder folder;
  const std::string input = folder.file("in.png");
  writeImage(input, sceneImage(64, 48, 8, 3, true));
  const std::string png = folder.file("out.png"), lossless = folder.file("out.webp");
  ASSERT_EQ(runTarve({"apply", input, "-o", png, "-q", "--seed", "3"}).status, 0);
  ASSERT_EQ(runTarve({"apply", input, "-o", lossless, "-q", "--seed", "3", "--lossless"}).status, 0);
  const HostImage exact = readImage(png), fromWebp = readImage(lossless);
  EXPECT_TRUE(fromWebp.transparency);
  EXPECT_EQ(fromWebp.samples, exact.samples);
  // libwebp's own decoder agrees: its PAM output holds the same RGBA samples.
  if (haveTool("dwebp")) {
    const std::string pam = folder.file("out.pam");
    ASSERT_EQ(std::system(("dwebp -quiet '" + lossless + "' -pam -o '" + pam + "'").c_str()), 0);
    const std::vector<uint8_t> bytes = readWholeFile(pam);
    const std::string header = "P7\nWIDTH 64\nHEIGHT 48\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + std::min(bytes.size(), header.size())), header);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + header.size(), bytes.end()), exact.samples);
  }

  std::vector<size_t> sizes;
  for (const char* quality : {"20", "95"}) {
    const std::string lossy = folder.file(std::string("q") + quality + ".webp");
    ASSERT_EQ(runTarve({"apply", input, "-o", lossy, "-q", "--seed", "3", "--quality", quality}).status, 0);
    sizes.push_back(readWholeFile(lossy).size());
    EXPECT_LE(differenceOf(readImage(lossy), exact, 0, 48).mean, quality[0] == '2' ? 12 : 4);
  }
  EXPECT_LT(sizes[0], sizes[1]);

  // WebP has no grey: a grey picture comes back with three equal channels.
  const std::string grey = folder.file("grey.png"), greyWebp = folder.file("grey.webp");
  writeImage(grey, sceneImage(16, 16, 8, 1, false));
  ASSERT_EQ(runTarve({"apply", grey, "-o", greyWebp, "-q", "--lossless"}).status, 0);
  const HostImage back = readImage(greyWebp);
  ASSERT_EQ(back.colourPlanes, 3);
  for (int32_t i = 0; i < 16 * 16; ++i) {
    EXPECT_EQ(back.samples[3 * i], back.samples[3 * i + 1]);
    EXPECT_EQ(back.samples[3 * i], back.samples[3 * i + 2]);
  }
}

// The module is offered the input's profile through the record's ICC fields.
TEST(ProgramPhotos, TheHostOffersTheProfileToTheModule) {
  Host host;
  host.iccProfile = tinyProfile();
  hostOpen(host, nullptr, sceneImage(8, 8, 8, 3, false));
  // The record is packed: its fields are copied before they are compared.
  const FilterRecord& r = host.record;
  const Handle profile = r.iCCprofileData;
  const int32_t size = r.iCCprofileSize, usable = r.canUseICCProfiles;
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(size, 132);
  EXPECT_TRUE(usable);
  EXPECT_EQ(r.handleProcs->getSizeProc(profile), 132);
  EXPECT_EQ(std::memcmp(*profile, tinyProfile().data(), 132), 0);
  hostClose(host);

  Host without;
  hostOpen(without, nullptr, sceneImage(8, 8, 8, 3, false));
  const Handle none = without.record.iCCprofileData;
  const int32_t noneUsable = without.record.canUseICCProfiles;
  EXPECT_EQ(none, nullptr);
  EXPECT_FALSE(noneUsable);
  hostClose(without);
}
