// The quick-reference card of the info box: every control of the main dialog, named as the
// dialog names it, with what it does in one line.
#include <cmath>

#include "resources/artwork.h"
#include "resources/artwork_paint.h"

namespace {
constexpr double kWidth = 702, kHeight = 363;
constexpr double kTextSize = 11, kLine = 15;
constexpr double kLeftColumn = 18, kRightColumn = 364;
constexpr double kBand = 32;  // the title band

struct Entry {
  const char* name;
  const char* text;
};

// The sliders in dialog order, with the track colour of their group.
struct SliderEntry {
  Entry entry;
  bool surface;
};
constexpr SliderEntry kSliders[] = {
    {{"Horizon", "Where the horizon lies: 0 is at the picture's top."}, false},
    {{"Offset", "Moves the line about which reflections occur."}, false},
    {{"Perspective", "Sets the camera's field of view."}, false},
    {{"Altitude", "Raises the camera above the water."}, false},
    {{"Waviness", "Sets the height of the waves."}, true},
    {{"Complexity", "Goes from smooth to choppy water."}, true},
    {{"Brilliance", "Sets how bright the reflections are."}, true},
    {{"Blur", "Blurs the reflections in the foreground."}, true},
    {{"Size", "Sets the size of the ripple."}, false},
    {{"Height", "Sets the strength of the ripple."}, false},
    {{"Undulation", "Sets the ripple's number of wave cycles."}, false},
};

struct DotEntry {
  int32_t dot;  // the dot picture shown beside the line, 0 for none
  const char* text;
};
constexpr DotEntry kDots[] = {
    {kArtworkDotEmpty, "Click an empty dot to store the current settings in it."},
    {kArtworkDotHeldPinned, "Click a full dot to recall its settings."},
    {kArtworkDotHeld, "Control-click an empty dot for a temporary dot, gone next time."},
    {0, "Right-click a dot to empty it."},
    {kArtworkDotSelectedPinned, "The current dot is shown in orange."},
    {0, "Point at a dot to see its look in the picture beside the dots;"},
    {0, "right-click that picture for a web page of all dots."},
};

struct ButtonEntry {
  int32_t glyphs[2];
  Entry entry;
};
constexpr ButtonEntry kButtons[] = {
    {{kArtworkIconLoad, kArtworkIconSave}, {"Load, Save", "Open or save a settings file (.q8r)."}},
    {{kArtworkIconDice, 0}, {"Dice", "Draws random settings."}},
    {{kArtworkIconEcce, 0}, {"Ecce", "New ripples for the same look."}},
    {{kArtworkIconUndo, 0}, {"Undo", "Back one step; press again to return."}},
    {{kArtworkIconPlain, 0}, {"Plain", "Back to the plain settings."}},
    {{kArtworkIconPsd, 0}, {"PSD", "Exports a layered Photoshop file."}},
    {{kArtworkIconZoomOut, kArtworkIconZoomIn}, {"Zoom", "Out, 100 % and in: the preview's scale."}},
    {{kArtworkIconNextGlue, 0}, {"Next glue", "Takes the next glue in the list."}},
    {{kArtworkIconPresetsGallery, 0}, {"Presets page", "A web page of your presets."}},
    {{kArtworkIconInfo, 0}, {"Info", "Shows this card."}},
};

void heading(cairo_t* cr, const char* text, double x, double y) {
  drawText(cr, text, x, y, 12, art::kDeepWater, TextWeight::bold);
}

void entryLine(cairo_t* cr, const Entry& entry, double x, double y, double nameWidth) {
  drawText(cr, entry.name, x, y, kTextSize, art::kInk, TextWeight::bold);
  drawText(cr, entry.text, x + nameWidth, y, kTextSize, art::kInk);
}

void drawSliderColumn(cairo_t* cr) {
  constexpr double indent = kLeftColumn + 9, nameWidth = 76;
  double y = kBand + 20;
  heading(cr, "Sliders", kLeftColumn, y);
  y += kLine + 4;
  for (const SliderEntry& slider : kSliders) {
    // The same tint as the slider's track in the dialog.
    fillRoundedRect(cr, kLeftColumn, y - 9, 3, 11, 1, slider.surface ? art::kSurfaceGreen : art::kViewBlue);
    entryLine(cr, slider.entry, indent, y, nameWidth);
    y += kLine;
  }
  y += 8;
  heading(cr, "Water", kLeftColumn, y);
  y += kLine + 4;
  entryLine(cr, {"Glue", "How the water meets the picture."}, indent, y, nameWidth);
  y += kLine;
  entryLine(cr, {"Colour", "Click the swatch to choose the water's tint."}, indent, y, nameWidth);
  y += kLine + 8;
  heading(cr, "Preview", kLeftColumn, y);
  y += kLine + 4;
  drawText(cr, "Click on the water to add a ripple there.", indent, y, kTextSize, art::kInk);
  y += kLine;
  drawText(cr, "Zoomed in, drag the picture to look around.", indent, y, kTextSize, art::kInk);
}

void drawDotsAndButtons(cairo_t* cr) {
  double y = kBand + 20;
  heading(cr, "Memory dots", kRightColumn, y);
  y += kLine + 4;
  for (const DotEntry& dot : kDots) {
    if (dot.dot != 0) {
      cairo_save(cr);
      cairo_translate(cr, kRightColumn + 2, y - 9);
      cairo_scale(cr, 1.25, 1.25);
      paintMemoryDot(cr, dot.dot);
      cairo_restore(cr);
    }
    drawText(cr, dot.text, kRightColumn + 18, y, kTextSize, art::kInk);
    y += kLine;
  }
  y += 8;
  heading(cr, "Buttons", kRightColumn, y);
  y += kLine + 5;
  for (const ButtonEntry& button : kButtons) {
    for (int i = 0; i < 2; ++i) {
      if (button.glyphs[i] != 0) drawGlyph(cr, button.glyphs[i], kRightColumn + i * 16, y - 11, 13);
    }
    entryLine(cr, button.entry, kRightColumn + 36, y, 76);
    y += kLine + 1;
  }
}
}  // namespace

void paintInfoCard(cairo_t* cr) {
  setColour(cr, art::kWhite);
  cairo_paint(cr);
  cairo_rectangle(cr, 0, 0, kWidth, kBand);
  setColour(cr, art::kPage);
  cairo_fill(cr);
  cairo_rectangle(cr, 0, kBand, kWidth, 1);
  setColour(cr, art::kPanelEdge);
  cairo_fill(cr);
  drawText(cr, "Tarve quick reference", kLeftColumn, 22, 15, art::kDeepWater, TextWeight::bold);
  drawText(cr, "Draws lying water", kWidth - 18, 22, 11, art::kQuietInk, TextWeight::regular, TextAlign::right);
  cairo_rectangle(cr, kRightColumn - 12, kBand + 12, 1, kHeight - kBand - 24);
  setColour(cr, art::kPanelEdge);
  cairo_fill(cr);
  drawSliderColumn(cr);
  drawDotsAndButtons(cr);
  strokeRoundedRect(cr, 0, 0, kWidth, kHeight, 0, art::kPanelEdge);
}
