// An output file appears whole or not at all: the data goes into a temporary file in the
// destination's folder, which is renamed over the destination when it is complete. The
// temporary file is made before the long work starts, so that an unwritable folder is
// reported at once rather than after the render.
#pragma once

#include <string>

struct AtomicOutput {
  std::string path;       // the destination (a symbolic link's target, when it is one)
  std::string temporary;  // beside it; empty once committed or abandoned
  bool replace = true;    // false: a file that appeared at the destination meanwhile is kept
};

bool beginAtomicOutput(const std::string& path, AtomicOutput& output, std::string& error);
// Renames the temporary file into place with the permissions the destination has (or would
// get as a new file).
bool commitAtomicOutput(AtomicOutput& output, std::string& error);
// Removes the temporary file; the destination is untouched.
void abandonAtomicOutput(AtomicOutput& output);
