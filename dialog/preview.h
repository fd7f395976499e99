// The preview panel's work on the plug-in state: asking the host for the visible part of the
// reduced image, rendering it with the current settings, zooming, and handing the finished
// pixels to the host's display service.
#pragma once

#include <cstdint>

#include "dialog/preview_geometry.h"
#include "host/plugin_state.h"

// The host offers what zooming needs: image requests, display and reduced sampling.
bool previewZoomSupported(const FilterRecord& record);

// The first view of a dialog: the whole image at its fit scale, fetched (the source image is
// read first when it is not yet) and rendered. A host that fails to deliver it has the
// preview switched off for this dialog, its error forgotten.
void startPreview(PluginState& state);

// Asks the host for the view at `previewScale` and `panOffset`. A failure switches the
// preview off, so that no render reads what the host did not deliver.
bool fetchPreview(PluginState& state);

// Renders the fetched view; `prepare` makes the tables from the current settings first.
void renderPreview(PluginState& state, bool prepare);

// The zoom buttons: 32 in, 33 out, 34 100 %. True when the view changed and wants a render.
bool zoomPreview(PluginState& state, int32_t command);

// The rendered view through the host's display service at `corner` (client pixels), reduced
// to 8 bits per sample when the image is deeper. `context` is the window layer's drawing
// context, which the host passes back to its own drawing.
OSErr displayPreview(PluginState& state, PixelPoint corner, void* context);

// The size of the rendered view, in preview pixels.
int32_t previewWidth(const PluginState& state);
int32_t previewHeight(const PluginState& state);

// The bits of one sample in the host's buffers: 8, 16, or 32 for float.
int32_t previewSampleDepth(const FilterRecord& record);

// One sample of a deeper image as the 8-bit display shows it.
uint8_t displaySample16(uint16_t value);
uint8_t displaySampleFloat(float value);
