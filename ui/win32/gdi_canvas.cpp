#include "ui/win32/gdi_canvas.h"

#include <vector>

#include "ui/canvas.h"
#include "ui/client_surface.h"
#include "ui/win32/wide_text.h"

namespace {
COLORREF colourOf(UiColour c) { return RGB(c.red, c.green, c.blue); }

BITMAPINFO topDownInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// GDI takes 32-bit pixels as B, G, R, A bytes; a blend wants them premultiplied.
std::vector<uint32_t> gdiPixels(const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                                int32_t channels, bool& opaque) {
  std::vector<uint32_t> out(static_cast<size_t>(width) * height);
  opaque = true;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = pixels + static_cast<ptrdiff_t>(y) * rowBytes;
    for (int32_t x = 0; x < width; ++x, in += channels) {
      const uint32_t a = channels == 4 ? in[3] : 255;
      if (a != 255) opaque = false;
      auto scale = [a](uint8_t v) { return static_cast<uint32_t>((v * a + 127) / 255); };
      out[static_cast<size_t>(y) * width + x] = a << 24 | scale(in[0]) << 16 | scale(in[1]) << 8 | scale(in[2]);
    }
  }
  return out;
}
}  // namespace

HFONT dialogFont() {
  // A negative height asks for the character height, without the internal leading.
  static HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Arial");
  return font;
}

uint64_t monotonicMilliseconds() { return GetTickCount64(); }

UiSurface* surfaceCreate(int32_t width, int32_t height) {
  auto* surface = new UiSurface{CreateCompatibleDC(nullptr), nullptr, nullptr, nullptr, width, height};
  const BITMAPINFO info = topDownInfo(width, height);
  void* bits = nullptr;
  surface->bitmap = CreateDIBSection(surface->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  surface->pixels = static_cast<uint32_t*>(bits);
  surface->previous = SelectObject(surface->dc, surface->bitmap);
  return surface;
}

void surfaceDestroy(UiSurface* surface) {
  if (!surface) return;
  SelectObject(surface->dc, surface->previous);
  DeleteObject(surface->bitmap);
  DeleteDC(surface->dc);
  delete surface;
}

Canvas* canvasOnContext(HDC dc, POINT origin) {
  auto* canvas = new Canvas{dc, SaveDC(dc)};
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  return canvas;
}

Canvas* canvasBegin(UiSurface* surface) { return canvasOnContext(surface->dc, {0, 0}); }

void canvasEnd(Canvas* canvas) {
  RestoreDC(canvas->dc, canvas->savedState);
  GdiFlush();
  delete canvas;
}

void* canvasPlatformContext(Canvas* canvas) { return canvas->dc; }

Canvas* canvasFromPlatformContext(void* context) { return canvasOnContext(static_cast<HDC>(context), {0, 0}); }

void canvasEndPlatform(Canvas* canvas) { canvasEnd(canvas); }

void canvasSave(Canvas* canvas) { SaveDC(canvas->dc); }

void canvasRestore(Canvas* canvas) { RestoreDC(canvas->dc, -1); }

void canvasClip(Canvas* canvas, const UiRect& r) {
  IntersectClipRect(canvas->dc, r.left, r.top, r.left + r.width, r.top + r.height);
}

void canvasExcludeClip(Canvas* canvas, const UiRect& r) {
  ExcludeClipRect(canvas->dc, r.left, r.top, r.left + r.width, r.top + r.height);
}

void canvasFill(Canvas* canvas, const UiRect& r, UiColour colour) {
  if (r.width <= 0 || r.height <= 0) return;
  const RECT rect{r.left, r.top, r.left + r.width, r.top + r.height};
  SetDCBrushColor(canvas->dc, colourOf(colour));
  FillRect(canvas->dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void canvasPixels(Canvas* canvas, const uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes,
                  int32_t channels, const UiRect& into) {
  if (!pixels || width <= 0 || height <= 0 || into.width <= 0 || into.height <= 0) return;
  if (channels != 3 && channels != 4) return;
  bool opaque = true;
  const std::vector<uint32_t> bgra = gdiPixels(pixels, width, height, rowBytes, channels, opaque);
  const BITMAPINFO info = topDownInfo(width, height);
  HDC dc = canvas->dc;
  const bool exact = into.width == width && into.height == height;
  if (opaque) {
    // Drawn at its own size a picture keeps its exact pixels; scaled, it is filtered.
    SetStretchBltMode(dc, exact ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, into.left, into.top, into.width, into.height, 0, 0, width, height, bgra.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    return;
  }
  HDC source = CreateCompatibleDC(dc);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    std::copy(bgra.begin(), bgra.end(), static_cast<uint32_t*>(bits));
    HGDIOBJ previous = SelectObject(source, bitmap);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, into.left, into.top, into.width, into.height, source, 0, 0, width, height, blend);
    SelectObject(source, previous);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(source);
}

double canvasTextWidth(Canvas* canvas, const std::string& text) {
  const std::wstring wide = wideText(text);
  HGDIOBJ previous = SelectObject(canvas->dc, dialogFont());
  SIZE size{0, 0};
  GetTextExtentPoint32W(canvas->dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(canvas->dc, previous);
  return size.cx;
}

void canvasText(Canvas* canvas, const UiRect& rect, const char* text, UiColour colour, UiAlign align) {
  if (!text || !*text) return;
  HDC dc = canvas->dc;
  const std::wstring wide = wideText(text);
  SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.left + rect.width, rect.top + rect.height);
  SelectObject(dc, dialogFont());
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  int x = rect.left;
  if (align == UiAlign::right) x = rect.left + rect.width - size.cx;
  if (align == UiAlign::centre) x = rect.left + (rect.width - size.cx) / 2;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colourOf(colour));
  SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  TextOutW(dc, x, rect.top, wide.c_str(), static_cast<int>(wide.size()));
  RestoreDC(dc, -1);
}
