// The files of a folder, as the file system lists them.
#pragma once

#include <string>
#include <vector>

#include "sdk/host_interface.h"

// The names of the entries that are not folders (links count as what they point to), in
// the order the file system gives them. 99 when the folder cannot be listed.
OSErr listFiles(const char* folder, std::vector<std::string>& names);
