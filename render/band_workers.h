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
#include "render/surface.h"

struct BandWorkers;

// How many threads a render uses: TARVE_THREADS when it holds a count from 1 up (1: the
// host's thread alone), otherwise one per processor.
int32_t renderThreadCount();

// Starts `threads` workers on every row of the frame from row 0 down. The band memory comes
// from `memory` (the host's buffer service) on this thread. Null when there is nothing to
// share (one thread or one row) or no memory for it: the caller renders its rows itself.
BandWorkers* startBandWorkers(const Settings& settings, const RenderFrame& frame,
                              const Raster& source, const NoiseTables& noise, int32_t threads,
                              const BufferProcs* memory);

// The rendered pixels of `row`, once a worker has them; they stay valid until the next call.
// Null when the workers are not rendering this: other settings, another frame, or not the
// row that comes next. The caller then stops them and renders the row itself.
const WaterPixel* takeRow(BandWorkers& workers, const Settings& settings,
                          const RenderFrame& frame, int32_t row);

// Stops every worker, waits for them and frees what they held; safe on null.
void stopBandWorkers(BandWorkers*& workers);
