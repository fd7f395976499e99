#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/host/module_loader.h"

bool loadModule(const std::string& path, LoadedModule& module, std::string& error) {
  module = {};
  module.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module.library) {
    const char* why = dlerror();
    error = "cannot load the filter module " + path + ": " + (why ? why : "unknown error");
    return false;
  }
  module.entry = reinterpret_cast<PluginMainProc>(dlsym(module.library, "PluginMain"));
  if (!module.entry) {
    error = "the filter module " + path + " has no entry point PluginMain";
    dlclose(module.library);
    module.library = nullptr;
    return false;
  }
  return true;
}

void unloadModule(LoadedModule& module) {
  if (module.library) dlclose(module.library);
  module = {};
}

std::string programFolder() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "./";
  const std::string path(self, size_t(length));
  return path.substr(0, path.find_last_of('/') + 1);
}

static std::string propertyListPath(const std::string& modulePath) {
  const size_t slash = modulePath.find_last_of('/');
  const size_t dot = modulePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".pipl";
}

bool openModule(const std::string& path, FilterModule& module, std::string& error) {
  module = {};
  module.path = path;
  const std::string listPath = propertyListPath(path);
  std::ifstream list(listPath, std::ios::binary);
  if (!list) {
    error = "cannot read the property list " + listPath + " of the filter module: " + std::strerror(errno);
    return false;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
  std::string why;
  if (!readPropertyList(bytes, module.properties, why)) {
    error = "cannot read the property list " + listPath + ": " + why;
    return false;
  }
  return loadModule(path, module.loaded, error);
}

void closeModule(FilterModule& module) { unloadModule(module.loaded); }
