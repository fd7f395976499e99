// The main dialog run by the in-process host on the headless backend, each test starting
// without last-used settings, memory dots or their map in the temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "app/host/host.h"
#include "files/memory_dot_store.h"
#include "host/plugin_state.h"
#include "tests/isolated_temp.h"
#include "ui/headless/headless.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

inline HostImage scene(int32_t w, int32_t h, int32_t depth = 8) {
  HostImage image = makeHostImage(w, h, depth, 3, false);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      for (int32_t p = 0; p < 3; ++p) {
        const float v = float((x * 5 + y * 3 + p * 70) % 256);
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = uint8_t(v);
        if (depth == 32) *reinterpret_cast<float*>(s) = v / 255.0f;
      }
  return image;
}

// What the test sees while the dialog runs: the host calls back at every picture shown.
inline std::function<void()> whileShown;
inline void onDisplay(void*, const HostDisplay&) {
  if (whileShown) whileShown();
}

struct Dialog : testing::Test {
  Host host;
  void SetUp() override {
    std::remove(cachedSettingsPath().path);
    std::remove(memoryDotMapPath().path);
    for (int32_t slot = 0; slot <= kScratchDotSlot; ++slot) std::remove(memoryDotPath(slot).path);
    headlessClear();
    whileShown = nullptr;
  }
  void TearDown() override {
    whileShown = nullptr;
    hostClose(host);
  }
  void open(HostImage image, HostSwitches switches = {}) {
    host.switches = switches;
    host.onDisplay = onDisplay;
    hostOpen(host, PluginMain, std::move(image));
    ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  }
  ParameterBlock& block() { return *reinterpret_cast<ParameterBlock*>(*host.record.parameters); }
  PluginState& state() { return *reinterpret_cast<PluginState*>(*reinterpret_cast<Handle>(host.data)); }
  UiDialog* window() { return state().dialogWindow; }
  int16_t run(const std::string& actions) {
    headlessQueue(actions);
    return hostRunFilter(host, true);
  }
};

inline Settings defaults() {
  Settings s{};
  applyDefaultSettings(s);
  return s;
}

