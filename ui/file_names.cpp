#include "ui/dialog_record.h"

std::string withDefaultExtension(const std::string& path, const char* extension) {
  if (!extension || !*extension) return path;
  const size_t name = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (name == std::string::npos || dot > name)) return path;
  return path + "." + extension;
}
