#include "resources/artwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "dialog/control_table.h"
#include "resources/artwork_paint.h"
#include "resources/dialog_templates.h"
#include "tests/isolated_temp.h"

namespace {
struct Expected {
  int32_t id, width, height;
};
// The sizes the dialogs draw them at: each fills its control's rectangle or its place.
constexpr Expected kExpected[] = {
    {239, 881, 541}, {101, 135, 12}, {102, 135, 12}, {120, 12, 10},  {217, 96, 96},   {183, 32, 32},
    {165, 702, 363}, {202, 8, 8},    {203, 8, 8},    {208, 8, 8},    {210, 8, 8},     {211, 8, 8},
    {212, 8, 8},     {213, 8, 8},    {214, 8, 8},    {215, 8, 8},    {216, 8, 8},     {184, 62, 27},
    {164, 62, 27},   {187, 62, 27},  {225, 62, 27},  {234, 62, 27},  {185, 62, 27},   {186, 62, 27},
    {188, 17, 16},   {236, 24, 24},  {169, 16, 16},  {5, 16, 16},    {235, 16, 16},   {301, 96, 96},
    {302, 240, 48},  {303, 240, 40},
};

const uint8_t* pixel(const UiPicture& p, int32_t x, int32_t y) { return p.rgba + (size_t(y) * size_t(p.width) + size_t(x)) * 4; }

double lightness(const UiPicture& p, int32_t x, int32_t y) {
  const uint8_t* px = pixel(p, x, y);
  return 0.3 * px[0] + 0.59 * px[1] + 0.11 * px[2];
}

std::vector<uint8_t> bytesOf(const UiPicture& p) { return {p.rgba, p.rgba + size_t(p.width) * size_t(p.height) * 4}; }
}  // namespace

TEST(Artwork, EveryPictureHasItsSizeAndIsPaintedOnce) {
  ASSERT_EQ(artworkPictureIds().size(), std::size(kExpected));
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.id);
    const UiPicture p = artworkPicture(e.id);
    ASSERT_NE(p.rgba, nullptr);
    EXPECT_EQ(p.width, e.width);
    EXPECT_EQ(p.height, e.height);
    // Painted once, then kept: the layer may hold on to the pixels.
    EXPECT_EQ(artworkPicture(e.id).rgba, p.rgba);
    // Not blank: something is drawn, and not one flat colour.
    const uint8_t* first = p.rgba;
    bool drawn = false, varied = false;
    for (size_t i = 0; i < size_t(p.width) * size_t(p.height) * 4; i += 4) {
      drawn = drawn || p.rgba[i + 3] != 0;
      varied = varied || std::memcmp(first, p.rgba + i, 4) != 0;
    }
    EXPECT_TRUE(drawn);
    EXPECT_TRUE(varied);
  }
}

TEST(Artwork, IdsWithoutAPictureGiveTheEmptyPicture) {
  // 204 lies between dot pictures but names no dot state; the cursors are no pictures.
  for (int32_t id : {0, -1, 1, 204, 209, 107, 109, 300, 304, 100000}) {
    SCOPED_TRACE(id);
    const UiPicture p = artworkPicture(id);
    EXPECT_EQ(p.width, 0);
    EXPECT_EQ(p.height, 0);
    EXPECT_EQ(p.rgba, nullptr);
  }
  for (int32_t id : {0, 108, 239}) {
    const ArtworkCursor c = artworkCursor(id);
    EXPECT_EQ(c.picture.rgba, nullptr);
    EXPECT_EQ(c.picture.width, 0);
  }
}

TEST(Artwork, CursorsPointWithADrawnPixelInsideThemselves) {
  for (int32_t id : {kArtworkCursorPanning, kArtworkCursorPreview}) {
    SCOPED_TRACE(id);
    const ArtworkCursor c = artworkCursor(id);
    ASSERT_NE(c.picture.rgba, nullptr);
    EXPECT_EQ(c.picture.width, 32);
    EXPECT_EQ(c.picture.height, 32);
    ASSERT_GE(c.hotX, 0);
    ASSERT_GE(c.hotY, 0);
    ASSERT_LT(c.hotX, c.picture.width);
    ASSERT_LT(c.hotY, c.picture.height);
    EXPECT_EQ(pixel(c.picture, c.hotX, c.hotY)[3], 255);
    // A cursor is a shape, not a block: its corners are see-through.
    EXPECT_EQ(pixel(c.picture, 0, 0)[3], 0);
    EXPECT_EQ(pixel(c.picture, 31, 31)[3], 0);
  }
  EXPECT_NE(bytesOf(artworkCursor(107).picture), bytesOf(artworkCursor(109).picture));
}

TEST(Artwork, BackgroundCoversTheDialogAndLeavesThePreviewWhite) {
  const UiPicture bg = artworkPicture(kArtworkDialogBackground);
  ASSERT_NE(bg.rgba, nullptr);
  for (int32_t y = 0; y < bg.height; ++y) {
    for (int32_t x = 0; x < bg.width; ++x) ASSERT_EQ(pixel(bg, x, y)[3], 255) << x << "," << y;
  }
  // Without a preview the area shows the background alone: it must be plain white there.
  for (const auto& [x, y] : {std::pair{366, 0}, {600, 200}, {864, 383}}) {
    const uint8_t* px = pixel(bg, x, y);
    EXPECT_EQ(px[0] + px[1] + px[2], 3 * 255) << x << "," << y;
  }
}

TEST(Artwork, TracksRunFromDarkToLightInTheirTints) {
  const UiPicture green = artworkPicture(kArtworkGreenTrack);
  const UiPicture blue = artworkPicture(kArtworkBlueTrack);
  for (const UiPicture& track : {green, blue}) {
    ASSERT_NE(track.rgba, nullptr);
    EXPECT_LT(lightness(track, 3, 5), 60);
    EXPECT_GT(lightness(track, 128, 5), 170);
    for (int32_t x = 8; x < 128; x += 8) EXPECT_LT(lightness(track, x, 5), lightness(track, x + 8, 5));
  }
  const uint8_t* g = pixel(green, 90, 5);
  EXPECT_GT(g[1], g[0]);
  EXPECT_GT(g[1], g[2]);
  const uint8_t* b = pixel(blue, 90, 5);
  EXPECT_GT(b[2], b[0]);
  EXPECT_GT(b[2], b[1]);
}

TEST(Artwork, MemoryDotsDifferByStateAndKeepStraightColours) {
  const int32_t dots[] = {202, 203, 208, 210, 211, 212, 213, 214, 215, 216};
  for (size_t i = 0; i < std::size(dots); ++i) {
    for (size_t j = i + 1; j < std::size(dots); ++j) {
      EXPECT_NE(bytesOf(artworkPicture(dots[i])), bytesOf(artworkPicture(dots[j]))) << dots[i] << " " << dots[j];
    }
  }
  // Straight colours: the soft rim of a solid dot has the dot's colour, only less cover.
  // Premultiplied pixels handed on as they are would show a dark ring instead.
  const UiPicture pinned = artworkPicture(kArtworkDotHeldPinned);
  const uint8_t* middle = pixel(pinned, 4, 4);
  const uint8_t* rim = nullptr;
  for (int32_t i = 0; i < 64 && !rim; ++i) {
    const uint8_t* px = pixel(pinned, i % 8, i / 8);
    if (px[3] >= 60 && px[3] <= 200) rim = px;
  }
  ASSERT_NE(rim, nullptr);
  for (int c = 0; c < 3; ++c) EXPECT_NEAR(rim[c], middle[c], 3) << c;
  // The current dot is the orange one.
  const uint8_t* current = pixel(artworkPicture(kArtworkDotSelectedPinned), 4, 4);
  EXPECT_GT(current[0], current[2] + 100);
}

TEST(Artwork, TextIsSetInLiberationSans) {
  // A missing font would not fail the painting: the text would silently come out in another.
  EXPECT_NE(fontFileOf(TextWeight::regular).find("LiberationSans-Regular."), std::string::npos)
      << fontFileOf(TextWeight::regular);
  EXPECT_NE(fontFileOf(TextWeight::bold).find("LiberationSans-Bold."), std::string::npos)
      << fontFileOf(TextWeight::bold);
}

// The artwork and the main dialog's tables must agree: a picture of another size than its
// place would be cut off or leave a gap, and black text needs a light ground.
TEST(Artwork, FitsTheMainDialogsLayout) {
  const UiPicture bg = artworkPicture(kArtworkDialogBackground);
  ASSERT_NE(bg.rgba, nullptr);
  EXPECT_EQ(bg.width, kDialogWidth);
  EXPECT_EQ(bg.height, kDialogHeight);
  int icons = 0, tracks = 0, texts = 0;
  for (int32_t id = 0; id < kControlCount; ++id) {
    SCOPED_TRACE(id);
    const ControlEntry entry = controlEntry(id);
    LayoutRect rect;
    if (!controlLayout(id, rect)) continue;
    if (entry.icon >= 0) {
      const UiPicture icon = artworkPicture(entry.icon);
      EXPECT_EQ(icon.width, rect.width);
      EXPECT_EQ(icon.height, rect.height);
      ++icons;
    }
    if (entry.track >= 0) {
      const UiPicture track = artworkPicture(entry.track);
      EXPECT_EQ(track.width, rect.width);
      EXPECT_EQ(track.height, rect.height);
      ++tracks;
    }
    if (entry.kind == DialogControlKind::label || entry.kind == DialogControlKind::statusLine) {
      for (int32_t y = rect.top; y < rect.top + rect.height; ++y) {
        for (int32_t x = rect.left; x < rect.left + rect.width; ++x) {
          ASSERT_GT(lightness(bg, x, y), 200) << x << "," << y;
        }
      }
      ++texts;
    }
  }
  EXPECT_EQ(icons, 13);  // the twelve icon buttons and the logo
  EXPECT_EQ(tracks, 11);
  EXPECT_EQ(texts, 13);
}

TEST(Artwork, FitsTheAboutBox) {
  const std::pair<int32_t, int32_t> pictures[] = {
      {kAboutLogo, kArtworkAboutLogo}, {kAboutTitle, kArtworkAboutTitle}, {kAboutMaker, kArtworkAboutMaker}};
  for (const auto& [control, id] : pictures) {
    const auto found = std::find_if(kAboutTemplate.controls.begin(), kAboutTemplate.controls.end(),
                                    [&](const ControlTemplate& c) { return c.id == control; });
    ASSERT_NE(found, kAboutTemplate.controls.end());
    const UiPicture p = artworkPicture(id);
    EXPECT_EQ(p.width, found->rect.width) << id;
    EXPECT_EQ(p.height, found->rect.height) << id;
  }
}

TEST(Artwork, IconsAreCentredAndTheSmallOnesStandAlone) {
  for (int32_t id : {184, 164, 187, 225, 234, 185, 186, 188, 236, 169, 5, 235}) {
    SCOPED_TRACE(id);
    const UiPicture p = artworkPicture(id);
    ASSERT_NE(p.rgba, nullptr);
    // What says what the button does: the pixels that stand out from a light face.
    int32_t left = p.width, right = -1, top = p.height, bottom = -1;
    for (int32_t y = 0; y < p.height; ++y) {
      for (int32_t x = 0; x < p.width; ++x) {
        if (pixel(p, x, y)[3] < 128 || lightness(p, x, y) > 190) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    ASSERT_GE(right, left);
    EXPECT_NEAR(left + right, p.width - 1, 3);
    EXPECT_NEAR(top + bottom, p.height - 1, 3);
    if (p.width > 24) {
      // The wide buttons bring a face that fills them; only its rounded corners are clear.
      EXPECT_LT(pixel(p, 0, 0)[3], 128);
      EXPECT_EQ(pixel(p, p.width / 2, 1)[3], 255);
      EXPECT_GT(lightness(p, 4, p.height / 2), 200);
    } else {
      // The small ones lie on whatever the dialog has around them.
      EXPECT_EQ(pixel(p, 0, 0)[3], 0);
      EXPECT_EQ(pixel(p, p.width - 1, 0)[3], 0);
    }
  }
}
