// The frame pictures, read back by an independent GIF reader.
#include "files/frame_images.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <random>

#include "files/file_io.h"
#include "files/gif_writer.h"
#include "tests/files/scratch_folder.h"

namespace {

struct DecodedGif {
  bool read = false;
  int32_t width = 0, height = 0, colours = 0;
  std::vector<uint8_t> indices;
  GifPalette palette{};
};

DecodedGif readGif(const std::string& path) {
  DecodedGif out;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif) return out;
  if (DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 && gif->SColorMap) {
    const SavedImage& image = gif->SavedImages[0];
    out.read = true;
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    out.colours = gif->SColorMap->ColorCount;
    out.indices.assign(image.RasterBits, image.RasterBits + size_t(image.ImageDesc.Width) * image.ImageDesc.Height);
    for (int i = 0; i < std::min(out.colours, 16); ++i) {
      const GifColorType& c = gif->SColorMap->Colors[i];
      out.palette[size_t(i)] = {c.Red, c.Green, c.Blue};
    }
  }
  DGifCloseFile(gif, &error);
  return out;
}

}  // namespace

TEST(FrameImages, AreSixteenGreyGifsOfTheirSizesWithAShadowBelowAndRight) {
  ScratchFolder scratch;
  ASSERT_EQ(writeFrameImages(scratch.path.c_str()), noErr);
  for (const FrameImage& frame : kFrameImages) {
    const std::vector<uint8_t> bytes = readWholeFile(scratch.file(std::string(frame.name) + ".gif"));
    ASSERT_GE(bytes.size(), 6u) << frame.name;
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    const DecodedGif gif = readGif(scratch.file(std::string(frame.name) + ".gif"));
    ASSERT_TRUE(gif.read) << frame.name;
    EXPECT_EQ(gif.width, frame.width);
    EXPECT_EQ(gif.height, frame.height);
    EXPECT_EQ(gif.colours, 16);
    for (const auto& c : gif.palette) {
      EXPECT_TRUE(c[0] == c[1] && c[1] == c[2]) << frame.name;
      EXPECT_GE(c[0], 150) << "a light grey";
    }
  }
  // The shadow falls right and down: the right strip is darker than the left one, the
  // bottom darker than the top, and the top-left corner is white.
  auto darkness = [&](int index) {
    const DecodedGif gif = readGif(scratch.file(std::string(kFrameImages[index].name) + ".gif"));
    int sum = 0;
    for (uint8_t i : gif.indices) sum += 255 - gif.palette[i][0];
    return sum;
  };
  EXPECT_GT(darkness(2), darkness(1));
  EXPECT_GT(darkness(3), darkness(0));
  EXPECT_EQ(readGif(scratch.file("top.gif")).indices[0], 0);
}

TEST(GifWriter, AnyPictureComesBackExactlyThroughFullAndResetTables) {
  ScratchFolder scratch;
  GifPalette palette{};
  for (int i = 0; i < 16; ++i) palette[size_t(i)] = {uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 7)};
  std::mt19937 random(7);
  struct Case {
    int32_t width, height;
    int colours;  // few colours make long strings; many fill the table and reset it
  };
  for (const Case c : {Case{1, 1, 16}, Case{5, 3, 2}, Case{301, 217, 16}, Case{640, 480, 3}}) {
    std::vector<uint8_t> indices(size_t(c.width) * size_t(c.height));
    for (uint8_t& i : indices) i = uint8_t(random() % unsigned(c.colours));
    const std::vector<uint8_t> gif = encodeGif(c.width, c.height, palette, indices);
    const std::string path = scratch.file("picture.gif");
    writeWholeFile(path, gif);
    const DecodedGif back = readGif(path);
    ASSERT_TRUE(back.read) << c.width << " x " << c.height;
    EXPECT_EQ(back.width, c.width);
    EXPECT_EQ(back.height, c.height);
    EXPECT_TRUE(back.indices == indices) << c.width << " x " << c.height;
    EXPECT_EQ(back.palette, palette);
  }
  EXPECT_TRUE(encodeGif(0, 4, palette, {}).empty());
  EXPECT_TRUE(encodeGif(2, 1, palette, {0, 16}).empty());
  EXPECT_TRUE(encodeGif(2, 2, palette, {0, 1}).empty());
}

TEST(FrameImages, AFolderThatCannotBeWrittenGivesTheOpenError) {
  EXPECT_EQ(writeFrameImages("/nonexistent-folder-of-tarve/"), kErrCannotOpen);
}
