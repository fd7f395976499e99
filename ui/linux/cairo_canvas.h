// The canvas and the client surface on Linux: Cairo. The Linux backends (headless, GTK)
// show and save the surface, and make canvases over Cairo contexts of their own.
#pragma once

#include <cairo.h>

struct Canvas {
  cairo_t* cairo;
};

struct UiSurface {
  cairo_surface_t* cairo;
};
