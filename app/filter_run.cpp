#include "app/filter_run.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/interrupt.h"
#include "app/selection.h"

namespace {

std::string programFolder() {
  char self[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "./";
  const std::string path(self, size_t(length));
  return path.substr(0, path.find_last_of('/') + 1);
}

std::string propertyListPath(const std::string& modulePath) {
  const size_t slash = modulePath.find_last_of('/');
  const size_t dot = modulePath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? modulePath.substr(0, dot) : modulePath) + ".pipl";
}

std::string describeResult(int16_t result) {
  switch (result) {
    case memFullErr: return "the filter ran out of memory";
    case userCanceledErr: return "the filter was cancelled";
    case 1: return "the filter refused to run on this image";
    case 999: return "the filter could not get memory for the source image";
    default: return "the filter failed with result " + std::to_string(result);
  }
}

}  // namespace

std::string modulePath(const std::string& option) {
  std::string path = option;
  if (const char* fromEnvironment = std::getenv("TARVE_MODULE"); path.empty() && fromEnvironment)
    path = fromEnvironment;
  if (path.empty()) return programFolder() + "Tarve.8bf";
  // A name without a folder would send the loader searching the library path.
  return path.find('/') == std::string::npos ? "./" + path : path;
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

bool runFilter(const FilterModule& module, FilterRun& run, std::string& error) {
  Host host;
  host.interrupted = &gInterrupted;
  host.onProgress = progressBarUpdate;
  host.progressContext = run.bar;
  host.iccProfile = run.iccProfile;
  hostOpen(host, module.loaded.entry, std::move(run.image), std::move(run.selection));
  const int16_t mode = host.record.imageMode;
  if (!modeEnabled(module.properties, mode)) {
    std::string allowed;
    for (const std::string& name : module.properties.enabledModes) allowed += (allowed.empty() ? "" : ", ") + name;
    error = std::string("the filter does not take images of this kind (") + imageModeName(mode) +
            "); its property list allows " + allowed;
    run.image = std::move(host.source);
    hostClose(host);
    return false;
  }
  if (run.play) {
    host.actions.play = run.play;
    host.actions.playInfo = plugInDialogSilent;
  }
  run.result = hostRunFilter(host, false);
  run.interrupted = gInterrupted != 0;
  run.recorded = host.actions.recorded;
  run.image = std::move(host.destination);
  if (!host.selection.empty()) applySelection(host.source, host.selection, run.image);
  hostClose(host);
  if (run.interrupted) {
    error = "interrupted: nothing was written";
    return false;
  }
  if (run.result != noErr) {
    error = describeResult(run.result);
    return false;
  }
  return true;
}
