// Writes the module's artwork, painted here with Cairo, as a C++ source of packed pixels
// (resources/windows/artwork_stored.h): how a build without Cairo carries the same pictures.
#include <cstdio>
#include <string>
#include <vector>

#include "resources/artwork.h"
#include "resources/windows/artwork_packing.h"

namespace {
struct Entry {
  int32_t id;
  UiPicture picture;
  int32_t hotX, hotY;
};

// Printable characters stand for themselves; the rest as three-digit octal escapes, which
// never run on into a following digit.
std::string literal(const std::vector<uint8_t>& bytes) {
  std::string text = "    \"";
  size_t lineStart = 0;
  for (uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\' && b != '?') {
      text += static_cast<char>(b);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\%03o", b);
      text += escaped;
    }
    if (text.size() - lineStart > 110) {
      text += "\"\n    \"";
      lineStart = text.size();
    }
  }
  return text + "\"";
}

void writeTable(FILE* out, const char* name, const char* countName, const std::vector<Entry>& entries) {
  std::fprintf(out, "extern const StoredArtwork %s[] = {\n", name);
  for (const Entry& e : entries) {
    std::fprintf(out, "    {%d, %d, %d, %d, %d, kPacked%d, sizeof kPacked%d - 1},\n", e.id, e.picture.width,
                 e.picture.height, e.hotX, e.hotY, e.id, e.id);
  }
  std::fprintf(out, "};\nextern const size_t %s = %zu;\n\n", countName, entries.size());
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_artwork_source FILE.cpp\n");
    return 2;
  }
  std::vector<Entry> pictures, cursors;
  for (int32_t id : artworkPictureIds()) pictures.push_back({id, artworkPicture(id), 0, 0});
  for (int32_t id : {kArtworkCursorPanning, kArtworkCursorPreview}) {
    const ArtworkCursor cursor = artworkCursor(id);
    cursors.push_back({id, cursor.picture, cursor.hotX, cursor.hotY});
  }
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "// Written by write_artwork_source from the module's painters; not to be edited.\n");
  std::fprintf(out, "#include \"resources/windows/artwork_stored.h\"\n\nnamespace {\n");
  bool ok = true;
  for (const std::vector<Entry>* list : {&pictures, &cursors}) {
    for (const Entry& e : *list) {
      if (!e.picture.rgba) {
        std::fprintf(stderr, "write_artwork_source: picture %d was not painted\n", e.id);
        ok = false;
        continue;
      }
      const size_t bytes = static_cast<size_t>(e.picture.width) * e.picture.height * 4;
      const std::vector<uint8_t> packed = packPixels({e.picture.rgba, bytes}, e.picture.width);
      std::fprintf(out, "const char kPacked%d[] =\n%s;\n", e.id, literal(packed).c_str());
    }
  }
  std::fprintf(out, "}  // namespace\n\n");
  writeTable(out, "kStoredPictures", "kStoredPictureCount", pictures);
  writeTable(out, "kStoredCursors", "kStoredCursorCount", cursors);
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return ok ? 0 : 1;
}
