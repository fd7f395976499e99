// Bands of rows rendered ahead on threads of the module's own, while the host still hands
// over one row at a time and the glue stage stays on the host's thread. A band begins by
// working out the reflected positions of the row above it, so every row comes out exactly as
// a render from the top would make it, whatever the number of threads.
#pragma once

#include <cstdint>

#include "host/settings.h"
#include "raster/memory.h"
#include "raster/raster.h"
#include "render/band_renderer.h"
#include "render/glue.h"
#include "render/surface.h"

struct BandWorkers;

// How many threads a render uses: TARVE_THREADS when it holds a count from 1 up (1: the
// host's thread alone), otherwise one per processor.
int32_t renderThreadCount();

// Starts `threads` workers on every row of the frame from row 0 down. With `glue` (a final
// render's glue frame, whose image pixels come from `source`) they glue the rows too and
// hand them over in the host's layout, which makes the bands a fraction of the size. The
// band memory comes from `memory` (the host's buffer service) on this thread. Null when
// there is nothing to share (one thread or one row) or no memory for it: the caller renders
// its rows itself.
BandWorkers* startBandWorkers(const Settings& settings, const RenderFrame& frame,
                              const Raster& source, const NoiseTables& noise, int32_t threads,
                              const BufferProcs* memory, const GlueFrame* glue);

// A row from the workers: glued (the host's output row, `bytes` long) when they glue, else
// the pixels for the glue stage. Both null when they are not rendering this: other settings,
// another frame or glue, or not the row that comes next; the caller then stops them and
// renders the row itself. What it points at stays valid until the next call.
struct BandRow {
  const WaterPixel* pixels;
  const uint8_t* glued;
  size_t bytes;
};
BandRow takeRow(BandWorkers& workers, const Settings& settings, const RenderFrame& frame,
                const GlueFrame& glue, int32_t row);

// Stops every worker, waits for them and frees what they held; safe on null.
void stopBandWorkers(BandWorkers*& workers);
