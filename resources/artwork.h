// The module's pictures and cursors, by resource id. They are painted by our own code the
// first time they are asked for and kept for the life of the module, so every caller sees
// the same pixels at the same address.
#pragma once

#include <cstdint>
#include <span>

#include "ui/window.h"

// Main dialog.
constexpr int32_t kArtworkDialogBackground = 239;  // 881 × 541, drawn at the client origin
constexpr int32_t kArtworkGreenTrack = 101;        // 135 × 12, the surface sliders
constexpr int32_t kArtworkBlueTrack = 102;         // 135 × 12, the view and ripple sliders
constexpr int32_t kArtworkSliderThumb = 120;       // 12 × 10
constexpr int32_t kArtworkDotFrame = 217;          // 96 × 96, around the memory-dot thumbnail
constexpr int32_t kArtworkLogo = 183;              // 32 × 32, opens the about box
constexpr int32_t kArtworkInfoCard = 165;          // 702 × 363, the quick-reference card

// Memory dots, 8 × 8: by what the dot holds, whether it is pinned, and pressed or not.
constexpr int32_t kArtworkDotEmpty = 203;
constexpr int32_t kArtworkDotEmptyPressed = 210;
constexpr int32_t kArtworkDotHeld = 213;
constexpr int32_t kArtworkDotHeldPressed = 214;
constexpr int32_t kArtworkDotHeldPinned = 215;
constexpr int32_t kArtworkDotHeldPinnedPressed = 216;
constexpr int32_t kArtworkDotSelected = 202;
constexpr int32_t kArtworkDotSelectedPressed = 211;
constexpr int32_t kArtworkDotSelectedPinned = 208;
constexpr int32_t kArtworkDotSelectedPinnedPressed = 212;

// Icon buttons, each the size of its button and shown as the whole button: the wide ones
// are a face with a glyph and a word, the small ones a glyph on a transparent ground.
constexpr int32_t kArtworkIconLoad = 185;          // 62 × 27
constexpr int32_t kArtworkIconSave = 186;          // 62 × 27
constexpr int32_t kArtworkIconDice = 184;          // 62 × 27
constexpr int32_t kArtworkIconEcce = 164;          // 62 × 27
constexpr int32_t kArtworkIconUndo = 187;          // 62 × 27
constexpr int32_t kArtworkIconPlain = 225;         // 62 × 27
constexpr int32_t kArtworkIconPsd = 234;           // 62 × 27
constexpr int32_t kArtworkIconNextGlue = 188;      // 17 × 16
constexpr int32_t kArtworkIconInfo = 236;          // 24 × 24
constexpr int32_t kArtworkIconZoomOut = 169;       // 16 × 16
constexpr int32_t kArtworkIconZoomIn = 5;          // 16 × 16
constexpr int32_t kArtworkIconPresetsGallery = 235;  // 16 × 16

// About box.
constexpr int32_t kArtworkAboutLogo = 301;   // 96 × 96
constexpr int32_t kArtworkAboutTitle = 302;  // 240 × 48
constexpr int32_t kArtworkAboutMaker = 303;  // 240 × 40

// Cursors over the preview: 109 while the pointer rests on it (a click places the ripple
// centre or starts a pan), 107 while a pan moves the picture.
constexpr int32_t kArtworkCursorPreview = 109;
constexpr int32_t kArtworkCursorPanning = 107;

// The picture with that id, valid for the life of the module; {0, 0, nullptr} for an id
// the module has no picture for.
UiPicture artworkPicture(int32_t id);

struct ArtworkCursor {
  UiPicture picture;
  int32_t hotX, hotY;
};

// Cursor 107 or 109; an empty picture for any other id.
ArtworkCursor artworkCursor(int32_t id);

// Every picture id the module has, in ascending order (for tools that show them all).
std::span<const int32_t> artworkPictureIds();
