// Painting on a dialog's client area (or a common dialog's preview panel), in client
// pixels. Every backend paints through Cairo, so a picture looks the same headless and on
// a desktop.
#pragma once

#include <cstdint>

#include "ui/window.h"

// Fills the rectangle.
void canvasFill(Canvas* canvas, const UiRect& rect, UiColour colour);
// A one-pixel outline just inside the rectangle.
void canvasFrame(Canvas* canvas, const UiRect& rect, UiColour colour);
// A button face: grey face with a light top-left and dark bottom-right edge (sunken when
// pressed), a black outline when focused; disabled, only the grey face and a grey outline.
// itemState takes the kUiItem… bits of a drawItem message.
void canvasButtonFace(Canvas* canvas, const UiRect& rect, uint32_t itemState);
void canvasSetPixel(Canvas* canvas, UiPoint point, UiColour colour);
// Draws the picture with its top-left corner at `at`, blending by its alpha.
void canvasPicture(Canvas* canvas, const UiPicture& picture, UiPoint at);
// Draws a pixel buffer (3 bytes a pixel RGB or 4 bytes RGBA, `rowBytes` apart) scaled
// into `into`.
void canvasPixels(Canvas* canvas, const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                  int32_t channels, const UiRect& into);
// Takes the rectangle out of the area later operations may paint, until the canvas ends.
void canvasExcludeClip(Canvas* canvas, const UiRect& rect);

enum class UiAlign { left, centre, right };
constexpr UiColour kUiTextBlack{0, 0, 0};
constexpr UiColour kUiTextGrey{140, 140, 140};
// One line in Liberation Sans at a character height of 11 pixels, transparent background,
// from the rectangle's top, clipped to it.
void canvasText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align);
// The same, broken into lines at spaces to fit the rectangle's width, a line every 13 pixels
// (the dialog font's height), as static texts show.
void canvasWrappedText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align);

// The drawing context a host's display service is handed with a picture: on Windows the
// device context, as every host there expects; elsewhere the canvas itself.
void* canvasPlatformContext(Canvas* canvas);
// A host's canvas over such a context, in the same client coordinates; canvasEndPlatform
// ends it and leaves the context as it was.
Canvas* canvasFromPlatformContext(void* context);
void canvasEndPlatform(Canvas* canvas);
