// File locations. A path holds at most 260 characters, the limit the module has always
// lived with; anything longer becomes an empty path so that the open that follows fails
// cleanly instead of touching some other file. Folders end in a separator. Paths are
// written with the native separator, and a backslash counts as a separator wherever a
// path is taken apart, so that names typed the Windows way still work.
#pragma once

#include <cstdint>

#include "sdk/host_interface.h"

constexpr int kMaxPathChars = 260;

struct FileSpec {
  char path[kMaxPathChars + 1];
};

// The separators this system's own paths hold; the first is the one it writes. (The file
// layer takes a path apart at either kind wherever it runs: isPathSeparator.)
#ifdef _WIN32
constexpr const char* kNativeSeparators = "\\/";
#else
constexpr const char* kNativeSeparators = "/";
#endif
constexpr char kPathSeparator = kNativeSeparators[0];

bool isPathSeparator(char c);

// The text as a path; empty when it is missing or longer than the limit.
FileSpec makeFileSpec(const char* text);

// The system's temporary folder with a separator at its end: $TMPDIR, or "/tmp/" when it is
// unset, empty or too long; on Windows the temporary path, or "C:\\Windows\\Temp\\" when the
// system gives none that fits.
FileSpec temporaryFolder();

// The temporary folder with the name appended directly.
FileSpec temporaryFile(const char* name);

// folder + separator (unless the folder is empty or ends in one) + name; empty when
// folder length + name length + 1 exceeds the limit.
FileSpec joinPath(const char* folder, const char* name);

// Up to and including the last separator; a path without one is returned whole.
FileSpec folderPart(const char* path);

// The folder part of `path` into a buffer of `capacity` bytes, for a folder a dialog
// remembers; empty when it does not fit, since a cut folder would name another one.
void copyFolderPart(const char* path, char* folder, size_t capacity);

// After the last separator; a path without one is returned whole.
FileSpec fileNamePart(const char* path);

// Cuts the text at its last "." (nothing happens when there is none).
void stripExtension(char* text);

// From the last "." to the end, dot included; "" when there is no "." or the text has at
// most one character. Points into the text.
const char* extensionOf(const char* text);

// Creates folder + name + separator (an existing folder is fine) and gives its path.
// 99 when the path is too long or the folder cannot be made.
OSErr makeSubfolder(const char* folder, const char* name, FileSpec& subfolder);
