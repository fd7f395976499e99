// The canvas and the client surface on Windows: GDI over a device context, and a DIB
// section the window shows. Text is Arial at the layer's character height of 11 pixels.
#pragma once

#include <windows.h>

#include <cstdint>

struct Canvas {
  HDC dc;
  int savedState;  // what canvasEnd gives back to the context
};

struct UiSurface {
  HDC dc;
  HBITMAP bitmap;
  HGDIOBJ previous;
  uint32_t* pixels;  // top-down 0x00RRGGBB words, `width` a row
  int32_t width, height;
};

// A canvas over a context the caller owns, with client coordinates moved to `origin`.
Canvas* canvasOnContext(HDC dc, POINT origin);
// The font every control and text of a dialog shows.
HFONT dialogFont();
