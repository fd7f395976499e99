// libjpeg ends the process on a fatal error unless told otherwise. Every compressor and
// decompressor of the module gets this error manager instead: messages go nowhere and a
// fatal error jumps back to the setjmp of the call that started the work, which then
// destroys the object and returns a result code.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct JpegErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

jpeg_error_mgr* installErrorTrap(JpegErrorTrap& trap);

// Raises a fatal error through the object's error manager (does not return).
[[noreturn]] void failJpeg(j_common_ptr object, int messageCode);
