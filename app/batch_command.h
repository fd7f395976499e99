// tarve apply IN... -d FOLDER: many files through the filter with one choice of settings,
// several at once. Each file runs in a process of its own, because the module keeps
// module-wide state and serves one run at a time.
#pragma once

#include <string>
#include <vector>

#include "app/options.h"

// Returns 0 when every file was written, 2 when any failed, 130 after Ctrl-C.
int batchCommand(const Options& options);

// The output path of each input: the folder, the input's name with the suffix, and the
// format's extension (the input's own when no format is given). A path that an earlier
// input takes already is left empty.
std::vector<std::string> batchOutputs(const std::vector<std::string>& inputs, const std::string& folder,
                                      const std::string& format, const std::string& suffix);
