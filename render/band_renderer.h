// The band renderer: one row of the image into its final pixels. Above the water line a
// pixel shows the scene itself; below it, the mirror image of the scene above the line,
// displaced by the surface and tinted by the water. The row's pixels are then handed to
// the glue stage.
#pragma once

#include <cstdint>

#include "host/settings.h"
#include "raster/raster.h"
#include "render/reflection.h"
#include "render/surface.h"

struct PluginState;

// Where the row lies and what kind of image it makes, independent of the host.
struct RenderFrame {
  int32_t fullWidth, fullHeight;  // Wf x Hf: the host's filter rectangle
  int32_t width, height;          // Wc x Hc: the region (or target raster) being rendered
  int32_t previewScale, previewOriginX, previewOriginY;
  float invW0, invH0;  // reciprocal size of level 0 of the raster being rendered
  int32_t depth;       // bits per channel: 8, 16 or 32
  bool grey;
  bool transparency;  // editable transparency
  bool dialog;        // a preview: guide marks, and positions those of the image itself

  bool operator==(const RenderFrame&) const = default;
};

struct RowConstants {
  float D, R;  // horizon and water line as fractions of the height
  int32_t horizonRow, waterRow;
  float P, A, F, invF;
  float Hr, U, Wv, Bl, c;
  float Blo, Bhi;
  float waterR, waterG, waterB;  // on the pixel scale
  float aspectFix;
  RippleRings rings;
};

RowConstants computeRowConstants(const Settings& settings, const RenderFrame& frame,
                                 const NoiseTables& noise);

// The normalised colour and alpha a pixel hands to the glue stage.
struct WaterPixel {
  float r, g, b, a;
};

enum class GuideMark { none, waterLine, horizon };
GuideMark guideMarkAt(int32_t x, int32_t row, int32_t width, int32_t waterRow,
                      int32_t horizonRow);

// Renders pixels 0..width-1 of `row` into `out`. `scratch` holds width + 1 records (the
// driver gives four spare) and carries the reflected positions from row to row: it must hold
// what the row above left there, by rendering it or by seedScratch.
void renderPixels(const Settings& settings, const RenderFrame& frame, const Raster& source,
                  const NoiseTables& noise, int32_t row, RowScratch* scratch, WaterPixel* out);

// The same, each pixel going to the glue stage as soon as it is made.
struct GlueRow;
void renderGluedPixels(const Settings& settings, const RenderFrame& frame, const Raster& source,
                       const NoiseTables& noise, int32_t row, RowScratch* scratch,
                       const GlueRow& glue);

// Leaves in `scratch` what rendering `row` would leave for the row below, without sampling
// anything: a row can then be rendered without its predecessors, as bands on other threads
// are.
void seedScratch(const Settings& settings, const RenderFrame& frame, const NoiseTables& noise,
                 int32_t row, RowScratch* scratch);

// The row `renderedRow` of the current region, through the glue stage into the destination
// of the render mode. Without the host's input or output buffer (or, rendering into a
// raster, without a target), or with a row buffer too small for the row, nothing is rendered
// and the result code becomes -108.
void renderRow(PluginState& state);
