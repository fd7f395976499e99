#include "files/frame_images.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "files/file_io.h"
#include "files/gif_writer.h"
#include "files/paths.h"

namespace {

// The four pictures are cut from one frame: the picture throws a blurred shadow two pixels
// right and down onto white.
constexpr int32_t kPictureLeft = 3, kPictureTop = 2, kPictureSide = 88;
constexpr float kShadowOffset = 2.0f, kShadowSoftness = 2.5f, kShadowStrength = 0.6f;

// Sixteen light greys from white down to 160.
GifPalette greys() {
  GifPalette palette{};
  for (int i = 0; i < 16; ++i) {
    const uint8_t grey = uint8_t(255 - i * 95 / 15);
    palette[size_t(i)] = {grey, grey, grey};
  }
  return palette;
}

// How much of a pixel at `at` lies under the shadow's span [first, first + length), with the
// span's edges spread over 2 x softness pixels.
float coverage(float at, float first, float length) {
  const float centre = at + 0.5f;
  const float inside = std::min(centre - (first - kShadowSoftness), (first + length + kShadowSoftness) - centre);
  return std::clamp(inside / (2.0f * kShadowSoftness), 0.0f, 1.0f);
}

uint8_t shadowIndex(int32_t x, int32_t y) {
  const float dark = kShadowStrength * coverage(float(x), kPictureLeft + kShadowOffset, kPictureSide) *
                     coverage(float(y), kPictureTop + kShadowOffset, kPictureSide);
  return uint8_t(std::lround(dark * 15.0f));
}

}  // namespace

std::vector<uint8_t> frameGif(const FrameImage& frame) {
  std::vector<uint8_t> indices;
  indices.reserve(size_t(frame.width) * size_t(frame.height));
  for (int32_t y = 0; y < frame.height; ++y)
    for (int32_t x = 0; x < frame.width; ++x) indices.push_back(shadowIndex(frame.left + x, frame.top + y));
  return encodeGif(frame.width, frame.height, greys(), indices);
}

OSErr writeFrameImages(const char* folder) {
  OSErr result = noErr;
  for (const FrameImage& frame : kFrameImages) {
    const FileSpec path = joinPath(folder, (std::string(frame.name) + ".gif").c_str());
    const std::vector<uint8_t> gif = frameGif(frame);
    FileHandle file = kNoFile;
    OSErr error = openFile(path.path, FileAccess::writing, file);
    if (error == noErr) {
      error = writeRaw(file, gif.data(), gif.size());
      const OSErr cut = setEndOfFile(file);
      if (error == noErr) error = cut;
      closeFile(file);
    }
    if (result == noErr) result = error;
  }
  return result;
}
