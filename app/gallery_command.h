// tarve gallery: the presets page of a folder, as the dialog's presets gallery writes it.
#pragma once

#include "app/options.h"

int galleryCommand(const Options& options);
