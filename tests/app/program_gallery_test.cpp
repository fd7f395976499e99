// Presets made from the shell with thumbnails, and their gallery page.
#include <sys/stat.h>

#include "host/settings_file.h"
#include "tests/app/tarve_program.h"
#include "tests/files/stand_in_browser.h"
#include "tests/files/thumbnail_test_support.h"

namespace {

// Red in the columns left of `redColumns`, blue to the right of them.
HostImage splitImage(int32_t width, int32_t height, int32_t redColumns, int32_t depth, int32_t planes) {
  HostImage image = makeHostImage(width, height, depth, planes, false);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t p = 0; p < planes; ++p) {
        const bool red = x < redColumns;
        const float v = planes == 1 ? (red ? 0.9f : 0.1f) : p == 0 ? (red ? 0.9f : 0.1f) : p == 2 ? (red ? 0.1f : 0.9f) : 0.2f;
        if (depth == 8) *image.at(x, y, p) = uint8_t(v * 255);
        if (depth == 16) {
          const uint16_t w = uint16_t(v * 32768);
          std::memcpy(image.at(x, y, p), &w, 2);
        }
      }
  return image;
}

}  // namespace

// The preview of a 1000 x 200 image is reduced by 3 to 333 x 66, so the thumbnail is made
// of the image's top-left 198 x 198 pixels; one of 600 x 400 by 2 to 300 x 200, from its
// top-left 400 x 400.
TEST(ProgramGallery, AThumbnailIsTheTopLeftSquareOfThePreviewAtAnyDepth) {
  ScratchFolder folder;
  const struct {
    int32_t width, height, square, depth, planes;
  } cases[] = {{1000, 200, 198, 8, 3}, {600, 400, 400, 16, 3}, {300, 100, 100, 8, 1}};
  for (const auto& c : cases) {
    const std::string image = folder.file("picture.png"), preset = folder.file("look.q8r");
    writeImage(image, splitImage(c.width, c.height, c.square, c.depth, c.planes));
    const ProgramRun run = runTarve({"preset", "make", preset, "--thumbnail", image, "--seed", "9"});
    ASSERT_EQ(run.status, 0) << run.err;
    Settings settings{};
    TestThumbnail thumbnail;
    ThumbnailRead found;
    ASSERT_EQ(readSettingsFile(preset.c_str(), kReadSettingsAndThumbnail, settings, &thumbnail.raster, found), noErr);
    EXPECT_EQ(settings.randomSeed, 9);
    ASSERT_TRUE(found.loaded);
    for (int32_t x : {0, 64, 127}) {
      const PixelValue p = getPixel(x, 64, thumbnail.raster, 0);
      if (c.planes == 1) {
        EXPECT_GT(p.r, 200) << c.width << " x " << c.height << " at " << x;
        EXPECT_EQ(p.r, p.b);
      } else {
        EXPECT_GT(p.r, 200) << c.width << " x " << c.height << " at " << x;
        EXPECT_LT(p.b, 60) << c.width << " x " << c.height << " at " << x;
      }
    }
  }
  expectOneLineFailure(runTarve({"preset", "make", folder.file("x.q8r"), "--thumbnail", folder.file("none.png")}),
                       "none.png");
  EXPECT_FALSE(fileExists(folder.file("x.q8r")));
}

TEST(ProgramGallery, WritesThePageOfAFolderAndSaysWhereItWent) {
  ScratchFolder folder;
  const std::string presets = folder.file("my presets & more");
  mkdir(presets.c_str(), 0755);
  writeImage(folder.file("picture.png"), splitImage(200, 100, 100, 8, 3));
  for (const char* name : {"a.q8r", "b.Q8R"})
    ASSERT_EQ(runTarve({"preset", "make", presets + "/" + name, "--thumbnail", folder.file("picture.png")}).status, 0);
  writeWholeFile(presets + "/notes.txt", {'x'});

  // A page named without a folder goes into the current one, with web_images beside it.
  const std::string page = folder.file("page.html");
  const std::filesystem::path here = std::filesystem::current_path();
  std::filesystem::current_path(folder.path);
  const ProgramRun run = runTarve({"gallery", presets, "-o", "page.html"});
  std::filesystem::current_path(here);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, page + "\n");
  const std::vector<uint8_t> bytes = readWholeFile(page);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find("Tarve presets from " + folder.path + "my presets &amp; more/<br>"), std::string::npos);
  EXPECT_NE(text.find("alt=\"a.jpg\""), std::string::npos);
  EXPECT_NE(text.find("alt=\"b.jpg\""), std::string::npos);
  EXPECT_EQ(text.find("notes"), std::string::npos);
  for (const char* image : {"a.jpg", "b.jpg", "top.gif", "left.gif", "right.gif", "bottom.gif"})
    EXPECT_TRUE(fileExists(folder.file(std::string("web_images/") + image))) << image;
}

TEST(ProgramGallery, BadFoldersAndPagesAreOneLine) {
  ScratchFolder folder;
  writeWholeFile(folder.file("file.q8r"), {'x'});
  expectOneLineFailure(runTarve({"gallery", folder.file("missing"), "-o", folder.file("p.html")}), "missing");
  expectOneLineFailure(runTarve({"gallery", folder.file("file.q8r"), "-o", folder.file("p.html")}), "file.q8r");
  expectOneLineFailure(runTarve({"gallery", folder.path, "-o", folder.file("no/such/p.html")}), "no/such/p.html");
  expectOneLineFailure(runTarve({"gallery", folder.path, "-o", folder.path}), "folder");
  expectOneLineFailure(runTarve({"gallery", folder.path}), "-o PAGE.html");
  EXPECT_FALSE(fileExists(folder.file("p.html")));
}

// The browser is whatever xdg-open finds on the PATH.
TEST(ProgramGallery, OpensThePageOnlyWhenAsked) {
  ScratchFolder folder;
  StandInBrowser browser;
  ASSERT_EQ(runTarve({"gallery", folder.path, "-o", folder.file("first.html"), "--open"}).status, 0);
  EXPECT_EQ(browser.opened(1), folder.file("first.html") + "\n");
  ASSERT_EQ(runTarve({"gallery", folder.path, "-o", folder.file("quiet.html")}).status, 0);
  ASSERT_EQ(runTarve({"gallery", folder.path, "-o", folder.file("last.html"), "--open"}).status, 0);
  EXPECT_EQ(browser.opened(2), folder.file("first.html") + "\n" + folder.file("last.html") + "\n");
}
