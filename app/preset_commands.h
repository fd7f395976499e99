// tarve preset info and tarve preset make: settings files without running the filter.
#pragma once

#include "app/options.h"

int presetInfoCommand(const Options& options);
int presetMakeCommand(const Options& options);
