#include "ui/canvas.h"

#include <cmath>
#include <string>
#include <vector>

#include "ui/dialog_record.h"

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

void line(cairo_t* cairo, int32_t x, int32_t y, int32_t width, int32_t height, UiColour c) {
  setColour(cairo, c);
  cairo_rectangle(cairo, x, y, width, height);
  cairo_fill(cairo);
}
}  // namespace

void canvasFill(Canvas* canvas, const UiRect& r, UiColour colour) { line(canvas->cairo, r.left, r.top, r.width, r.height, colour); }

void canvasFrame(Canvas* canvas, const UiRect& r, UiColour colour) {
  if (r.width <= 0 || r.height <= 0) return;
  cairo_t* cairo = canvas->cairo;
  line(cairo, r.left, r.top, r.width, 1, colour);
  line(cairo, r.left, r.top + r.height - 1, r.width, 1, colour);
  line(cairo, r.left, r.top, 1, r.height, colour);
  line(cairo, r.left + r.width - 1, r.top, 1, r.height, colour);
}

void canvasButtonFace(Canvas* canvas, const UiRect& rect, uint32_t itemState) {
  constexpr UiColour face{222, 222, 222}, light{255, 255, 255}, shade{160, 160, 160}, dark{96, 96, 96};
  constexpr UiColour grey{140, 140, 140}, black{0, 0, 0};
  canvasFill(canvas, rect, face);
  if (itemState & kUiItemDisabled) {
    canvasFrame(canvas, rect, grey);
    return;
  }
  UiRect r = rect;
  if (itemState & kUiItemFocused) {
    canvasFrame(canvas, r, black);
    r = {r.left + 1, r.top + 1, r.width - 2, r.height - 2};
  }
  if (r.width < 2 || r.height < 2) return;
  const bool pressed = itemState & kUiItemPressed;
  cairo_t* cairo = canvas->cairo;
  const int32_t right = r.left + r.width - 1, bottom = r.top + r.height - 1;
  // Outer edge, then a softer inner edge; a pressed face swaps light and dark.
  line(cairo, r.left, r.top, r.width - 1, 1, pressed ? dark : light);
  line(cairo, r.left, r.top, 1, r.height - 1, pressed ? dark : light);
  line(cairo, r.left, bottom, r.width, 1, pressed ? light : dark);
  line(cairo, right, r.top, 1, r.height, pressed ? light : dark);
  if (r.width < 4 || r.height < 4) return;
  line(cairo, r.left + 1, bottom - 1, r.width - 2, 1, pressed ? face : shade);
  line(cairo, right - 1, r.top + 1, 1, r.height - 2, pressed ? face : shade);
  if (pressed) {
    line(cairo, r.left + 1, r.top + 1, r.width - 3, 1, shade);
    line(cairo, r.left + 1, r.top + 1, 1, r.height - 3, shade);
  }
}

void canvasSetPixel(Canvas* canvas, UiPoint point, UiColour colour) { line(canvas->cairo, point.x, point.y, 1, 1, colour); }

void canvasPicture(Canvas* canvas, const UiPicture& picture, UiPoint at) {
  if (!picture.rgba || picture.width <= 0 || picture.height <= 0) return;
  canvasPixels(canvas, picture.rgba, picture.width, picture.height, picture.width * 4, 4,
               {at.x, at.y, picture.width, picture.height});
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

namespace {
double textWidth(cairo_t* cairo, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cairo, text.c_str(), &extents);
  return extents.x_advance;
}
}  // namespace

void canvasWrappedText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align) {
  if (!text) return;
  cairo_t* cairo = canvas->cairo;
  cairo_save(cairo);
  cairo_select_font_face(cairo, kFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, kCharacterHeight);
  std::vector<std::string> lines(1);
  const std::string all = text;
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(' ', start);
    if (end == std::string::npos) end = all.size();
    const std::string word = all.substr(start, end - start);
    const std::string longer = lines.back().empty() ? word : lines.back() + " " + word;
    // A word wider than the rectangle stays on a line of its own, clipped.
    if (!lines.back().empty() && textWidth(cairo, longer) > rect.width) lines.push_back(word);
    else lines.back() = longer;
    start = end + 1;
  }
  cairo_restore(cairo);
  for (size_t i = 0; i < lines.size(); ++i) {
    const UiRect line{rect.left, rect.top + static_cast<int32_t>(i) * kUiBaseUnitY, rect.width, kUiBaseUnitY + 3};
    if (line.top >= rect.top + rect.height) break;
    canvasText(canvas, line, lines[i].c_str(), colour, align);
  }
}

void canvasText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align) {
  if (!text || !*text) return;
  cairo_t* cairo = canvas->cairo;
  cairo_save(cairo);
  cairo_rectangle(cairo, rect.left, rect.top, rect.width, rect.height);
  cairo_clip(cairo);
  cairo_select_font_face(cairo, kFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cairo, kCharacterHeight);
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
