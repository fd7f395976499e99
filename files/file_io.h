// Opening files and reading and writing the big-endian values of the program's own
// formats. Every operation answers with a result code; nothing throws and nothing is
// shown to the user from here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/host_interface.h"

// Result codes of file work besides noErr, readErr (-19) and writErr (-20).
enum : int16_t {
  kErrCannotOpen = 99,  // also: a string argument was missing
  kErrNoMemory = -99,   // a buffer or raster for an export could not be had
  kErrCancelled = 199,  // the user cancelled a save dialog or an export
  kErrTooLarge = 98,    // a picture larger than the file format's lengths can describe
};

// A descriptor here, a HANDLE on Windows.
using FileHandle = intptr_t;
constexpr FileHandle kNoFile = -1;

enum class FileAccess { reading, writing };

// The operating system's part of these is in files/file_system.cpp.
// Writing: created when missing and kept when present, positioned at its first byte;
// writers cut it with setEndOfFile when done. Reading: only an existing file. Only
// regular files are opened (a pipe or a device would block or never end).
// On failure the result is 99 and `file` is left as it was.
OSErr openFile(const char* path, FileAccess access, FileHandle& file);
// writErr when data still waiting to be written could not be.
OSErr closeFile(FileHandle& file);

// Cuts the file at the current position, so that a shorter file replaces a longer one.
OSErr setEndOfFile(FileHandle file);

OSErr writeInt32(FileHandle file, int32_t value);
OSErr writeInt16(FileHandle file, int16_t value);
OSErr writeByte(FileHandle file, uint8_t value);
OSErr writeZeros(FileHandle file, int16_t count);  // nothing for count <= 0
OSErr writeText(FileHandle file, const char* text);  // without the terminator; 99 when missing
OSErr writeRaw(FileHandle file, const void* data, size_t count);

// The position from the file's start, and a move to one (past the end too: writing there
// leaves the gap to be filled later).
OSErr filePosition(FileHandle file, int64_t& position);
OSErr seekFile(FileHandle file, int64_t position);

// A failed read leaves the destination unchanged.
OSErr readInt32(FileHandle file, int32_t& value);
OSErr readByte(FileHandle file, uint8_t& value);
int32_t readByteOrEnd(FileHandle file);  // the byte, or -1 when nothing could be read
OSErr readRaw(FileHandle file, void* data, size_t count);
// Reads and discards; stops at the first failed read so that a huge count ends at the
// file's end. Nothing for count <= 0.
OSErr skipBytes(FileHandle file, int32_t count);
