#include "files/jpeg_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "files/file_io.h"
#include "files/jpeg_error_trap.h"
#include "files/jpeg_quant_tables.h"
#include "raster/memory.h"
#include "tests/files/jpeg_test_support.h"
#include "tests/files/scratch_folder.h"

namespace {

struct Header {
  bool ok;
  int width, height, components, lumaH, lumaV, chromaH;
  unsigned int luminance[64], chrominance[64];
};

// What a decoder sees in the stream's header.
Header headerOf(const std::vector<uint8_t>& jpeg) {
  Header h{};
  jpeg_decompress_struct d;
  JpegErrorTrap trap;
  d.err = installErrorTrap(trap);
  if (setjmp(trap.jump)) {
    jpeg_destroy_decompress(&d);
    return h;
  }
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&d, TRUE);
  h = {true, int(d.image_width), int(d.image_height), d.num_components, d.comp_info[0].h_samp_factor,
       d.comp_info[0].v_samp_factor, d.comp_info[1].h_samp_factor, {}, {}};
  for (int i = 0; i < 64; ++i) {
    h.luminance[i] = d.quant_tbl_ptrs[0]->quantval[i];
    h.chrominance[i] = d.quant_tbl_ptrs[1]->quantval[i];
  }
  jpeg_destroy_decompress(&d);
  return h;
}

}  // namespace

TEST(JpegWriter, MarkersInOrder) {
  const TestPicture picture = gradientPicture(128, 128);
  std::vector<uint8_t> icc(70000);
  for (size_t i = 0; i < icc.size(); ++i) icc[i] = uint8_t(i * 7);
  const std::vector<uint8_t> jpeg = compressPicture(picture, 80, icc);
  ASSERT_GT(jpeg.size(), 4u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
  EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);

  const std::vector<Segment> s = segmentsOf(jpeg);
  ASSERT_GE(s.size(), 7u);
  EXPECT_EQ(s[0].marker, 0xE0);
  EXPECT_EQ(std::string(s[0].payload.begin(), s[0].payload.begin() + 5), std::string("JFIF", 5));
  EXPECT_EQ(s[1].marker, 0xFE);
  EXPECT_EQ(s[1].payload, std::vector<uint8_t>(kMakerWebAddress, kMakerWebAddress + sizeof kMakerWebAddress));
  EXPECT_EQ(s[2].marker, 0xE1);
  EXPECT_EQ(s[2].payload, buildExifBlock(true));

  std::vector<uint8_t> profile;
  for (int chunk = 0; chunk < 2; ++chunk) {
    const Segment& app2 = s[3 + size_t(chunk)];
    EXPECT_EQ(app2.marker, 0xE2);
    ASSERT_GT(app2.payload.size(), 14u);
    EXPECT_EQ(std::string(app2.payload.begin(), app2.payload.begin() + 12), std::string("ICC_PROFILE", 12));
    EXPECT_EQ(app2.payload[12], chunk + 1);
    EXPECT_EQ(app2.payload[13], 2);
    profile.insert(profile.end(), app2.payload.begin() + 14, app2.payload.end());
  }
  EXPECT_EQ(s[3].payload.size(), 14u + 65519u);
  EXPECT_EQ(profile, icc);

  KeywordList none;
  clearKeywords(none);
  EXPECT_EQ(s[5].marker, 0xED);
  EXPECT_EQ(s[5].payload, buildIptcBlock(none, {2024, 3, 7}, true));
  // Only the codec's own segments follow.
  for (size_t i = 6; i < s.size(); ++i) EXPECT_TRUE(s[i].marker == 0xDB || s[i].marker == 0xC4 || s[i].marker == 0xC0) << i;

  // Without a profile there are no APP2 segments.
  const std::vector<Segment> plain = segmentsOf(compressPicture(picture));
  EXPECT_EQ(plain[3].marker, 0xED);
}

TEST(JpegWriter, TablesAndSamplingFollowTheQuality) {
  const TestPicture picture = gradientPicture(40, 40);
  struct Case {
    int quality, row, sampling;
  } cases[] = {{80, 8, 1}, {89, 8, 1}, {40, 4, 2}, {50, 5, 1}, {150, 9, 1}, {-5, 0, 2}, {0, 0, 2}, {99, 9, 1}};
  for (const Case& c : cases) {
    const Header h = headerOf(compressPicture(picture, c.quality));
    ASSERT_TRUE(h.ok) << c.quality;
    EXPECT_EQ(h.lumaH, c.sampling) << c.quality;
    EXPECT_EQ(h.lumaV, c.sampling) << c.quality;
    EXPECT_EQ(h.chromaH, 1) << c.quality;
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(h.luminance[i], kQuantRows[size_t(c.row)].luminance[size_t(i)]) << c.quality << " at " << i;
      EXPECT_EQ(h.chrominance[i], kQuantRows[size_t(c.row)].chrominance[size_t(i)]) << c.quality << " at " << i;
    }
  }
  // The row every thumbnail uses, corner values as given.
  const Header h = headerOf(compressPicture(picture, 80));
  EXPECT_EQ(h.luminance[0], 2u);
  EXPECT_EQ(h.luminance[7], 6u);
  EXPECT_EQ(h.luminance[36], 8u);
  EXPECT_EQ(h.luminance[63], 12u);
  EXPECT_EQ(h.chrominance[0], 3u);
  EXPECT_EQ(h.chrominance[56], 15u);
  EXPECT_EQ(h.chrominance[63], 12u);
  // Finer rows never have coarser steps than row 8 and coarser rows never finer ones.
  for (size_t i = 0; i < 64; ++i) {
    EXPECT_LE(kQuantRows[9].luminance[i], kQuantRows[8].luminance[i]);
    EXPECT_GE(kQuantRows[0].luminance[i], kQuantRows[7].luminance[i]);
  }
}

TEST(JpegWriter, SmallPicturesAreWidenedToSixteen) {
  const TestPicture picture = gradientPicture(5, 3);
  const Header h = headerOf(compressPicture(picture));
  ASSERT_TRUE(h.ok);
  EXPECT_EQ(h.width, 16);
  EXPECT_EQ(h.height, 16);
  EXPECT_EQ(h.components, 3);
}

TEST(JpegWriter, AStreamThatDoesNotFitEndsInAnError) {
  const TestPicture picture = gradientPicture(128, 128);
  const size_t whole = compressPicture(picture).size();
  for (size_t capacity : {size_t(0), size_t(100), whole / 2, whole - 1}) {
    std::vector<uint8_t> out(capacity + 64, 0xCD);
    size_t length = 99;
    const JpegOptions options{80, nullptr, 0, {2024, 3, 7}};
    EXPECT_EQ(compressJpeg(pictureSource(picture), options, out.data(), capacity, length), writErr) << capacity;
    EXPECT_EQ(length, 0u);
    for (size_t i = capacity; i < out.size(); ++i) ASSERT_EQ(out[i], 0xCD) << "written past the buffer at " << i;
  }
  std::vector<uint8_t> exact(whole);
  size_t length = 0;
  EXPECT_EQ(compressJpeg(pictureSource(picture), {80, nullptr, 0, {2024, 3, 7}}, exact.data(), whole, length), noErr);
  EXPECT_EQ(length, whole);
}

TEST(JpegWriter, RefusesWhatCannotBeCoded) {
  const TestPicture picture = gradientPicture(16, 16);
  std::vector<uint8_t> out(100000);
  size_t length = 1;
  JpegSource empty = pictureSource(picture);
  empty.width = 0;
  EXPECT_EQ(compressJpeg(empty, {80, nullptr, 0, {}}, out.data(), out.size(), length), writErr);
  JpegSource noRows = pictureSource(picture);
  noRows.readRow = nullptr;
  EXPECT_EQ(compressJpeg(noRows, {80, nullptr, 0, {}}, out.data(), out.size(), length), writErr);
  EXPECT_EQ(length, 0u);
}

namespace {
void* refuse(size_t) { return nullptr; }
}  // namespace

TEST(JpegWriter, FileIsWrittenWholeOrLeftEmpty) {
  ScratchFolder scratch;
  const TestPicture picture = gradientPicture(30, 20);
  const std::string path = scratch.file("dot 1.jpg");
  writeWholeFile(path, std::vector<uint8_t>(500000, 1));  // an older, longer file
  EXPECT_EQ(writeJpegFile(path.c_str(), pictureSource(picture), {80, nullptr, 0, {2024, 3, 7}}), noErr);
  EXPECT_EQ(readWholeFile(path), compressPicture(picture));

  void* (*saved)(size_t) = systemAllocate;
  systemAllocate = refuse;
  EXPECT_EQ(writeJpegFile(path.c_str(), pictureSource(picture), {80, nullptr, 0, {2024, 3, 7}}), kErrNoMemory);
  systemAllocate = saved;
  EXPECT_TRUE(readWholeFile(path).empty());

  EXPECT_EQ(writeJpegFile(scratch.file("missing/x.jpg").c_str(), pictureSource(picture), {80, nullptr, 0, {}}),
            kErrCannotOpen);
}

// An independent reader finds the metadata where other programs look for it.
TEST(JpegWriter, ExiftoolReadsTheMetadata) {
  if (std::system("command -v exiftool >/dev/null 2>&1") != 0) GTEST_SKIP() << "exiftool is not installed";
  ScratchFolder scratch;
  const std::string path = scratch.file("thumb.jpg");
  const TestPicture picture = gradientPicture(128, 128);
  ASSERT_EQ(writeJpegFile(path.c_str(), pictureSource(picture), {80, nullptr, 0, {2024, 3, 7}}), noErr);
  const std::string command = "exiftool -s -s -s -EXIF:Software -IPTC:Caption-Abstract -IPTC:Keywords "
                              "-IPTC:DateCreated -Comment '" + path + "' > '" + path + ".txt' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::vector<uint8_t> out = readWholeFile(path + ".txt");
  const std::string text(out.begin(), out.end());
  EXPECT_EQ(text, std::string("Tarve\nMade with Tarve\nTarve\n2024:03:07\n") + kMakerWebAddress + "\n");
}
