#include "resources/artwork.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <vector>

#include "resources/artwork_paint.h"

namespace {
struct PictureEntry {
  int32_t id;
  int32_t width, height;
  void (*paint)(cairo_t* cr, int32_t id);
};

template <void (*paint)(cairo_t*)>
void withoutId(cairo_t* cr, int32_t) {
  paint(cr);
}
void paintSmallLogo(cairo_t* cr, int32_t) { paintLogo(cr, 32); }
void paintAboutLogo(cairo_t* cr, int32_t) { paintLogo(cr, 96); }

// In ascending id order: artworkPictureIds() hands out the ids in this order.
constexpr PictureEntry kPictures[] = {
    {kArtworkIconZoomIn, 16, 16, paintIconButton},
    {kArtworkGreenTrack, 135, 12, paintSliderTrack},
    {kArtworkBlueTrack, 135, 12, paintSliderTrack},
    {kArtworkSliderThumb, 12, 10, withoutId<paintSliderThumb>},
    {kArtworkIconEcce, 62, 27, paintIconButton},
    {kArtworkInfoCard, 702, 363, withoutId<paintInfoCard>},
    {kArtworkIconZoomOut, 16, 16, paintIconButton},
    {kArtworkLogo, 32, 32, paintSmallLogo},
    {kArtworkIconDice, 62, 27, paintIconButton},
    {kArtworkIconLoad, 62, 27, paintIconButton},
    {kArtworkIconSave, 62, 27, paintIconButton},
    {kArtworkIconUndo, 62, 27, paintIconButton},
    {kArtworkIconNextGlue, 17, 16, paintIconButton},
    {kArtworkDotSelected, 8, 8, paintMemoryDot},
    {kArtworkDotEmpty, 8, 8, paintMemoryDot},
    {kArtworkDotSelectedPinned, 8, 8, paintMemoryDot},
    {kArtworkDotEmptyPressed, 8, 8, paintMemoryDot},
    {kArtworkDotSelectedPressed, 8, 8, paintMemoryDot},
    {kArtworkDotSelectedPinnedPressed, 8, 8, paintMemoryDot},
    {kArtworkDotHeld, 8, 8, paintMemoryDot},
    {kArtworkDotHeldPressed, 8, 8, paintMemoryDot},
    {kArtworkDotHeldPinned, 8, 8, paintMemoryDot},
    {kArtworkDotHeldPinnedPressed, 8, 8, paintMemoryDot},
    {kArtworkDotFrame, 96, 96, withoutId<paintDotFrame>},
    {kArtworkIconPlain, 62, 27, paintIconButton},
    {kArtworkIconPsd, 62, 27, paintIconButton},
    {kArtworkIconPresetsGallery, 16, 16, paintIconButton},
    {kArtworkIconInfo, 24, 24, paintIconButton},
    {kArtworkDialogBackground, 881, 541, withoutId<paintDialogBackground>},
    {kArtworkAboutLogo, 96, 96, paintAboutLogo},
    {kArtworkAboutTitle, 240, 48, withoutId<paintAboutTitle>},
    {kArtworkAboutMaker, 240, 40, withoutId<paintAboutMaker>},
};
constexpr size_t kPictureCount = std::size(kPictures);

constexpr bool ascendingIds() {
  for (size_t i = 1; i < kPictureCount; ++i) {
    if (kPictures[i - 1].id >= kPictures[i].id) return false;
  }
  return true;
}
static_assert(ascendingIds(), "the picture table is searched by id");

constexpr std::array<int32_t, kPictureCount> listIds() {
  std::array<int32_t, kPictureCount> ids{};
  for (size_t i = 0; i < kPictureCount; ++i) ids[i] = kPictures[i].id;
  return ids;
}
constexpr std::array<int32_t, kPictureCount> kIds = listIds();

struct CursorEntry {
  PictureEntry picture;
  int32_t hotX, hotY;
};
// Both cursors point with their centre: the ripple centre lands where the cross meets.
constexpr CursorEntry kCursors[] = {
    {{kArtworkCursorPanning, 32, 32, paintCursor}, 15, 15},
    {{kArtworkCursorPreview, 32, 32, paintCursor}, 15, 15},
};

// Cairo keeps premultiplied pixels in native 32-bit words; the window layer takes straight
// RGBA bytes.
std::vector<uint8_t> straightRgba(cairo_surface_t* surface, int32_t width, int32_t height) {
  std::vector<uint8_t> rgba(size_t(width) * size_t(height) * 4);
  const uint8_t* rows = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int32_t y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(rows + size_t(y) * size_t(stride));
    uint8_t* out = rgba.data() + size_t(y) * size_t(width) * 4;
    for (int32_t x = 0; x < width; ++x, out += 4) {
      const uint32_t argb = row[x];
      const uint32_t a = argb >> 24;
      if (a == 0) continue;  // the vector starts out zero: fully transparent
      const auto unpremultiply = [a](uint32_t c) { return uint8_t((c * 255 + a / 2) / a); };
      out[0] = unpremultiply((argb >> 16) & 0xFF);
      out[1] = unpremultiply((argb >> 8) & 0xFF);
      out[2] = unpremultiply(argb & 0xFF);
      out[3] = uint8_t(a);
    }
  }
  return rgba;
}

std::vector<uint8_t> paintPicture(const PictureEntry& entry) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, entry.width, entry.height);
  cairo_t* cr = cairo_create(surface);
  entry.paint(cr, entry.id);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  std::vector<uint8_t> rgba;
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    rgba = straightRgba(surface, entry.width, entry.height);
  }
  cairo_surface_destroy(surface);
  return rgba;
}

struct PaintedPicture {
  std::once_flag painted;
  std::vector<uint8_t> rgba;
};
std::array<PaintedPicture, kPictureCount> paintedPictures;
std::array<PaintedPicture, std::size(kCursors)> paintedCursors;

// A picture Cairo could not paint (no memory) is reported as missing, never as garbage.
UiPicture paintedOnce(PaintedPicture& picture, const PictureEntry& entry) {
  std::call_once(picture.painted, [&] { picture.rgba = paintPicture(entry); });
  if (picture.rgba.empty()) return {0, 0, nullptr};
  return {entry.width, entry.height, picture.rgba.data()};
}
}  // namespace

std::span<const int32_t> artworkPictureIds() { return kIds; }

UiPicture artworkPicture(int32_t id) {
  const auto* found = std::lower_bound(std::begin(kPictures), std::end(kPictures), id,
                                       [](const PictureEntry& entry, int32_t key) { return entry.id < key; });
  if (found == std::end(kPictures) || found->id != id) return {0, 0, nullptr};
  return paintedOnce(paintedPictures[size_t(found - kPictures)], *found);
}

ArtworkCursor artworkCursor(int32_t id) {
  for (size_t i = 0; i < std::size(kCursors); ++i) {
    if (kCursors[i].picture.id == id) {
      return {paintedOnce(paintedCursors[i], kCursors[i].picture), kCursors[i].hotX, kCursors[i].hotY};
    }
  }
  return {{0, 0, nullptr}, 0, 0};
}
