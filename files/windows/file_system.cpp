#include "files/file_system.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "files/paths.h"
#include "files/windows/wide_paths.h"

static HANDLE handleOf(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

OSErr openFile(const char* path, FileAccess access, FileHandle& file) {
  if (!path || !path[0]) return kErrCannotOpen;
  const bool writing = access == FileAccess::writing;
  // Open-always for writing (the writer cuts the file when done), existing files only for
  // reading; others may read meanwhile.
  const HANDLE handle = CreateFileW(widePath(path).c_str(), writing ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, writing ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return kErrCannotOpen;
  // A device or a pipe would block or never end.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return kErrCannotOpen;
  }
  file = reinterpret_cast<FileHandle>(handle);
  return noErr;
}

OSErr closeFile(FileHandle& file) {
  const bool closed = file == kNoFile || CloseHandle(handleOf(file));
  file = kNoFile;
  return closed ? noErr : writErr;
}

OSErr setEndOfFile(FileHandle file) { return SetEndOfFile(handleOf(file)) ? noErr : writErr; }

// Large transfers go in pieces, as the calls count in 32 bits.
constexpr size_t kLargestPiece = 1u << 30;

OSErr writeRaw(FileHandle file, const void* data, size_t count) {
  const char* bytes = static_cast<const char*>(data);
  while (count > 0) {
    DWORD written = 0;
    const DWORD piece = DWORD(count < kLargestPiece ? count : kLargestPiece);
    if (!WriteFile(handleOf(file), bytes, piece, &written, nullptr) || written == 0) return writErr;
    bytes += written;
    count -= written;
  }
  return noErr;
}

OSErr filePosition(FileHandle file, int64_t& position) {
  LARGE_INTEGER at{};
  if (!SetFilePointerEx(handleOf(file), LARGE_INTEGER{}, &at, FILE_CURRENT)) return writErr;
  position = at.QuadPart;
  return noErr;
}

OSErr seekFile(FileHandle file, int64_t position) {
  LARGE_INTEGER to{};
  to.QuadPart = position;
  return SetFilePointerEx(handleOf(file), to, nullptr, FILE_BEGIN) ? noErr : writErr;
}

OSErr readRaw(FileHandle file, void* data, size_t count) {
  char* bytes = static_cast<char*>(data);
  while (count > 0) {
    DWORD got = 0;
    const DWORD piece = DWORD(count < kLargestPiece ? count : kLargestPiece);
    if (!ReadFile(handleOf(file), bytes, piece, &got, nullptr) || got == 0) return readErr;
    bytes += got;
    count -= got;
  }
  return noErr;
}

FileSpec temporaryFolder() {
  wchar_t wide[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, wide);
  const std::string folder = length > 0 && length <= MAX_PATH ? utf8Path(wide) : std::string();
  // The path ends in a backslash already; one that does not, or does not fit, is not used.
  if (folder.empty() || folder.size() > size_t(kMaxPathChars) || !isPathSeparator(folder.back()))
    return makeFileSpec("C:\\Windows\\Temp\\");
  return makeFileSpec(folder.c_str());
}

// The C library's number for the system's reason, so that messages read as they do on
// other systems.
static int errnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_DIRECTORY: return ENOTDIR;
    default: return EIO;
  }
}

OSErr makeFolder(const char* path) {
  const std::wstring wide = widePath(path);
  if (CreateDirectoryW(wide.c_str(), nullptr)) return noErr;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return noErr;
  return kErrCannotOpen;
}

ReplacementStart beginReplacement(const char* path, FileReplacement& replacement, FileHandle& file) {
  replacement = {};
  replacement.destination = path;
  const std::wstring destination = widePath(path);
  const DWORD attributes = GetFileAttributesW(destination.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    errno = EISDIR;
    return ReplacementStart::notAFile;
  }
  const size_t slash = replacement.destination.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "" : replacement.destination.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? replacement.destination : replacement.destination.substr(slash + 1);
  // A name no one else has: CREATE_NEW fails on one that exists, and the next is tried.
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string temporary =
        folder + "." + name + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount() + attempt);
    const HANDLE handle = CreateFileW(widePath(temporary.c_str()).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      replacement.temporary = temporary;
      file = reinterpret_cast<FileHandle>(handle);
      return ReplacementStart::started;
    }
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  errno = errnoFor(GetLastError());
  return ReplacementStart::cannotCreate;
}

bool finishReplacement(FileReplacement& replacement, bool replace) {
  if (!MoveFileExW(widePath(replacement.temporary.c_str()).c_str(), widePath(replacement.destination.c_str()).c_str(),
                   replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
    const int why = errnoFor(GetLastError());
    abandonReplacement(replacement);
    errno = why;
    return false;
  }
  replacement.temporary.clear();
  return true;
}

void abandonReplacement(FileReplacement& replacement) {
  if (replacement.temporary.empty()) return;
  DeleteFileW(widePath(replacement.temporary.c_str()).c_str());
  replacement.temporary.clear();
}

std::string lastSystemError() { return std::strerror(errno); }
