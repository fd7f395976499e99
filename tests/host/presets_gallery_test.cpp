// The presets page written from folders of settings files.
#include "host/presets_gallery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/file_io.h"
#include "host/settings_file.h"
#include "tests/files/thumbnail_test_support.h"
#include "tests/host/gallery_test_support.h"
#include "tests/isolated_temp.h"

namespace {

struct PresetFolder {
  ScratchFolder root;
  std::string folder, page;

  explicit PresetFolder(const std::string& name = "presets") : folder(root.file(name) + "/"), page(root.file("out/page.html")) {
    mkdir(folder.c_str(), 0755);
    mkdir(root.file("out").c_str(), 0755);
  }
  // A preset whose thumbnail is a flat colour, or none.
  void add(const std::string& name, bool withThumbnail = true, uint8_t red = 200) {
    Settings settings{};
    applyDefaultSettings(settings);
    TestThumbnail thumbnail;
    for (int32_t y = 0; y < kThumbnailSide; ++y)
      for (int32_t x = 0; x < kThumbnailSide; ++x) setPixel(x, y, thumbnail.raster, 0, red, 40, 90, 255);
    ASSERT_EQ(writeSettingsFile((folder + name).c_str(), settings, withThumbnail ? &thumbnail.raster : nullptr), noErr);
  }
  std::string image(const std::string& name) const { return root.file("out/web_images/" + name); }
};

}  // namespace

TEST(PresetsGallery, SevenPresetsFillARowOfFiveThenTwoAndThreeEmptyCells) {
  PresetFolder p;
  for (int i = 1; i <= 7; ++i) p.add("look " + std::to_string(i) + ".q8r");
  ASSERT_EQ(writePresetsPage(p.folder.c_str(), p.page.c_str()), noErr);
  const std::string page = pageText(p.page);
  EXPECT_EQ(gridOf(page), "TTTTTRSTTEEERS");
  EXPECT_EQ(countOf(page, "<tr><td align=\"center\" valign=\"top\" width=\"20%\">\r\n<table"), 2) << "one <tr> per row";
  EXPECT_EQ(page.substr(page.size() - 28), "</table><br>\r\n</body></html>");
  for (int i = 1; i <= 7; ++i) {
    const DecodedJpeg jpeg = decodeJpegFile(p.image("look " + std::to_string(i) + ".jpg"));
    EXPECT_EQ(jpeg.width, 128);
    EXPECT_EQ(jpeg.height, 128);
  }
}

// The whole page for one preset, piece by piece as the page format has it.
TEST(PresetsGallery, APageOfOnePresetHasEveryByteInPlace) {
  PresetFolder p("sea & sky");
  p.add("my preset.q8r");
  ASSERT_EQ(writePresetsPage(p.folder.c_str(), p.page.c_str()), noErr);
  const std::string cell = "<td align=\"center\" valign=\"top\" width=\"20%\">";
  std::string empty = cell + "<p></p>\r\n<div align=\"center\">\r\n<p><font face=\"Hoefler Text,Times New Roman,"
                             "Georgia,Times\"><b></b></font></p>\r\n</div>\r\n</td>\r\n\r\n";
  std::string spacer = "\r\n<tr>";
  for (int i = 0; i < 5; ++i) spacer += cell + "<p>&nbsp;</p></td>";
  spacer += "</tr>";
  const std::string expected =
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n\r\n<html>\r\n<head>\r\n"
      "<meta http-equiv=\"content-type\" content=\"text/html;charset=ISO-8859-1\">\r\n"
      "<meta name=\"generator\" content=\"Cobalt Finch Tarve\"><title>Tarve presets</title>\r\n</head>\r\n\r\n"
      "<body bgcolor=\"#ffffff\">\r\n<p><br>\r\n\r\n<font size=\"4\" face=\"Gill Sans,Verdana,Helvetica,Arial,Geneva\">"
      "<b>Tarve presets from " + p.root.path + "sea &amp; sky/<br>\r\n</b></font></p>"
      "<table width=\"100%\" border=\"0\" cellspacing=\"12\" cellpadding=\"0\" align=\"center\">"
      "<tr>" + cell + "\r\n"
      "<table id=\"Table_01\" width=\"94\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" height=\"95\">\r\n"
      "<tr>\r\n<td colspan=\"3\"><img src=\"web_images/top.gif\" width=\"94\" height=\"2\" border=\"0\"></td>\r\n</tr>\r\n"
      "<tr>\r\n<td><img src=\"web_images/left.gif\" width=\"3\" height=\"88\" border=\"0\"></td>\r\n"
      "<td><img src=\"web_images/my%20preset.jpg\" alt=\"my preset.jpg\" width=\"88\" height=\"88\" border=\"0\"></td>\r\n"
      "<td><img src=\"web_images/right.gif\" width=\"3\" height=\"88\" border=\"0\"></td>\r\n</tr>\r\n"
      "<tr>\r\n<td colspan=\"3\"><img src=\"web_images/bottom.gif\" width=\"94\" height=\"5\" border=\"0\"></td>\r\n"
      "</tr>\r\n</table>\r\n"
      "<div align=\"center\">\r\n<br><font  size=\"3\" face=\"Gill Sans,Verdana,Helvetica,Arial\">my preset</font>"
      "</div></td>\r\n\r\n" + empty + empty + empty + empty + "</tr>" + spacer +
      "</table><br>\r\n</body></html>";
  EXPECT_EQ(pageText(p.page), expected);
  for (const char* frame : {"top.gif", "left.gif", "right.gif", "bottom.gif"})
    EXPECT_FALSE(readWholeFile(p.image(frame)).empty()) << frame;
  // The thumbnail is the preset's picture.
  const DecodedJpeg jpeg = decodeJpegFile(p.image("my preset.jpg"));
  ASSERT_EQ(jpeg.rgba.size(), 128u * 128u * 4u);
  EXPECT_NEAR(jpeg.rgba[4 * (60 * 128 + 60)], 200, 4);
  EXPECT_NEAR(jpeg.rgba[4 * (60 * 128 + 60) + 1], 40, 4);
}

TEST(PresetsGallery, TakesEveryNameWithTheExtensionAnywhereInAnyCase) {
  PresetFolder p;
  p.add("a.Q8R");
  p.add("x.q8r.bak");
  writeWholeFile(p.folder + "notes.txt", {'n'});
  mkdir((p.folder + "older.q8r").c_str(), 0755);  // a folder is never a preset
  ASSERT_EQ(writePresetsPage(p.folder.c_str(), p.page.c_str()), noErr);
  const std::string page = pageText(p.page);
  EXPECT_EQ(countOf(page, "<table id=\"Table_01\""), 2);
  EXPECT_EQ(countOf(page, ">a</font>"), 1);
  EXPECT_EQ(countOf(page, ">x.q8r</font>"), 1);
  EXPECT_EQ(countOf(page, "src=\"web_images/x%2eq8r.jpg\""), 1);
  EXPECT_EQ(page.find("notes"), std::string::npos);
  EXPECT_EQ(page.find("older"), std::string::npos);
}

// Names as the file system gives them: UTF-8, markup, and names that clean to one file.
TEST(PresetsGallery, NamesShowAsTheUserSeesThemAndNeverBecomeMarkup) {
  PresetFolder p;
  p.add("Sj\xC3\xB6.q8r");
  p.add("<script src=x>.q8r");
  p.add("x.q8r", true, 250);
  p.add("x.Q8R", true, 10);
  ASSERT_EQ(writePresetsPage(p.folder.c_str(), p.page.c_str()), noErr);
  const std::string page = pageText(p.page);
  EXPECT_EQ(countOf(page, "src=\"web_images/SjcV.jpg\" alt=\"Sj&ouml;.jpg\""), 1);
  EXPECT_EQ(countOf(page, ">Sj&ouml;</font>"), 1);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(countOf(page, "src=\"web_images/%3cscript%20src%3dx%3e.jpg\" alt=\"&lt;script src=x&gt;.jpg\""), 1);
  EXPECT_EQ(countOf(page, ">&lt;script src=x&gt;</font>"), 1);
  for (const char c : page) EXPECT_LT(static_cast<unsigned char>(c), 128) << "the page is plain ASCII";
  // The two presets named x keep a thumbnail file each, each showing its own picture.
  EXPECT_EQ(countOf(page, "src=\"web_images/x.jpg\""), 1);
  EXPECT_EQ(countOf(page, "src=\"web_images/x%202.jpg\""), 1);
  const DecodedJpeg first = decodeJpegFile(p.image("x.jpg")), second = decodeJpegFile(p.image("x 2.jpg"));
  ASSERT_FALSE(first.rgba.empty());
  ASSERT_FALSE(second.rgba.empty());
  EXPECT_GT(std::abs(first.rgba[0] - second.rgba[0]), 100);
}

TEST(PresetsGallery, APresetWithoutAThumbnailShowsTheBlankGradient) {
  PresetFolder p;
  p.add("bare.q8r", false);
  ASSERT_EQ(writePresetsPage(p.folder.c_str(), p.page.c_str()), noErr);
  const DecodedJpeg jpeg = decodeJpegFile(p.image("bare.jpg"));
  ASSERT_EQ(jpeg.width, 128);
  ASSERT_FALSE(jpeg.rgba.empty());
  EXPECT_NEAR(jpeg.rgba[4 * 64], 255, 3);
  EXPECT_NEAR(jpeg.rgba[4 * (127 * 128 + 64)], 128, 3);
}

TEST(PresetsGallery, NothingIsWrittenWhenTheFolderOrThePageCannotBeUsed) {
  PresetFolder p;
  p.add("a.q8r");
  EXPECT_EQ(writePresetsPage(p.root.file("missing/").c_str(), p.page.c_str()), kErrCannotOpen);
  EXPECT_TRUE(readWholeFile(p.page).empty());
  EXPECT_EQ(writePresetsPage(p.folder.c_str(), p.root.file("no/such/folder/page.html").c_str()), kErrCannotOpen);
  // A page written over a longer one keeps nothing of it.
  writeWholeFile(p.page, std::vector<uint8_t>(100000, 'x'));
  ASSERT_EQ(writePresetsPage(p.folder.c_str(), p.page.c_str()), noErr);
  EXPECT_EQ(pageText(p.page).find('x' + std::string(10, 'x')), std::string::npos);
}
