// The picture that settings files and memory dots carry, taken from the dialog's preview.
#pragma once

#include <cstdint>

#include "host/plugin_state.h"

// Rendered preview pixels as the host holds them: `planes` samples a pixel (1 grey, 3 or more
// colour, any alpha after them ignored) of `depth` bits (8, 16 on 0..32768, 32 float).
struct PreviewPixels {
  const void* data;
  int32_t rowBytes;
  int32_t width, height;
  int32_t planes;
  int32_t depth;
};

// Resets the thumbnail to the blank gradient, then scales the top-left square of the
// preview (its side the shorter of width and height) into it at 8 bits, deeper samples
// brought down as the preview shows them. False, with the blank left, when there is no
// preview or no memory.
bool captureThumbnail(const PreviewPixels& preview, Raster& thumbnail);

// The same from the preview the host holds in its output buffer, into the state's thumbnail.
bool capturePreviewThumbnail(PluginState& state);
