#include "files/jpeg_error_trap.h"

static void jumpBack(j_common_ptr object) {
  std::longjmp(reinterpret_cast<JpegErrorTrap*>(object->err)->jump, 1);
}

static void stayQuiet(j_common_ptr) {}

jpeg_error_mgr* installErrorTrap(JpegErrorTrap& trap) {
  jpeg_error_mgr* manager = jpeg_std_error(&trap.manager);
  manager->error_exit = jumpBack;
  manager->output_message = stayQuiet;
  return manager;
}

void failJpeg(j_common_ptr object, int messageCode) {
  object->err->msg_code = messageCode;
  object->err->error_exit(object);
  __builtin_unreachable();  // our error_exit never returns
}
