#include "resources/artwork_paint.h"

#include <cmath>

void setColour(cairo_t* cr, ArtColour c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

ArtColour mixColours(ArtColour a, ArtColour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

void roundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius) {
  const double r = std::fmin(radius, std::fmin(w, h) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void fillRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, ArtColour c) {
  roundedRectPath(cr, x, y, w, h, radius);
  setColour(cr, c);
  cairo_fill(cr);
}

void strokeRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, ArtColour c) {
  roundedRectPath(cr, x + 0.5, y + 0.5, w - 1, h - 1, radius);
  setColour(cr, c);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void drawPanel(cairo_t* cr, double x, double y, double w, double h, ArtColour fill) {
  fillRoundedRect(cr, x, y, w, h, 6, fill);
  strokeRoundedRect(cr, x, y, w, h, 6, art::kPanelEdge);
}

// Hinting and antialiasing are fixed here rather than left to the desktop's font settings,
// so the same text gives the same pixels on every machine with the same fonts.
static void selectFont(cairo_t* cr, double size, TextWeight weight) {
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         weight == TextWeight::bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const char* text, double size, TextWeight weight) {
  selectFont(cr, size, weight);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  return extents.x_advance;
}

double drawText(cairo_t* cr, const char* text, double x, double y, double size, ArtColour colour,
                TextWeight weight, TextAlign align) {
  const double width = textWidth(cr, text, size, weight);
  double left = x;
  if (align == TextAlign::centre) left = x - width / 2;
  if (align == TextAlign::right) left = x - width;
  cairo_move_to(cr, std::round(left), y);
  setColour(cr, colour);
  cairo_show_text(cr, text);
  cairo_new_path(cr);
  return width;
}
