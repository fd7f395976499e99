#include "ui/linux/cairo_canvas.h"

#include <time.h>

#include <cmath>

#include "ui/canvas.h"
#include "ui/client_surface.h"

namespace {
constexpr const char* kFontFace = "Liberation Sans";
constexpr double kCharacterHeight = 11;

void setColour(cairo_t* cairo, UiColour c) { cairo_set_source_rgb(cairo, c.red / 255.0, c.green / 255.0, c.blue / 255.0); }

// Cairo keeps premultiplied pixels in native-endian 32-bit words.
uint32_t premultiplied(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  auto scale = [a](uint8_t v) { return static_cast<uint32_t>((v * a + 127) / 255); };
  return static_cast<uint32_t>(a) << 24 | scale(r) << 16 | scale(g) << 8 | scale(b);
}

// A Cairo copy of a picture in straight RGBA or RGB; the caller destroys it.
cairo_surface_t* surfaceFrom(const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes, int32_t channels) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  uint8_t* data = cairo_image_surface_get_data(surface);
  const int32_t stride = cairo_image_surface_get_stride(surface);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = pixels + static_cast<ptrdiff_t>(y) * rowBytes;
    auto* out = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int32_t x = 0; x < width; ++x, in += channels) {
      out[x] = premultiplied(in[0], in[1], in[2], channels == 4 ? in[3] : 255);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

void selectFont(cairo_t* cairo) {
  cairo_select_font_face(cairo, kFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, kCharacterHeight);
}
}  // namespace

uint64_t monotonicMilliseconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

UiSurface* surfaceCreate(int32_t width, int32_t height) {
  return new UiSurface{cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)};
}

void surfaceDestroy(UiSurface* surface) {
  if (!surface) return;
  cairo_surface_destroy(surface->cairo);
  delete surface;
}

Canvas* canvasBegin(UiSurface* surface) { return new Canvas{cairo_create(surface->cairo)}; }

void canvasEnd(Canvas* canvas) {
  cairo_surface_flush(cairo_get_target(canvas->cairo));
  cairo_destroy(canvas->cairo);
  delete canvas;
}

void* canvasPlatformContext(Canvas* canvas) { return canvas; }

Canvas* canvasFromPlatformContext(void* context) { return static_cast<Canvas*>(context); }

// The canvas belongs to the module that handed it over.
void canvasEndPlatform(Canvas*) {}

void canvasSave(Canvas* canvas) { cairo_save(canvas->cairo); }

void canvasRestore(Canvas* canvas) { cairo_restore(canvas->cairo); }

void canvasClip(Canvas* canvas, const UiRect& rect) {
  cairo_rectangle(canvas->cairo, rect.left, rect.top, rect.width, rect.height);
  cairo_clip(canvas->cairo);
}

void canvasFill(Canvas* canvas, const UiRect& r, UiColour colour) {
  setColour(canvas->cairo, colour);
  cairo_rectangle(canvas->cairo, r.left, r.top, r.width, r.height);
  cairo_fill(canvas->cairo);
}

void canvasPixels(Canvas* canvas, const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                  int32_t channels, const UiRect& into) {
  if (!pixels || width <= 0 || height <= 0 || into.width <= 0 || into.height <= 0) return;
  if (channels != 3 && channels != 4) return;
  cairo_surface_t* surface = surfaceFrom(pixels, width, height, rowBytes, channels);
  cairo_t* cairo = canvas->cairo;
  cairo_save(cairo);
  cairo_rectangle(cairo, into.left, into.top, into.width, into.height);
  cairo_clip(cairo);
  cairo_translate(cairo, into.left, into.top);
  cairo_scale(cairo, static_cast<double>(into.width) / width, static_cast<double>(into.height) / height);
  cairo_set_source_surface(cairo, surface, 0, 0);
  // Drawn at its own size a picture keeps its exact pixels; scaled, it is filtered.
  const bool exact = into.width == width && into.height == height;
  cairo_pattern_set_filter(cairo_get_source(cairo), exact ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(cairo_get_source(cairo), CAIRO_EXTEND_PAD);
  cairo_paint(cairo);
  cairo_restore(cairo);
  cairo_surface_destroy(surface);
}

void canvasExcludeClip(Canvas* canvas, const UiRect& rect) {
  cairo_t* cairo = canvas->cairo;
  double x1, y1, x2, y2;
  cairo_clip_extents(cairo, &x1, &y1, &x2, &y2);
  cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_rectangle(cairo, x1, y1, x2 - x1, y2 - y1);
  cairo_rectangle(cairo, rect.left, rect.top, rect.width, rect.height);
  cairo_clip(cairo);
  cairo_set_fill_rule(cairo, CAIRO_FILL_RULE_WINDING);
}

double canvasTextWidth(Canvas* canvas, const std::string& text) {
  cairo_t* cairo = canvas->cairo;
  cairo_save(cairo);
  selectFont(cairo);
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, text.c_str(), &extents);
  cairo_restore(cairo);
  return extents.x_advance;
}

void canvasText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align) {
  if (!text || !*text) return;
  cairo_t* cairo = canvas->cairo;
  cairo_save(cairo);
  cairo_rectangle(cairo, rect.left, rect.top, rect.width, rect.height);
  cairo_clip(cairo);
  selectFont(cairo);
  cairo_font_extents_t font;
  cairo_font_extents(cairo, &font);
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, text, &extents);
  double x = rect.left;
  if (align == UiAlign::right) x = rect.left + rect.width - extents.x_advance;
  if (align == UiAlign::centre) x = rect.left + (rect.width - extents.x_advance) / 2;
  // Whole pixels for the baseline keep the text as sharp on every backend.
  cairo_move_to(cairo, std::round(x), std::round(rect.top + font.ascent));
  setColour(cairo, colour);
  cairo_show_text(cairo, text);
  cairo_restore(cairo);
}
