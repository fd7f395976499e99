// Writes the module's pictures as PNG files, to look at them: one file per id, a contact
// sheet of all of them at 1:1 and enlarged, and a mock-up of the main dialog with every
// picture at its place and the other controls sketched in.
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "dialog/control_table.h"
#include "resources/artwork.h"
#include "resources/artwork_paint.h"

namespace {
// A premultiplied copy that Cairo can draw; the caller destroys it.
cairo_surface_t* surfaceOf(const UiPicture& picture) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, picture.width, picture.height);
  cairo_surface_flush(surface);
  uint8_t* rows = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int32_t y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(rows + size_t(y) * size_t(stride));
    const uint8_t* in = picture.rgba + size_t(y) * size_t(picture.width) * 4;
    for (int32_t x = 0; x < picture.width; ++x, in += 4) {
      const uint32_t a = in[3];
      auto premultiply = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = a << 24 | premultiply(in[0]) << 16 | premultiply(in[1]) << 8 | premultiply(in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

bool writePng(cairo_surface_t* surface, const std::string& path) {
  if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "write_artwork: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

void drawPicture(cairo_t* cr, const UiPicture& picture, double x, double y, double scale = 1) {
  cairo_surface_t* surface = surfaceOf(picture);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, surface, 0, 0);
  // Enlarged pictures keep hard pixel edges, so single pixels can be judged.
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(surface);
}

struct Shown {
  std::string name;
  UiPicture picture;
  int32_t hotX, hotY;  // -1: not a cursor
};

std::vector<Shown> everyPicture() {
  std::vector<Shown> shown;
  for (int32_t id : artworkPictureIds()) shown.push_back({"picture-" + std::to_string(id), artworkPicture(id), -1, -1});
  for (int32_t id : {kArtworkCursorPanning, kArtworkCursorPreview}) {
    const ArtworkCursor cursor = artworkCursor(id);
    shown.push_back({"cursor-" + std::to_string(id), cursor.picture, cursor.hotX, cursor.hotY});
  }
  return shown;
}

// Small pictures are shown at 1:1 and at 6:1 on a light chequer, which shows transparency.
bool writeContactSheet(const std::vector<Shown>& shown, const std::string& path) {
  constexpr double kSheetWidth = 1500, kPad = 14;
  // Lay out first to know the height.
  struct Place {
    double x, y, scale;
  };
  std::vector<Place> places;
  double x = kPad, y = kPad + 14, rowHeight = 0;
  for (const Shown& s : shown) {
    const double scale = s.picture.width <= 64 ? 6 : (s.picture.width <= 240 ? 2 : 1);
    const double w = s.picture.width * (scale + (scale > 1 ? 1 : 0)) + (scale > 1 ? 8 : 0);
    const double h = s.picture.height * scale + 18;
    if (x + w > kSheetWidth - kPad) {
      x = kPad;
      y += rowHeight + kPad + 14;
      rowHeight = 0;
    }
    places.push_back({x, y, scale});
    x += std::fmax(w, 90) + kPad;
    rowHeight = std::fmax(rowHeight, h);
  }
  const int height = int(y + rowHeight + kPad);
  cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(kSheetWidth), height);
  cairo_t* cr = cairo_create(sheet);
  cairo_set_source_rgb(cr, 0.86, 0.86, 0.86);
  cairo_paint(cr);
  for (int cy = 0; cy < height; cy += 8) {
    for (int cx = (cy / 8) % 2 * 8; cx < int(kSheetWidth); cx += 16) cairo_rectangle(cr, cx, cy, 8, 8);
  }
  cairo_set_source_rgb(cr, 0.94, 0.94, 0.94);
  cairo_fill(cr);
  for (size_t i = 0; i < shown.size(); ++i) {
    const Shown& s = shown[i];
    const Place& p = places[i];
    drawText(cr, s.name.c_str(), p.x, p.y - 4, 11, {0, 0, 0});
    if (!s.picture.rgba) continue;
    double left = p.x;
    if (p.scale > 1) {
      drawPicture(cr, s.picture, left, p.y);
      left += s.picture.width + 8;
    }
    drawPicture(cr, s.picture, left, p.y, p.scale);
    if (s.hotX >= 0) {
      // The hotspot, enlarged: a red square around its pixel.
      cairo_rectangle(cr, left + s.hotX * p.scale + 0.5, p.y + s.hotY * p.scale + 0.5, p.scale - 1, p.scale - 1);
      cairo_set_source_rgb(cr, 0.9, 0, 0);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
    }
  }
  cairo_destroy(cr);
  const bool written = writePng(sheet, path);
  cairo_surface_destroy(sheet);
  return written;
}

struct Rect {
  double x, y, w, h;
};

void sketchField(cairo_t* cr, Rect r, const char* text) {
  cairo_rectangle(cr, r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  drawText(cr, text, r.x + 3, r.y + r.h - 2, 10, {0, 0, 0});
}

// A push button as a desktop would draw it.
void sketchButton(cairo_t* cr, Rect r, const char* text) {
  fillRoundedRect(cr, r.x, r.y, r.w, r.h, 3, {0.97, 0.97, 0.97});
  strokeRoundedRect(cr, r.x, r.y, r.w, r.h, 3, {0.62, 0.62, 0.64});
  drawText(cr, text, r.x + r.w / 2, r.y + r.h / 2 + 4, 11, {0, 0, 0}, TextWeight::regular, TextAlign::centre);
}

// The main dialog as its own tables place things, with the plain settings and a few memory
// dots in each state.
void drawMainDialog(cairo_t* cr) {
  drawPicture(cr, artworkPicture(kArtworkDialogBackground), 0, 0);
  // Slider values by slider id: the plain settings.
  const std::pair<int32_t, int> values[] = {{37, 60}, {57, 0},   {39, 57}, {103, 50}, {59, 40}, {63, 50},
                                            {65, 42}, {61, 25},  {55, 0},  {12, 33},  {51, 40}};
  auto valueOf = [&](int32_t slider) {
    for (const auto& [id, value] : values) {
      if (id == slider) return value;
    }
    return 0;
  };
  // Dot states in the order of the dots: current, pinned, temporary, pressed looks.
  const int32_t dotPictures[] = {202, 215, 215, 213, 216, 203, 203, 210, 208, 203, 203, 203, 203,
                                 203, 203, 203, 203, 203, 203, 211, 212, 214, 203, 203, 203};
  for (int32_t id = 0; id < kControlCount; ++id) {
    const ControlEntry entry = controlEntry(id);
    LayoutRect l;
    if (!controlLayout(id, l)) continue;
    const Rect r{double(l.left), double(l.top), double(l.width), double(l.height)};
    switch (entry.kind) {
      case DialogControlKind::label:
        // Right-aligned, 11 pixels high, centred in the rectangle as the dialog sets it.
        drawText(cr, captionText(entry.textIndex), r.x + r.w, r.y - 2 + (r.h - 14) / 2 + 11, 11, {0, 0, 0},
                 TextWeight::regular, TextAlign::right);
        break;
      case DialogControlKind::slider: {
        drawPicture(cr, artworkPicture(entry.track), r.x, r.y);
        drawPicture(cr, artworkPicture(kArtworkSliderThumb), r.x + valueOf(id) * (r.w - 15) / 100 + 1, r.y + 1);
        break;
      }
      case DialogControlKind::valueField:
        sketchField(cr, r, std::to_string(valueOf(entry.partner)).c_str());
        break;
      case DialogControlKind::glueList: sketchField(cr, {r.x, r.y, r.w, 18}, "normal"); break;
      case DialogControlKind::iconButton: {
        // The window layer shows an icon button as its picture alone.
        const UiPicture icon = artworkPicture(entry.icon);
        drawPicture(cr, icon, r.x + std::floor((r.w - icon.width) / 2), r.y + std::floor((r.h - icon.height) / 2));
        break;
      }
      case DialogControlKind::zoomTextButton: sketchButton(cr, r, "100%"); break;
      case DialogControlKind::pushButton: sketchButton(cr, r, id == kIdOk ? "OK" : "Cancel"); break;
      case DialogControlKind::logo: drawPicture(cr, artworkPicture(entry.icon), r.x, r.y); break;
      case DialogControlKind::statusLine: drawText(cr, "plain settings.q8r", r.x + 4, r.y + 14, 11, {0, 0, 0}); break;
      case DialogControlKind::colourSwatch:
        fillRoundedRect(cr, r.x, r.y, r.w, r.h, 0, {0.87, 0.87, 0.87});
        fillRoundedRect(cr, r.x + 2, r.y + 2, r.w - 4, r.h - 4, 0, {257 / 65535.0, 514 / 65535.0, 771 / 65535.0});
        break;
      case DialogControlKind::memoryDot:
        drawPicture(cr, artworkPicture(dotPictures[id - kIdFirstMemoryDot]), r.x, r.y + 2);
        break;
      case DialogControlKind::dotPreview: drawPicture(cr, artworkPicture(kArtworkDotFrame), r.x, r.y); break;
      case DialogControlKind::previewArea: {
        // A picture inset by 2 with its one-pixel outline, as the dialog draws it.
        cairo_rectangle(cr, r.x + 1.5, r.y + 1.5, r.w - 3, r.h - 3);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_pattern_t* scene = cairo_pattern_create_linear(0, r.y + 2, 0, r.y + r.h - 2);
        cairo_pattern_add_color_stop_rgb(scene, 0, 0.55, 0.70, 0.86);
        cairo_pattern_add_color_stop_rgb(scene, 0.5, 0.85, 0.88, 0.80);
        cairo_pattern_add_color_stop_rgb(scene, 0.5, 0.10, 0.20, 0.30);
        cairo_pattern_add_color_stop_rgb(scene, 1, 0.02, 0.05, 0.10);
        cairo_rectangle(cr, r.x + 2, r.y + 2, r.w - 4, r.h - 4);
        cairo_set_source(cr, scene);
        cairo_fill(cr);
        cairo_pattern_destroy(scene);
        break;
      }
      default: break;
    }
  }
}

// The about box as its template places things: three pictures and the button to the web.
void drawAboutBox(cairo_t* cr) {
  drawPicture(cr, artworkPicture(kArtworkAboutLogo), 16, 16);
  drawPicture(cr, artworkPicture(kArtworkAboutTitle), 128, 16);
  drawPicture(cr, artworkPicture(kArtworkAboutMaker), 128, 72);
  sketchButton(cr, {216, 128, 152, 24}, "www.cobaltfinch.example");
}

// A window's client area: white, as the dialogs clear it, then what `draw` puts on it.
bool writeWindow(const std::string& path, int width, int height, void (*draw)(cairo_t*)) {
  cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(window);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  draw(cr);
  cairo_destroy(cr);
  const bool written = writePng(window, path);
  cairo_surface_destroy(window);
  return written;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_artwork FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const std::vector<Shown> shown = everyPicture();
  bool ok = true;
  for (const Shown& s : shown) {
    if (!s.picture.rgba) {
      std::fprintf(stderr, "write_artwork: %s was not painted\n", s.name.c_str());
      ok = false;
      continue;
    }
    cairo_surface_t* surface = surfaceOf(s.picture);
    ok = writePng(surface, folder + s.name + ".png") && ok;
    cairo_surface_destroy(surface);
  }
  ok = writeContactSheet(shown, folder + "contact-sheet.png") && ok;
  ok = writeWindow(folder + "main-dialog-mockup.png", 881, 541, drawMainDialog) && ok;
  ok = writeWindow(folder + "about-box-mockup.png", 384, 168, drawAboutBox) && ok;
  return ok ? 0 : 1;
}
