// The icon buttons, the logo, the about box's pictures and the cursors. Glyphs are drawn
// on a 16-unit grid and scaled, so the card can show the same glyphs beside its text.
#include <array>
#include <cmath>

#include "resources/artwork.h"
#include "resources/artwork_paint.h"

namespace {
void line(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
}

void triangle(cairo_t* cr, double x0, double y0, double x1, double y1, double x2, double y2) {
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_close_path(cr);
}

void strokeInk(cairo_t* cr, double width = 1.4) {
  cairo_set_line_width(cr, width);
  setColour(cr, art::kInk);
  cairo_stroke(cr);
}

void glyphDice(cairo_t* cr) {
  roundedRectPath(cr, 1.5, 1.5, 13, 13, 3);
  setColour(cr, art::kWhite);
  cairo_fill_preserve(cr);
  strokeInk(cr, 1.3);
  for (const auto& pip : {std::array{5.0, 5.0}, {11.0, 5.0}, {8.0, 8.0}, {5.0, 11.0}, {11.0, 11.0}}) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, pip[0], pip[1], 1.35, 0, 2 * M_PI);
  }
  setColour(cr, art::kInk);
  cairo_fill(cr);
}

// New ripples for the same look: a drop falls and rings spread.
void glyphEcce(cairo_t* cr) {
  cairo_move_to(cr, 8, 0.3);
  cairo_curve_to(cr, 9.3, 2.2, 9.9, 3.2, 9.9, 4.1);
  cairo_arc(cr, 8, 4.1, 1.9, 0, M_PI);
  cairo_curve_to(cr, 6.1, 3.2, 6.7, 2.2, 8, 0.3);
  setColour(cr, art::kWater);
  cairo_fill(cr);
  cairo_save(cr);
  cairo_translate(cr, 8, 11.5);
  cairo_scale(cr, 1, 0.42);
  cairo_arc(cr, 0, 0, 7, 0, 2 * M_PI);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 3, 0.15 * M_PI, 0.85 * M_PI);
  cairo_restore(cr);
  cairo_set_line_width(cr, 1.1);
  setColour(cr, art::kWater);
  cairo_stroke(cr);
}

void glyphUndo(cairo_t* cr) {
  cairo_move_to(cr, 4.5, 5.5);
  cairo_line_to(cr, 9, 5.5);
  cairo_arc(cr, 9, 9.25, 3.75, -M_PI / 2, M_PI / 2);
  cairo_line_to(cr, 5, 13);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  strokeInk(cr, 1.6);
  triangle(cr, 1, 5.5, 5.5, 2, 5.5, 9);
  setColour(cr, art::kInk);
  cairo_fill(cr);
}

// The plain settings: a calm scene, the sun over flat water.
void glyphPlain(cairo_t* cr) {
  cairo_arc(cr, 8, 8, 3.8, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  setColour(cr, art::kCurrent);
  cairo_fill(cr);
  line(cr, 1, 9.5, 15, 9.5);
  line(cr, 3.5, 12, 12.5, 12);
  line(cr, 6, 14.5, 10, 14.5);
  cairo_set_line_width(cr, 1.3);
  setColour(cr, art::kWater);
  cairo_stroke(cr);
}

// A layered file: three stacked sheets.
void glyphLayers(cairo_t* cr) {
  for (double dy : {6.0, 3.0, 0.0}) {
    cairo_move_to(cr, 8, 1.5 + dy);
    cairo_line_to(cr, 15, 4.8 + dy);
    cairo_line_to(cr, 8, 8.1 + dy);
    cairo_line_to(cr, 1, 4.8 + dy);
    cairo_close_path(cr);
    setColour(cr, dy == 0 ? ArtColour{0.80, 0.88, 0.96} : art::kWhite);
    cairo_fill_preserve(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    strokeInk(cr, 1.1);
  }
}

// Load: out of a folder.
void glyphLoad(cairo_t* cr) {
  cairo_move_to(cr, 1.5, 3.5);
  cairo_line_to(cr, 6, 3.5);
  cairo_line_to(cr, 7.5, 5);
  cairo_line_to(cr, 14.5, 5);
  cairo_line_to(cr, 14.5, 14.5);
  cairo_line_to(cr, 1.5, 14.5);
  cairo_close_path(cr);
  setColour(cr, {0.99, 0.90, 0.66});
  cairo_fill_preserve(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  strokeInk(cr, 1.2);
  line(cr, 8, 13, 8, 8.5);
  strokeInk(cr, 1.8);
  triangle(cr, 4.6, 9.4, 8, 5.8, 11.4, 9.4);
  setColour(cr, art::kInk);
  cairo_fill(cr);
}

// Save: down into a tray.
void glyphSave(cairo_t* cr) {
  cairo_move_to(cr, 1.5, 9.5);
  cairo_line_to(cr, 1.5, 14.5);
  cairo_line_to(cr, 14.5, 14.5);
  cairo_line_to(cr, 14.5, 9.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  strokeInk(cr, 1.4);
  line(cr, 8, 1.5, 8, 8);
  strokeInk(cr, 1.8);
  triangle(cr, 4.4, 7.4, 8, 11.4, 11.6, 7.4);
  setColour(cr, art::kInk);
  cairo_fill(cr);
}

void glyphNext(cairo_t* cr) {
  triangle(cr, 4.5, 3, 11.5, 8, 4.5, 13);
  setColour(cr, art::kInk);
  cairo_fill(cr);
  cairo_rectangle(cr, 12, 3, 1.6, 10);
  cairo_fill(cr);
}

void glyphInfo(cairo_t* cr) {
  cairo_arc(cr, 8, 8, 7.2, 0, 2 * M_PI);
  setColour(cr, art::kWater);
  cairo_fill(cr);
  cairo_arc(cr, 8, 4.6, 1.2, 0, 2 * M_PI);
  setColour(cr, art::kWhite);
  cairo_fill(cr);
  roundedRectPath(cr, 6.9, 6.9, 2.2, 5.9, 0.6);
  cairo_fill(cr);
}

void glyphMagnifier(cairo_t* cr, bool plus) {
  cairo_arc(cr, 6.5, 6.5, 4.7, 0, 2 * M_PI);
  setColour(cr, art::kWhite);
  cairo_fill_preserve(cr);
  strokeInk(cr, 1.5);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  line(cr, 10.2, 10.2, 14.3, 14.3);
  strokeInk(cr, 2.4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  line(cr, 4, 6.5, 9, 6.5);
  if (plus) line(cr, 6.5, 4, 6.5, 9);
  strokeInk(cr, 1.4);
}

// A page of thumbnails.
void glyphGallery(cairo_t* cr) {
  const ArtColour tiles[] = {art::kWater, art::kSurfaceGreen, art::kCurrent, art::kViewBlue};
  int i = 0;
  for (double y : {1.0, 9.0}) {
    for (double x : {1.0, 9.0}) {
      fillRoundedRect(cr, x, y, 6, 6, 1, tiles[i++]);
    }
  }
}

void drawIconGlyph(cairo_t* cr, int32_t id) {
  switch (id) {
    case kArtworkIconDice: return glyphDice(cr);
    case kArtworkIconEcce: return glyphEcce(cr);
    case kArtworkIconUndo: return glyphUndo(cr);
    case kArtworkIconPlain: return glyphPlain(cr);
    case kArtworkIconPsd: return glyphLayers(cr);
    case kArtworkIconLoad: return glyphLoad(cr);
    case kArtworkIconSave: return glyphSave(cr);
    case kArtworkIconNextGlue: return glyphNext(cr);
    case kArtworkIconInfo: return glyphInfo(cr);
    case kArtworkIconZoomOut: return glyphMagnifier(cr, false);
    case kArtworkIconZoomIn: return glyphMagnifier(cr, true);
    case kArtworkIconPresetsGallery: return glyphGallery(cr);
    default: return;
  }
}

// The word beside the glyph on the wide buttons; the template's own texts are never shown.
const char* buttonWord(int32_t id) {
  switch (id) {
    case kArtworkIconDice: return "Dice";
    case kArtworkIconEcce: return "Ecce";
    case kArtworkIconUndo: return "Undo";
    case kArtworkIconPlain: return "Plain";
    case kArtworkIconPsd: return "PSD";
    case kArtworkIconLoad: return "Load";
    case kArtworkIconSave: return "Save";
    default: return nullptr;
  }
}
}  // namespace

void drawGlyph(cairo_t* cr, int32_t iconId, double x, double y, double size) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size / 16, size / 16);
  drawIconGlyph(cr, iconId);
  cairo_restore(cr);
}

void paintIconButton(cairo_t* cr, int32_t id) {
  const double width = cairo_image_surface_get_width(cairo_get_target(cr));
  const double height = cairo_image_surface_get_height(cairo_get_target(cr));
  const char* word = buttonWord(id);
  if (!word) {
    const double side = std::fmin(width, height);
    drawGlyph(cr, id, std::floor((width - side) / 2), std::floor((height - side) / 2), side);
    return;
  }
  // The window layer shows an icon button as its picture alone, so the wide buttons bring
  // their own face: without one they would read as captions, not as buttons.
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(face, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.91, 0.925, 0.945);
  roundedRectPath(cr, 0.5, 0.5, width - 1, height - 1, 4);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  setColour(cr, {0.62, 0.66, 0.72});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  constexpr double glyph = 16, gap = 5, size = 11;
  const double total = glyph + gap + textWidth(cr, word, size, TextWeight::bold);
  const double left = std::round((width - total) / 2);
  drawGlyph(cr, id, left, std::floor((height - glyph) / 2), glyph);
  drawText(cr, word, left + glyph + gap, 17.5, size, art::kInk, TextWeight::bold);
}

// Lying water: a sun over the horizon and its reflection broken by the ripples.
void paintLogo(cairo_t* cr, double size) {
  cairo_scale(cr, size / 32, size / 32);
  roundedRectPath(cr, 0.5, 0.5, 31, 31, 6);
  cairo_clip_preserve(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 32);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.78, 0.87, 0.96);
  cairo_pattern_add_color_stop_rgb(sky, 0.53, 0.96, 0.93, 0.84);
  cairo_pattern_add_color_stop_rgb(sky, 0.53, 0.20, 0.40, 0.64);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.09, 0.20, 0.38);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);
  cairo_arc(cr, 16, 17, 7, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  setColour(cr, art::kCurrent);
  cairo_fill(cr);
  // The reflection, shorter strokes the further down.
  // Two-unit strokes on whole units stay sharp at 32 pixels and at 96.
  const double strokes[][3] = {{20, 8, 24}, {23, 10, 22}, {26, 12, 20}, {29, 14, 18}};
  for (const auto& s : strokes) line(cr, s[1], s[0], s[2], s[0]);
  cairo_set_line_width(cr, 2);
  setColour(cr, mixColours(art::kCurrent, art::kWhite, 0.2));
  cairo_stroke(cr);
  cairo_reset_clip(cr);
  strokeRoundedRect(cr, 0, 0, 32, 32, 6, {0, 0, 0, 0.35});
}

void paintAboutTitle(cairo_t* cr) {
  drawText(cr, "Tarve", 0, 30, 32, art::kDeepWater, TextWeight::bold);
  drawText(cr, "Draws lying water", 1, 45, 13, art::kQuietInk);
}

void paintAboutMaker(cairo_t* cr) {
  drawText(cr, "Cobalt Finch", 0, 15, 14, art::kInk, TextWeight::bold);
  drawText(cr, "A filter plug-in for painting programs", 0, 33, 11, art::kQuietInk);
}

// Black strokes edged in white, so the cursors show on dark water and on white alike.
void paintCursor(cairo_t* cr, int32_t id) {
  cairo_translate(cr, 15.5, 15.5);  // the hotspot pixel's centre
  if (id == kArtworkCursorPreview) {
    // A cross with a ring: where the ripple centre goes.
    for (int pass = 0; pass < 2; ++pass) {
      line(cr, 0, -13, 0, -4);
      line(cr, 0, 4, 0, 13);
      line(cr, -13, 0, -4, 0);
      line(cr, 4, 0, 13, 0);
      cairo_new_sub_path(cr);
      cairo_arc(cr, 0, 0, 7, 0, 2 * M_PI);
      cairo_set_line_width(cr, pass == 0 ? 3 : 1);
      setColour(cr, pass == 0 ? art::kWhite : ArtColour{0, 0, 0});
      cairo_stroke(cr);
    }
    cairo_rectangle(cr, -0.5, -0.5, 1, 1);
    setColour(cr, {0, 0, 0});
    cairo_fill(cr);
    return;
  }
  // Four arrows: the picture moves with the pointer.
  for (int pass = 0; pass < 2; ++pass) {
    for (int quarter = 0; quarter < 4; ++quarter) {
      cairo_save(cr);
      cairo_rotate(cr, quarter * M_PI / 2);
      // Edges on whole pixels: a three-pixel stem centred on the hotspot's pixel.
      cairo_move_to(cr, -1.5, -1.5);
      cairo_line_to(cr, -1.5, -8.5);
      cairo_line_to(cr, -4.5, -8.5);
      cairo_line_to(cr, 0, -13.5);
      cairo_line_to(cr, 4.5, -8.5);
      cairo_line_to(cr, 1.5, -8.5);
      cairo_line_to(cr, 1.5, -1.5);
      cairo_close_path(cr);
      cairo_restore(cr);
    }
    if (pass == 0) {
      cairo_set_line_width(cr, 2.5);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      setColour(cr, art::kWhite);
      cairo_stroke(cr);
    } else {
      setColour(cr, {0, 0, 0});
      cairo_fill(cr);
    }
  }
  cairo_rectangle(cr, -1.5, -1.5, 3, 3);
  setColour(cr, {0, 0, 0});
  cairo_fill(cr);
}
