// Where the preview's picture lies: the reduction that fits the whole image, the zoomed and
// panned view within the reduced image, the picture's place in the preview area, and the
// image point under a click.
#pragma once

#include <cstdint>

#include "host/plugin_state.h"
#include "host/render_job.h"

// The preview area in the dialog's client pixels.
struct PreviewArea {
  int32_t left, top, width, height;
};
constexpr PreviewArea kPreviewArea{366, 0, kPreviewAreaWidth, kPreviewAreaHeight};

// A view's top-left corner, kept where the reduced image still fills the area and on a
// multiple of the reduction, so that the host's reduced pixels and the renderer's positions
// name the same image points.
PixelPoint clampPan(PixelPoint pan, int32_t width, int32_t height, int32_t scale);

// The view's corner after a change of reduction that keeps the view's centre in place.
PixelPoint zoomedPan(PixelPoint pan, int32_t width, int32_t height, int32_t oldScale, int32_t newScale);

// The visible part of the reduced image, in preview pixels.
int32_t visibleWidth(int32_t width, int32_t scale);
int32_t visibleHeight(int32_t height, int32_t scale);

// The top-left corner of a picture of this size centred in the area (or at its corner when
// the picture is as large as the area).
PixelPoint pictureCorner(int32_t pictureWidth, int32_t pictureHeight);

// "100%", "50%", "33%", "25%" ...: what the 100 % button shows at a reduction.
void zoomText(int32_t scale, char (&text)[8]);

// The image point under the client point (mx, my) becomes the water centre: in pixels of the
// filter rectangle and as fractions of it. A click beside the picture gives a centre outside
// the image, which is kept as it is.
void pickCentre(ParameterBlock& block, int32_t mx, int32_t my, PixelPoint corner, int32_t scale, int32_t width,
                int32_t height);
