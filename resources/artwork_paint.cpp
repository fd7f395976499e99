#include "resources/artwork_paint.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

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

// The face is made from the font file itself, with its rendering fixed here: a face looked
// up by name would take hinting and antialiasing from the desktop's font settings, and the
// same text would come out differently on different desktops.
namespace {
struct Face {
  cairo_font_face_t* face;
  std::string file;
};
}  // namespace

static Face makeFace(TextWeight weight) {
  FcPattern* wanted = FcPatternCreate();
  FcPatternAddString(wanted, FC_FAMILY, reinterpret_cast<const FcChar8*>("Liberation Sans"));
  FcPatternAddInteger(wanted, FC_WEIGHT, weight == TextWeight::bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(wanted, FC_SLANT, FC_SLANT_ROMAN);
  FcDefaultSubstitute(wanted);
  FcResult result;
  FcPattern* found = FcFontMatch(nullptr, wanted, &result);
  FcPatternDestroy(wanted);
  FcPattern* exact = FcPatternCreate();
  FcChar8* file = nullptr;
  int index = 0;
  std::string path;
  if (found && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
    path = reinterpret_cast<const char*>(file);
    FcPatternAddString(exact, FC_FILE, file);
    FcPatternGetInteger(found, FC_INDEX, 0, &index);
    FcPatternAddInteger(exact, FC_INDEX, index);
  }
  FcPatternAddBool(exact, FC_ANTIALIAS, FcTrue);
  FcPatternAddBool(exact, FC_HINTING, FcTrue);
  FcPatternAddInteger(exact, FC_HINT_STYLE, FC_HINT_SLIGHT);
  FcPatternAddBool(exact, FC_AUTOHINT, FcFalse);
  FcPatternAddInteger(exact, FC_RGBA, FC_RGBA_NONE);
  FcPatternAddBool(exact, FC_EMBOLDEN, FcFalse);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(exact);
  FcPatternDestroy(exact);
  if (found) FcPatternDestroy(found);
  return {face, path};
}

// The two faces are made once and kept for the life of the module.
static const Face& liberationSans(TextWeight weight) {
  static const Face regular = makeFace(TextWeight::regular);
  static const Face bold = makeFace(TextWeight::bold);
  return weight == TextWeight::bold ? bold : regular;
}

std::string fontFileOf(TextWeight weight) { return liberationSans(weight).file; }

static void selectFont(cairo_t* cr, double size, TextWeight weight) {
  cairo_set_font_face(cr, liberationSans(weight).face);
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
