// The memory-dots page: every filled memory dot rendered over the whole image.
#pragma once

#include "host/plugin_state.h"

constexpr int32_t kDotThumbnailSide = 300;  // the longer side of a dot's picture

struct PixelSize {
  int32_t width, height;
};

// The filtered area scaled so that its longer side is 300, each side at least 1.
PixelSize dotThumbnailSize(int32_t width, int32_t height);

// Writes the page at `pagePath`: each filled dot in turn becomes the current settings and
// is rendered at dotThumbnailSize, with the host's progress and abort (and the progress
// window's, when one is open, each dot a pass of its own); an abort skips the
// remaining dots and still finishes the page. The settings, the view and the run's result
// code are as before afterwards. 99 when the page cannot be opened; otherwise the page's
// first write error, or noErr.
OSErr writeMemoryDotsPage(PluginState& state, const char* pagePath);
