// What the artwork painters share: one palette, a few shapes, and text in Liberation Sans.
// Painters draw with Cairo onto a transparent picture of their exact size.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

struct ArtColour {
  double r, g, b, a = 1.0;
};

// One calm palette for every picture, so the dialog, its buttons and the card agree.
namespace art {
constexpr ArtColour kPage{0.925, 0.937, 0.953};       // the dialog's ground
constexpr ArtColour kPanel{0.973, 0.978, 0.985};      // raised groups of controls
constexpr ArtColour kPanelEdge{0.80, 0.83, 0.87};
constexpr ArtColour kWhite{1.0, 1.0, 1.0};
constexpr ArtColour kInk{0.16, 0.19, 0.24};           // text and glyph strokes
constexpr ArtColour kQuietInk{0.42, 0.46, 0.52};      // secondary text
constexpr ArtColour kWater{0.20, 0.40, 0.64};         // the blue of water and of held dots
constexpr ArtColour kDeepWater{0.11, 0.25, 0.45};
constexpr ArtColour kSurfaceGreen{0.28, 0.52, 0.34};  // the sliders that shape the surface
constexpr ArtColour kViewBlue{0.36, 0.45, 0.58};      // the view and ripple sliders
constexpr ArtColour kCurrent{0.93, 0.50, 0.13};       // the current memory dot
constexpr ArtColour kCurrentDeep{0.72, 0.34, 0.05};
}  // namespace art

void setColour(cairo_t* cr, ArtColour c);
ArtColour mixColours(ArtColour a, ArtColour b, double t);  // a at t = 0, b at t = 1

void roundedRectPath(cairo_t* cr, double x, double y, double w, double h, double radius);
void fillRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, ArtColour c);
// A one-pixel outline that lands on whole pixels when x, y, w and h are whole numbers.
void strokeRoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius, ArtColour c);
// A panel: soft fill, fine edge.
void drawPanel(cairo_t* cr, double x, double y, double w, double h, ArtColour fill = art::kPanel);

enum class TextAlign { left, centre, right };
enum class TextWeight { regular, bold };

// Draws one line at baseline y, anchored at x by `align`; returns the width it took.
double drawText(cairo_t* cr, const char* text, double x, double y, double size, ArtColour colour,
                TextWeight weight = TextWeight::regular, TextAlign align = TextAlign::left);
// The font file the text is set from ("" when none was found).
std::string fontFileOf(TextWeight weight);
double textWidth(cairo_t* cr, const char* text, double size, TextWeight weight = TextWeight::regular);

// The glyph of an icon button, `size` pixels square with its upper left corner at x, y.
void drawGlyph(cairo_t* cr, int32_t iconId, double x, double y, double size);

// Painters, one per family of pictures. `id` picks the member of the family.
void paintDialogBackground(cairo_t* cr);
void paintSliderTrack(cairo_t* cr, int32_t id);
void paintSliderThumb(cairo_t* cr);
void paintMemoryDot(cairo_t* cr, int32_t id);
void paintDotFrame(cairo_t* cr);
void paintIconButton(cairo_t* cr, int32_t id);
void paintLogo(cairo_t* cr, double size);
void paintAboutTitle(cairo_t* cr);
void paintAboutMaker(cairo_t* cr);
void paintInfoCard(cairo_t* cr);
void paintCursor(cairo_t* cr, int32_t id);
