// Thumbnails for settings files written without the dialog, made from a picture of the whole
// image the way the dialog makes them from its preview.
#pragma once

#include <cstdint>

#include "host/settings.h"
#include "sdk/host_interface.h"

// `rgba` holds width x height 8-bit RGBA pixels, row by row. The picture is reduced by the
// whole factor that fits it into the preview area, its top-left square is scaled into the
// 128 x 128 thumbnail, and the settings file is written with it. Besides the writer's codes,
// -99 when there is no memory for the thumbnail.
OSErr writeSettingsFileWithPicture(const char* path, const Settings& settings, const uint8_t* rgba, int32_t width,
                                   int32_t height);
