// The glue stage: the last step of every rendered pixel. It takes the renderer's pixel (the
// "water" W, which above the water line is the re-sampled image itself), reads the image pixel
// I under it, combines the two by the settings' glue mode and writes the result where the
// render mode sends it.
#pragma once

#include <cstdint>

#include "raster/raster.h"
#include "render/band_renderer.h"
#include "render/channels.h"
#include "render/glue_modes.h"
#include "render/glue_output.h"

struct PluginState;

// Everything the glue stage needs to know about a render and the buffers of the current band,
// as plain values and pointers. glueFrameOf() fills it from the plug-in state; each row is
// then started from it once, and its pixels glued one by one.
struct GlueFrame {
  int32_t renderMode;       // 0 final, 1 dialog, 2 raster
  int32_t depth;            // bits per channel of the image: 8, 16 or 32
  PixelLayout layout;       // grey image; editable transparency (host filter case 4 or 5)
  int32_t glue;             // Settings.glue
  const uint8_t* triangle;  // the work record's triangle table
  int32_t width, height;    // Wc x Hc; pixels outside are clamped into it

  // final and dialog: the host's buffers. `firstRow` is the row of the region that their first
  // row holds: the row itself when the host delivers one row per band (final), 0 when it
  // delivers the whole region (dialog). Steps count samples from one pixel to the next.
  const void* inData;
  int32_t inRowBytes, inStep;
  void* outData;
  int32_t outRowBytes, outStep;
  int32_t firstRow;

  // dialog: the host's selection mask, one byte per pixel, aligned with the input buffer and
  // `maskWidth` x `maskHeight` large (pixels beyond it are outside the selection). Null when
  // there is no selection.
  const uint8_t* maskData;
  int32_t maskRowBytes, maskWidth, maskHeight;

  // raster: the target; its level 0 is both the image under the water and the destination.
  Raster* target;

  // final and dialog: when set, the image pixel comes from level 0 of this raster instead of
  // the host's input. The source raster holds the host's pixels as they were delivered, which
  // lets rows be glued away from the host's buffers.
  const Raster* image;
};

// One row of a render, with everything that is the same for the whole row worked out.
struct GlueRow {
  GlueFrame frame;
  GlueCombine combine;
  int32_t row;  // clamped into the region
  const uint8_t* in;
  uint8_t* out;
  const uint8_t* mask;  // null: every pixel of the row is fully selected, or none is
  int32_t rowMask;      // the mask of the whole row when `mask` is null
};

GlueRow startGlueRow(const GlueFrame& frame, int32_t row);

// Glues pixel x of the row and stores it. `pixel` is the renderer's red, green, blue and alpha
// divided by the pixel scale M (255 for 8-bit images, 32768 for 16-bit; 32-bit pixels are
// already in 0..1).
void gluePixel(int32_t x, const WaterPixel& pixel, const GlueRow& row);

// The frame of the current band from the plug-in state: the render mode, glue and triangle
// table, the host's buffers (final and dialog) or the work record's target (raster). `row` is
// the row being rendered, which a final render's one-row band holds.
GlueFrame glueFrameOf(const PluginState& state, int32_t row);

// ---- the steps of gluePixel, exposed for the tests ------------------------------------------

// The water pixel at an 8- or 16-bit depth, ready for the mode: on the channels' scale, light
// that overshoots the top spilled into the other channels, grey for grey images, limited to
// the top; with the output alpha A.
struct WaterChannels {
  Channels value;
  int32_t alpha;
};
WaterChannels prepareWater(const WaterPixel& pixel, int32_t depth, bool grey);

// The same for 32-bit images, which is all the glue does to them: every mode is "normal".
FloatPixel prepareWaterFloat(const WaterPixel& pixel, bool grey);
