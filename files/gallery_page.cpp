#include "files/gallery_page.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "files/frame_images.h"
#include "files/page_text.h"

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kCellStart[] = "<td align=\"center\" valign=\"top\" width=\"20%\">";

void put(GalleryPage& page, const std::string& text) {
  const OSErr error = writeText(page.output, text.c_str());
  if (page.error == noErr) page.error = error;
}

std::string number(int32_t value) { return std::to_string(value); }

// The alt text is given only for thumbnails; frame pictures go without.
std::string imageTag(const std::string& name, const char* extension, const std::string* alt, int32_t width,
                     int32_t height) {
  std::string tag = std::string("<img src=\"") + kGalleryImagesFolder + "/" + escapeLink(name) + extension + "\"";
  if (alt) tag += " alt=\"" + *alt + extension + "\"";
  return tag + " width=\"" + number(width) + "\" height=\"" + number(height) + "\" border=\"0\">";
}

std::string frameTag(int index, int32_t width, int32_t height) {
  return imageTag(kFrameImages[index].name, ".gif", nullptr, width, height);
}

void writeHead(GalleryPage& page, const char* sourceFolder) {
  const bool presets = page.kind == kPresetsPage;
  std::string head = "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">";
  head += kCrLf;
  head += kCrLf;
  head += std::string("<html>") + kCrLf + "<head>" + kCrLf +
          "<meta http-equiv=\"content-type\" content=\"text/html;charset=ISO-8859-1\">" + kCrLf +
          "<meta name=\"generator\" content=\"Cobalt Finch Tarve\">" + "<title>Tarve" +
          (presets ? " presets" : " memory dots") + "</title>" + kCrLf + "</head>" + kCrLf + kCrLf +
          "<body bgcolor=\"#ffffff\">" + kCrLf + "<p>" + "<br>" + kCrLf + kCrLf +
          "<font size=\"4\" face=\"Gill Sans,Verdana,Helvetica,Arial,Geneva\">" + "<b>" + "Tarve";
  head += presets ? " presets from " + escapePageText(sourceFolder) : std::string(" memory dots ");
  head += std::string("<br>") + kCrLf + "</b>" + "</font>" + "</p>" +
          "<table width=\"100%\" border=\"0\" cellspacing=\"12\" cellpadding=\"0\" align=\"center\">";
  put(page, head);
}

void writeSpacerRow(GalleryPage& page) {
  std::string row = std::string(kCrLf) + "<tr>";
  for (int32_t i = 0; i < page.columns; ++i) row += std::string(kCellStart) + "<p>&nbsp;</p></td>";
  put(page, row + "</tr>");
}

void advanceColumn(GalleryPage& page) {
  page.column += 1;
  if (page.column <= page.columns) return;
  put(page, "</tr>");
  writeSpacerRow(page);
  page.row += 1;
  page.column = 1;
}

void writeEmptyCell(GalleryPage& page) {
  put(page, std::string(kCellStart) + "<p>" + "</p>" + kCrLf + "<div align=\"center\">" + kCrLf +
                "<p><font face=\"Hoefler Text,Times New Roman,Georgia,Times\"><b>" + "</b></font></p>" + kCrLf +
                "</div>" + kCrLf + "</td>" + kCrLf + kCrLf);
  advanceColumn(page);
}

}  // namespace

OSErr beginGalleryPage(GalleryPage& page, int32_t kind, const char* pagePath, const char* sourceFolder) {
  page = {};
  page.kind = kind;
  page.columns = kind == kPresetsPage ? 5 : 4;
  page.column = page.row = 1;
  page.output = kNoFile;
  // Thumbnails that cannot be written are skipped later on, so a folder that cannot be made
  // does not stop the page.
  // A page named without a folder lies in the current one.
  FileSpec pageFolder = folderPart(pagePath);
  if (std::strcmp(pageFolder.path, pagePath) == 0) pageFolder.path[0] = '\0';
  if (makeSubfolder(pageFolder.path, kGalleryImagesFolder, page.imagesFolder) == noErr)
    writeFrameImages(page.imagesFolder.path);
  if (openFile(pagePath, FileAccess::writing, page.output) != noErr) return kErrCannotOpen;
  writeHead(page, sourceFolder);
  return noErr;
}

std::string claimImageName(GalleryPage& page, const char* name) {
  const std::string cleaned = cleanFileName(name);
  // Compared without case, so that the page stays whole on file systems that ignore it.
  auto taken = [&page](const std::string& candidate) {
    return std::any_of(page.imageNames.begin(), page.imageNames.end(),
                       [&](const std::string& used) { return strcasecmp(used.c_str(), candidate.c_str()) == 0; });
  };
  std::string claimed = cleaned;
  for (int32_t n = 2; taken(claimed); ++n) claimed = cleaned + " " + number(n);
  page.imageNames.push_back(claimed);
  return claimed;
}

FileSpec thumbnailPath(const GalleryPage& page, const std::string& imageName) {
  return joinPath(page.imagesFolder.path, (imageName + ".jpg").c_str());
}

void writeThumbnailCell(GalleryPage& page, const std::string& imageName, const char* caption, int32_t width,
                        int32_t height) {
  const std::string shown = escapePageText(caption);
  const int32_t framed = width + 6;
  std::string cell = page.column == 1 ? "<tr>" : "";
  cell += std::string(kCellStart) + kCrLf;
  cell += "<table id=\"Table_01\" width=\"" + number(framed) +
          "\" border=\"0\" cellspacing=\"0\" cellpadding=\"0\" height=\"" + number(height + 7) + "\">" + kCrLf;
  cell += std::string("<tr>") + kCrLf + "<td colspan=\"3\">" + frameTag(0, framed, 2) + "</td>" + kCrLf + "</tr>" +
          kCrLf;
  cell += std::string("<tr>") + kCrLf + "<td>" + frameTag(1, 3, height) + "</td>" + kCrLf + "<td>" +
          imageTag(imageName, ".jpg", &shown, width, height) + "</td>" + kCrLf + "<td>" + frameTag(2, 3, height) +
          "</td>" + kCrLf + "</tr>" + kCrLf;
  cell += std::string("<tr>") + kCrLf + "<td colspan=\"3\">" + frameTag(3, framed, 5) + "</td>" + kCrLf + "</tr>" +
          kCrLf + "</table>" + kCrLf;
  cell += std::string("<div align=\"center\">") + kCrLf +
          "<br><font  size=\"3\" face=\"Gill Sans,Verdana,Helvetica,Arial\">" + shown + "</font>" + "</div>" +
          "</td>" + kCrLf + kCrLf;
  put(page, cell);
  advanceColumn(page);
}

OSErr endGalleryPage(GalleryPage& page) {
  if (page.output == kNoFile) return kErrCannotOpen;
  while (page.column > 1) writeEmptyCell(page);
  put(page, std::string("</table>") + "<br>" + kCrLf + "</body>" + "</html>");
  const OSErr cut = setEndOfFile(page.output);
  if (page.error == noErr) page.error = cut;
  closeFile(page.output);
  return page.error;
}
