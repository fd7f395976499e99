// artworkPicture and artworkCursor over the artwork carried as data: each picture is
// unpacked the first time it is asked for and kept for the life of the module.
#include "resources/windows/artwork_stored.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "resources/artwork.h"
#include "resources/windows/artwork_packing.h"

namespace {
struct Unpacked {
  std::once_flag done;
  std::vector<uint8_t> rgba;
};

// Data that does not make the picture it says is reported as missing, never as garbage.
UiPicture unpackedOnce(Unpacked& picture, const StoredArtwork& stored) {
  std::call_once(picture.done, [&] {
    std::vector<uint8_t> rgba(static_cast<size_t>(stored.width) * stored.height * 4);
    const std::span packed(reinterpret_cast<const uint8_t*>(stored.packed), stored.packedSize);
    if (unpackPixels(packed, stored.width, rgba)) picture.rgba = std::move(rgba);
  });
  if (picture.rgba.empty()) return {0, 0, nullptr};
  return {stored.width, stored.height, picture.rgba.data()};
}

std::span<const StoredArtwork> pictures() { return {kStoredPictures, kStoredPictureCount}; }
std::span<const StoredArtwork> cursors() { return {kStoredCursors, kStoredCursorCount}; }

Unpacked& unpackedPicture(size_t index) {
  static const std::unique_ptr<Unpacked[]> unpacked(new Unpacked[kStoredPictureCount]);
  return unpacked[index];
}

Unpacked& unpackedCursor(size_t index) {
  static const std::unique_ptr<Unpacked[]> unpacked(new Unpacked[kStoredCursorCount]);
  return unpacked[index];
}
}  // namespace

std::span<const int32_t> artworkPictureIds() {
  static const std::vector<int32_t> ids = [] {
    std::vector<int32_t> all;
    for (const StoredArtwork& stored : pictures()) all.push_back(stored.id);
    return all;
  }();
  return ids;
}

UiPicture artworkPicture(int32_t id) {
  const auto found = std::lower_bound(pictures().begin(), pictures().end(), id,
                                      [](const StoredArtwork& stored, int32_t key) { return stored.id < key; });
  if (found == pictures().end() || found->id != id) return {0, 0, nullptr};
  return unpackedOnce(unpackedPicture(static_cast<size_t>(found - pictures().begin())), *found);
}

ArtworkCursor artworkCursor(int32_t id) {
  for (size_t i = 0; i < cursors().size(); ++i) {
    const StoredArtwork& stored = cursors()[i];
    if (stored.id == id) return {unpackedOnce(unpackedCursor(i), stored), stored.hotX, stored.hotY};
  }
  return {{0, 0, nullptr}, 0, 0};
}
