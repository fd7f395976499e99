// Loads the built module once and opens hosts over test images.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/host/host.h"
#include "tests/isolated_temp.h"
#include "app/host/module_loader.h"

inline PluginMainProc moduleEntry() {
  static LoadedModule module = [] {
    LoadedModule m;
    std::string error;
    if (!loadModule(TARVE_MODULE_PATH, m, error)) ADD_FAILURE() << error;
    return m;
  }();
  return module.entry;
}

// An image whose samples vary from pixel to pixel, so that misplaced data shows.
inline HostImage patternImage(int32_t width, int32_t height, int32_t depth, int32_t colourPlanes,
                              bool transparency) {
  HostImage image = makeHostImage(width, height, depth, colourPlanes, transparency);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t p = 0; p < image.planes(); ++p) {
        const int32_t v = (x * 7 + y * 13 + p * 61) % 251;
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = static_cast<uint8_t>(v);
        if (depth == 16) *reinterpret_cast<uint16_t*>(s) = static_cast<uint16_t>(v * 128);
        if (depth == 32) *reinterpret_cast<float*>(s) = v / 255.0f;
      }
  return image;
}

// The headless window layer writes one line per dialog shown into this file.
struct ShownDialogs {
  std::string path;
  ShownDialogs() : path(testing::TempDir() + "tarve_shown.log") {
    std::remove(path.c_str());
    setenv("TARVE_HEADLESS_LOG", path.c_str(), 1);
    unsetenv("TARVE_HEADLESS_EVENTS");
  }
  ~ShownDialogs() {
    unsetenv("TARVE_HEADLESS_LOG");
    unsetenv("TARVE_HEADLESS_EVENTS");
    std::remove(path.c_str());
  }
  std::string lines() const {
    std::ifstream f(path);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
};
