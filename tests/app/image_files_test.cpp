// Image files written and read back by the program's own readers and writers, and files
// made directly with the libraries in layouts the program does not write itself.
#include <png.h>
#include <tiffio.h>

#include <cstring>

#include "tests/app/tarve_program.h"

namespace {

struct Layout {
  const char* extension;
  int32_t colourPlanes;
  bool alpha;
  int32_t depth;
};

std::string describe(const Layout& l) {
  return std::string(l.extension) + " planes " + std::to_string(l.colourPlanes) + (l.alpha ? "+alpha" : "") + " depth " +
         std::to_string(l.depth);
}

}  // namespace

TEST(ImageFiles, PngAndTiffKeepEverySampleOfEveryLayout) {
  const Layout layouts[] = {
      {".png", 1, false, 8},  {".png", 1, true, 8},   {".png", 3, false, 8},  {".png", 3, true, 8},
      {".png", 1, false, 16}, {".png", 1, true, 16},  {".png", 3, false, 16}, {".png", 3, true, 16},
      {".tif", 1, false, 8},  {".tif", 3, true, 8},   {".tif", 1, true, 16},  {".tif", 3, false, 16},
      {".tif", 1, false, 32}, {".tif", 1, true, 32},  {".tif", 3, false, 32}, {".tiff", 3, true, 32},
  };
  ScratchFolder folder;
  for (const Layout& l : layouts) {
    const HostImage image = sceneImage(37, 21, l.depth, l.colourPlanes, l.alpha);
    const std::string path = folder.file("image" + std::string(l.extension));
    writeImage(path, image);
    const HostImage back = readImage(path);
    EXPECT_EQ(back.width, 37) << describe(l);
    EXPECT_EQ(back.height, 21) << describe(l);
    EXPECT_EQ(back.depth, l.depth) << describe(l);
    EXPECT_EQ(back.colourPlanes, l.colourPlanes) << describe(l);
    EXPECT_EQ(back.transparency, l.alpha) << describe(l);
    EXPECT_EQ(back.samples, image.samples) << describe(l);
  }
}

TEST(ImageFiles, JpegKeepsGreyAndRgbCloseToTheOriginal) {
  ScratchFolder folder;
  for (int32_t planes : {1, 3}) {
    HostImage image = makeHostImage(32, 16, 8, planes, false);
    for (size_t i = 0; i < image.samples.size(); ++i) image.samples[i] = uint8_t(100 + (i / planes) % 32);
    writeImage(folder.file("smooth.jpg"), image);
    const HostImage back = readImage(folder.file("smooth.jpg"));
    ASSERT_EQ(back.colourPlanes, planes);
    ASSERT_EQ(back.samples.size(), image.samples.size());
    for (size_t i = 0; i < image.samples.size(); ++i) ASSERT_NEAR(back.samples[i], image.samples[i], 6) << i;
  }
}

TEST(ImageFiles, TheFormatOfAnInputComesFromItsContentsNotItsName) {
  ScratchFolder folder;
  const HostImage image = sceneImage(8, 8, 16, 3, false);
  writeImage(folder.file("really.png"), image);
  std::filesystem::rename(folder.file("really.png"), folder.file("named.jpg"));
  EXPECT_EQ(readImage(folder.file("named.jpg")).samples, image.samples);
}

TEST(ImageFiles, SixteenBitTiffSamplesMapOntoTheHostScale) {
  ScratchFolder folder;
  const std::string path = folder.file("levels.tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_TRUE(tif);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 4u);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 1u);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(1));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(16));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_MINISBLACK));
  uint16_t row[4] = {0, 1, 32768, 65535};
  TIFFWriteScanline(tif, row, 0, 0);
  TIFFClose(tif);
  const HostImage image = readImage(path);
  uint16_t levels[4];
  ASSERT_EQ(image.samples.size(), sizeof levels);
  std::memcpy(levels, image.samples.data(), sizeof levels);
  EXPECT_EQ(std::vector<uint16_t>(levels, levels + 4), (std::vector<uint16_t>{0, 1, 16384, 32768}));
}

TEST(ImageFiles, TiledAndPlanarTiffsReadLikeInterleavedStrips) {
  ScratchFolder folder;
  const HostImage image = sceneImage(40, 23, 8, 3, true);
  struct Variant {
    const char* name;
    bool tiled;
    bool planar;
  };
  for (const Variant v : {Variant{"tiled", true, false}, Variant{"planar", false, true}, Variant{"both", true, true}}) {
    const std::string path = folder.file(std::string(v.name) + ".tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_TRUE(tif);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 40u);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 23u);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(4));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &extra);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(v.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG));
    const int planes = v.planar ? 4 : 1, perPixel = v.planar ? 1 : 4;
    if (v.tiled) {
      TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
      TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
      std::vector<uint8_t> tile(16 * 16 * perPixel);
      for (int p = 0; p < planes; ++p)
        for (int ty = 0; ty < 23; ty += 16)
          for (int tx = 0; tx < 40; tx += 16) {
            std::fill(tile.begin(), tile.end(), 0);
            for (int y = ty; y < std::min(ty + 16, 23); ++y)
              for (int x = tx; x < std::min(tx + 16, 40); ++x)
                for (int s = 0; s < perPixel; ++s)
                  tile[((y - ty) * 16 + (x - tx)) * perPixel + s] = image.samples[(y * 40 + x) * 4 + (v.planar ? p : s)];
            TIFFWriteTile(tif, tile.data(), uint32_t(tx), uint32_t(ty), 0, uint16_t(p));
          }
    } else {
      std::vector<uint8_t> line(40 * perPixel);
      for (int p = 0; p < planes; ++p)
        for (int y = 0; y < 23; ++y) {
          for (int x = 0; x < 40; ++x)
            for (int s = 0; s < perPixel; ++s) line[x * perPixel + s] = image.samples[(y * 40 + x) * 4 + (v.planar ? p : s)];
          TIFFWriteScanline(tif, line.data(), uint32_t(y), uint16_t(p));
        }
    }
    TIFFClose(tif);
    EXPECT_EQ(readImage(path).samples, image.samples) << v.name;
  }
}

TEST(ImageFiles, PalettePngsBecomeRgbWithAlphaForTransparentEntries) {
  ScratchFolder folder;
  const std::string path = folder.file("palette.png");
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  png.width = 3;
  png.height = 1;
  png.format = PNG_FORMAT_RGBA_COLORMAP;
  png.colormap_entries = 2;
  const uint8_t colours[8] = {10, 20, 30, 255, 200, 100, 50, 0};
  const uint8_t indexes[3] = {0, 1, 0};
  ASSERT_TRUE(png_image_write_to_file(&png, path.c_str(), 0, indexes, 0, colours)) << png.message;
  const HostImage image = readImage(path);
  EXPECT_EQ(image.colourPlanes, 3);
  EXPECT_TRUE(image.transparency);
  EXPECT_EQ(image.samples, (std::vector<uint8_t>{10, 20, 30, 255, 200, 100, 50, 0, 10, 20, 30, 255}));
}
