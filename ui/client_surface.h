// What the shared core asks of the platform's painting: the client area a dialog is painted
// into and the canvas state kept around each message. Cairo draws it on Linux (ui/linux/),
// GDI on Windows (ui/win32/).
#pragma once

#include <string>

#include "ui/window.h"

struct UiSurface;

UiSurface* surfaceCreate(int32_t width, int32_t height);
void surfaceDestroy(UiSurface* surface);

// A canvas over the whole surface; canvasEnd ends it and leaves what it drew in the surface.
Canvas* canvasBegin(UiSurface* surface);
void canvasEnd(Canvas* canvas);
// canvasRestore gives back the clip as canvasSave found it.
void canvasSave(Canvas* canvas);
void canvasRestore(Canvas* canvas);
// Narrows the area later operations may paint to the rectangle.
void canvasClip(Canvas* canvas, const UiRect& rect);
// How far one line of canvasText advances, in pixels.
double canvasTextWidth(Canvas* canvas, const std::string& text);
