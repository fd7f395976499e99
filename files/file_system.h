// What the file layer asks of the operating system. files/file_system.cpp answers on POSIX
// systems and files/windows/file_system.cpp on Windows; everything above it is the same on
// both. Paths are UTF-8 on both.
#pragma once

#include <string>

#include "files/file_io.h"

// Makes one folder; a folder that exists already is no error. 99 when it cannot be made or
// the name is taken by something else.
OSErr makeFolder(const char* path);

// A file that is replaced whole or not at all: it is written under a temporary name in the
// destination's folder and moved over the destination once complete.
struct FileReplacement {
  std::string destination;  // the file a symbolic link names, when the path is a link
  std::string temporary;    // empty once moved into place or abandoned
};

enum class ReplacementStart { started, notAFile, cannotCreate };

// Makes the empty temporary file and opens it for writing. A destination that exists and is
// a folder or a device is refused (notAFile).
ReplacementStart beginReplacement(const char* path, FileReplacement& replacement, FileHandle& file);
// The temporary file takes the permissions the destination had (or a new file would get)
// and takes its place. With `replace` false a file that appeared at the destination
// meanwhile is kept and the move fails. On failure the temporary file is removed.
bool finishReplacement(FileReplacement& replacement, bool replace);
void abandonReplacement(FileReplacement& replacement);

// Why the last failed call of this layer failed, in the C library's words ("No such file or
// directory"), so that messages read the same on every system.
std::string lastSystemError();
