// The main dialog's own pictures: its background, the slider parts, the memory dots and the
// frame of their thumbnail. The background is laid out around the dialog's controls, whose
// rectangles are repeated here as the places to leave calm.
#include <cmath>
#include <iterator>

#include "resources/artwork.h"
#include "resources/artwork_paint.h"

namespace {
struct Box {
  double x, y, w, h;
};

// Groups of the left column, top to bottom, with the colour of their sliders' tracks.
struct SliderGroup {
  const char* title;
  Box panel;
  ArtColour tint;
};
constexpr SliderGroup kSliderGroups[] = {
    {"VIEW", {10, 8, 344, 98}, art::kViewBlue},
    {"SURFACE", {10, 114, 344, 100}, art::kSurfaceGreen},
    {"RIPPLE", {10, 222, 344, 80}, art::kViewBlue},
};
constexpr Box kGluePanel{10, 318, 344, 40};
constexpr Box kButtonPanel{10, 366, 322, 166};
constexpr Box kPreviewArea{366, 0, 499, 384};
constexpr Box kLowerRightPanel{504, 391, 368, 141};
constexpr Box kStatusField{511, 459, 356, 24};
constexpr Box kZoomCluster{643, 396, 86, 26};

// The button rows of the lower left, named by what their buttons do.
struct RowCaption {
  const char* text;
  double baseline;
};
constexpr RowCaption kButtonRowCaptions[] = {
    {"Presets", 394}, {"Random", 434}, {"Restore", 474}, {"Export", 515}};

// Upper left corners of the 25 memory dots; a dot's picture sits 2 pixels below its corner.
constexpr double kDotCorners[][2] = {
    {348, 388}, {352, 400}, {352, 412}, {348, 425}, {344, 438}, {340, 451}, {340, 464},
    {344, 476}, {351, 487}, {359, 497}, {370, 505}, {382, 514}, {395, 520}, {410, 524},
    {425, 524}, {439, 520}, {452, 514}, {464, 505}, {473, 493}, {479, 480}, {483, 465},
    {483, 450}, {479, 436}, {473, 423}, {464, 411}};

void drawGroupTitle(cairo_t* cr, const SliderGroup& group) {
  const Box& p = group.panel;
  // A tinted stripe on the panel's left edge ties the group to the colour of its tracks.
  cairo_save(cr);
  roundedRectPath(cr, p.x, p.y, p.w, p.h, 6);
  cairo_clip(cr);
  cairo_rectangle(cr, p.x, p.y, 4, p.h);
  setColour(cr, mixColours(group.tint, art::kWhite, 0.25));
  cairo_fill(cr);
  cairo_restore(cr);
  // The title reads upwards along the stripe.
  cairo_save(cr);
  cairo_translate(cr, p.x + 21, p.y + p.h / 2);
  cairo_rotate(cr, -M_PI / 2);
  drawText(cr, group.title, 0, 0, 9, mixColours(group.tint, art::kInk, 0.35), TextWeight::bold,
           TextAlign::centre);
  cairo_restore(cr);
}

// A faint string through the memory dots, so that the 25 of them read as one necklace
// around their thumbnail. The curve passes through every dot's centre.
void drawDotNecklace(cairo_t* cr) {
  constexpr size_t n = std::size(kDotCorners);
  auto centre = [](size_t i, double& x, double& y) {
    x = kDotCorners[i][0] + 4;
    y = kDotCorners[i][1] + 6;
  };
  double x0, y0;
  centre(0, x0, y0);
  cairo_move_to(cr, x0, y0);
  for (size_t i = 0; i + 1 < n; ++i) {
    // Catmull-Rom through the centres, as cubic Bézier pieces.
    double px, py, ax, ay, bx, by, nx, ny;
    centre(i == 0 ? 0 : i - 1, px, py);
    centre(i, ax, ay);
    centre(i + 1, bx, by);
    centre(i + 2 < n ? i + 2 : n - 1, nx, ny);
    cairo_curve_to(cr, ax + (bx - px) / 6, ay + (by - py) / 6, bx - (nx - ax) / 6, by - (ny - ay) / 6, bx, by);
  }
  cairo_set_line_width(cr, 1.5);
  setColour(cr, mixColours(art::kPanelEdge, art::kPage, 0.35));
  cairo_stroke(cr);
}
}  // namespace

void paintDialogBackground(cairo_t* cr) {
  // The ground darkens a shade towards the bottom, enough to feel lit from above.
  cairo_pattern_t* ground = cairo_pattern_create_linear(0, 0, 0, 541);
  cairo_pattern_add_color_stop_rgb(ground, 0, 0.940, 0.950, 0.963);
  cairo_pattern_add_color_stop_rgb(ground, 1, 0.905, 0.918, 0.935);
  cairo_set_source(cr, ground);
  cairo_paint(cr);
  cairo_pattern_destroy(ground);

  for (const SliderGroup& group : kSliderGroups) {
    drawPanel(cr, group.panel.x, group.panel.y, group.panel.w, group.panel.h);
    drawGroupTitle(cr, group);
  }
  drawPanel(cr, kGluePanel.x, kGluePanel.y, kGluePanel.w, kGluePanel.h);
  drawPanel(cr, kButtonPanel.x, kButtonPanel.y, kButtonPanel.w, kButtonPanel.h);
  for (const RowCaption& caption : kButtonRowCaptions) {
    drawText(cr, caption.text, 110, caption.baseline, 11, art::kQuietInk, TextWeight::regular, TextAlign::right);
  }

  // The water colour swatch (317, 121, 20 × 20) is named below itself.
  drawText(cr, "Colour", 327, 156, 10, art::kQuietInk, TextWeight::regular, TextAlign::centre);

  // The preview area stays white: without a preview it is all the user sees there.
  cairo_rectangle(cr, kPreviewArea.x, kPreviewArea.y, kPreviewArea.w, kPreviewArea.h);
  setColour(cr, art::kWhite);
  cairo_fill(cr);
  cairo_rectangle(cr, kPreviewArea.x, kPreviewArea.y + kPreviewArea.h, kPreviewArea.w, 1);
  setColour(cr, art::kPanelEdge);
  cairo_fill(cr);

  drawPanel(cr, kLowerRightPanel.x, kLowerRightPanel.y, kLowerRightPanel.w, kLowerRightPanel.h);
  fillRoundedRect(cr, kZoomCluster.x, kZoomCluster.y, kZoomCluster.w, kZoomCluster.h, 5,
                  mixColours(art::kPanel, art::kPage, 0.6));
  drawText(cr, "Quick reference", 547, 413, 10, art::kQuietInk);
  drawText(cr, "Presets page", 843, 413, 10, art::kQuietInk, TextWeight::regular, TextAlign::right);
  // The status line (514, 462, 350 × 18) shows the settings name on a field of its own.
  fillRoundedRect(cr, kStatusField.x, kStatusField.y, kStatusField.w, kStatusField.h, 4, art::kWhite);
  strokeRoundedRect(cr, kStatusField.x, kStatusField.y, kStatusField.w, kStatusField.h, 4, art::kPanelEdge);
  drawText(cr, "Settings", kStatusField.x, kStatusField.y - 4, 9, art::kQuietInk);

  drawDotNecklace(cr);
}

void paintSliderTrack(cairo_t* cr, int32_t id) {
  // Dark at the low end, light at the high end: the track shows which way is "more".
  const bool green = id == kArtworkGreenTrack;
  const ArtColour dark = green ? ArtColour{0.05, 0.11, 0.07} : ArtColour{0.06, 0.08, 0.12};
  const ArtColour light = green ? ArtColour{0.80, 0.91, 0.80} : ArtColour{0.83, 0.87, 0.93};
  // The body is 133 × 11, the rectangle a disabled slider is greyed in, so that both looks
  // cover the same ground.
  constexpr double w = 133, h = 11;
  cairo_pattern_t* ramp = cairo_pattern_create_linear(0, 0, w, 0);
  cairo_pattern_add_color_stop_rgb(ramp, 0, dark.r, dark.g, dark.b);
  cairo_pattern_add_color_stop_rgb(ramp, 1, light.r, light.g, light.b);
  roundedRectPath(cr, 0, 0, w, h, 3);
  cairo_set_source(cr, ramp);
  cairo_fill(cr);
  cairo_pattern_destroy(ramp);

  cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.28);
  cairo_pattern_add_color_stop_rgba(sheen, 0.5, 1, 1, 1, 0.0);
  cairo_pattern_add_color_stop_rgba(sheen, 1, 0, 0, 0, 0.10);
  roundedRectPath(cr, 0, 0, w, h, 3);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);

  strokeRoundedRect(cr, 0, 0, w, h, 3, {0, 0, 0, 0.35});
}

void paintSliderThumb(cairo_t* cr) {
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, 10);
  cairo_pattern_add_color_stop_rgb(face, 0, 1, 1, 1);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.84, 0.86, 0.89);
  roundedRectPath(cr, 0.5, 0.5, 11, 9, 2.5);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  setColour(cr, art::kInk);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Two grip lines: the thumb says it can be taken and moved.
  for (double x : {4.5, 7.5}) {
    cairo_move_to(cr, x, 3);
    cairo_line_to(cr, x, 7);
  }
  setColour(cr, art::kQuietInk);
  cairo_stroke(cr);
}

void paintMemoryDot(cairo_t* cr, int32_t id) {
  const bool pressed = id == kArtworkDotEmptyPressed || id == kArtworkDotHeldPressed ||
                       id == kArtworkDotHeldPinnedPressed || id == kArtworkDotSelectedPressed ||
                       id == kArtworkDotSelectedPinnedPressed;
  const bool empty = id == kArtworkDotEmpty || id == kArtworkDotEmptyPressed;
  const bool current = id == kArtworkDotSelected || id == kArtworkDotSelectedPressed ||
                       id == kArtworkDotSelectedPinned || id == kArtworkDotSelectedPinnedPressed;
  const bool pinned = id == kArtworkDotHeldPinned || id == kArtworkDotHeldPinnedPressed ||
                      id == kArtworkDotSelectedPinned || id == kArtworkDotSelectedPinnedPressed;
  if (empty) {
    cairo_arc(cr, 4, 4, 3, 0, 2 * M_PI);
    setColour(cr, pressed ? ArtColour{0.78, 0.81, 0.86} : art::kWhite);
    cairo_fill_preserve(cr);
    setColour(cr, pressed ? art::kQuietInk : ArtColour{0.58, 0.62, 0.68});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    return;
  }
  // Held dots are blue, the current one orange; pinned dots are solid, temporary ones keep
  // a light heart, since they are gone at the next start.
  ArtColour colour = current ? art::kCurrent : art::kWater;
  if (pressed) colour = current ? art::kCurrentDeep : art::kDeepWater;
  cairo_arc(cr, 4, 4, 4, 0, 2 * M_PI);
  setColour(cr, colour);
  cairo_fill(cr);
  if (!pinned) {
    cairo_arc(cr, 4, 4, 1.6, 0, 2 * M_PI);
    setColour(cr, art::kWhite);
    cairo_fill(cr);
  }
}

void paintDotFrame(cairo_t* cr) {
  // Four pixels of frame around the 88 × 88 thumbnail.
  fillRoundedRect(cr, 0, 0, 96, 96, 4, {0.55, 0.60, 0.67});
  fillRoundedRect(cr, 1, 1, 94, 94, 3, art::kWhite);
  cairo_rectangle(cr, 3, 3, 90, 90);
  setColour(cr, {0.70, 0.74, 0.80});
  cairo_fill(cr);
  // Under the thumbnail, or alone when no dot is shown: still water.
  cairo_rectangle(cr, 4, 4, 88, 88);
  setColour(cr, {0.93, 0.945, 0.96});
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.2);
  setColour(cr, {0.80, 0.84, 0.89});
  for (double y : {40.0, 48.0, 56.0}) {
    cairo_move_to(cr, 28, y);
    cairo_curve_to(cr, 38, y - 4, 44, y + 4, 48, y);
    cairo_curve_to(cr, 52, y - 4, 58, y + 4, 68, y);
  }
  cairo_stroke(cr);
}
