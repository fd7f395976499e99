#include <windows.h>

#include "app/host/module_loader.h"
#include "ui/win32/wide_text.h"

namespace {

// The system's own words for why a module did not load.
std::string systemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length ? utf8Text(text) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
    message.pop_back();
  return message;
}

// The property list hosts on Windows read: resource 16000 of type "PiPL".
constexpr int kPropertyListResource = 16000;

}  // namespace

bool loadModule(const std::string& path, LoadedModule& module, std::string& error) {
  module = {};
  HMODULE library = LoadLibraryW(wideText(path).c_str());
  if (!library) {
    error = "cannot load the filter module " + path + ": " + systemMessage(GetLastError());
    return false;
  }
  module.library = library;
  module.entry = reinterpret_cast<PluginMainProc>(reinterpret_cast<void*>(GetProcAddress(library, "PluginMain")));
  if (!module.entry) {
    error = "the filter module " + path + " has no entry point PluginMain";
    FreeLibrary(library);
    module.library = nullptr;
    return false;
  }
  return true;
}

void unloadModule(LoadedModule& module) {
  if (module.library) FreeLibrary(static_cast<HMODULE>(module.library));
  module = {};
}

std::string programFolder() {
  wchar_t self[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return ".\\";
  const std::string path = utf8Text(self);
  return path.substr(0, path.find_last_of("\\/") + 1);
}

bool openModule(const std::string& path, FilterModule& module, std::string& error) {
  module = {};
  module.path = path;
  // The list is read from the module's resources without running any of its code.
  HMODULE data = LoadLibraryExW(wideText(path).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!data) {
    error = "cannot read the property list of the filter module " + path + ": " + systemMessage(GetLastError());
    return false;
  }
  const HRSRC found = FindResourceW(data, MAKEINTRESOURCEW(kPropertyListResource), L"PiPL");
  const HGLOBAL loaded = found ? LoadResource(data, found) : nullptr;
  const auto* start = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  const std::vector<uint8_t> bytes = start ? std::vector<uint8_t>(start, start + SizeofResource(data, found))
                                           : std::vector<uint8_t>();
  FreeLibrary(data);
  if (!start) {
    error = "cannot read the property list of the filter module " + path + ": it has no PiPL resource";
    return false;
  }
  std::string why;
  if (!readPropertyList(bytes, module.properties, why)) {
    error = "cannot read the property list of the filter module " + path + ": " + why;
    return false;
  }
  return loadModule(path, module.loaded, error);
}

void closeModule(FilterModule& module) { unloadModule(module.loaded); }
