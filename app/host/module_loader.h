// Loads a filter module from its file and finds its entry point, and reads the property
// list installed beside it.
#pragma once

#include <string>
#include <vector>

#include "sdk/host_interface.h"

struct LoadedModule {
  void* library = nullptr;
  PluginMainProc entry = nullptr;
};

// The operating system's side (app/host/module_library.cpp, on Windows
// app/host/windows/module_library.cpp): loading, and where the property list is kept.
// Returns false with a message when the module cannot be loaded or has no PluginMain.
bool loadModule(const std::string& path, LoadedModule& module, std::string& error);
void unloadModule(LoadedModule& module);

// What the property list says about the module.
struct ModuleProperties {
  uint32_t kind = 0;
  std::string name, category, entryPoint, enableRule;
  uint32_t version = 0;
  std::vector<std::string> enabledModes;   // the names the enable rule accepts
  std::vector<std::string> excludedModes;  // the names it refuses explicitly
  int filterCases = 0;
};

// Reads the binary property list; returns false with a message when it is malformed.
bool readPropertyList(const std::vector<uint8_t>& bytes, ModuleProperties& properties, std::string& error);
// The name the enable rule uses for an image mode ("RGBMode", "Gray16Mode", ...).
const char* imageModeName(int16_t imageMode);
bool modeEnabled(const ModuleProperties& properties, int16_t imageMode);
// Empty when the property list enables the image mode; otherwise the message that says so.
std::string modeRefusal(const ModuleProperties& properties, int16_t imageMode);

// A module together with its property list: the file of the same name ending in .pipl, or
// on Windows the module's PiPL resource, as hosts there read it.
struct FilterModule {
  std::string path;
  LoadedModule loaded;
  ModuleProperties properties;
};

bool openModule(const std::string& path, FilterModule& module, std::string& error);
void closeModule(FilterModule& module);

// The folder the running program is in, with a separator at its end.
std::string programFolder();
// The module a host program runs: `option` when given, else $TARVE_MODULE, else
// Tarve.8bf beside the running program or, installed, in ../lib/tarve/ beside its folder.
std::string modulePath(const std::string& option);

// What a module's result code means to the person who ran the filter.
std::string describeResult(int16_t result);
