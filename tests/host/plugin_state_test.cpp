// The working state the module keeps between calls, seen from inside.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/host/host.h"
#include "app/host/procedures.h"
#include "tests/isolated_temp.h"
#include "tests/module_state.h"
#include "host/plugin_state.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

ParameterBlock& blockOf(Host& host) { return *reinterpret_cast<ParameterBlock*>(*host.record.parameters); }

struct State : testing::Test {
  Host host;
  void SetUp() override { hostOpen(host, PluginMain, makeHostImage(401, 30, 8, 3, false)); }
  void TearDown() override { hostClose(host); }
};

TEST_F(State, FirstRunIsMarkedOnlyForAFreshSlot) {
  ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  EXPECT_TRUE(stateOf(host).firstRun);
  ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  EXPECT_FALSE(stateOf(host).firstRun);
}

TEST_F(State, AFreshBlockOnGarbageMemoryHoldsExactlyTheDefaults) {
  Host garbage;
  garbage.switches.garbageMemory = true;
  hostOpen(garbage, PluginMain, makeHostImage(8, 8, 8, 3, false));
  ASSERT_EQ(hostCall(garbage, filterSelectorPrepare), 0);
  const ParameterBlock& block = blockOf(garbage);
  Settings defaults;
  std::memset(&defaults, 0, sizeof defaults);
  applyDefaultSettings(defaults);
  EXPECT_EQ(std::memcmp(&block.settings, &defaults, sizeof defaults), 0);
  EXPECT_EQ(block.showDialog, 0);
  EXPECT_EQ(block.previewScale, 1);
  EXPECT_EQ(block.renderMode, 0);
  EXPECT_FALSE(block.hostPreviewUsable);
  EXPECT_STREQ(block.settingsFileName, "Tarve settings.q8r");
  hostClose(garbage);
}

TEST_F(State, PrepareNotesTheRectangleAndCentresTheWater) {
  host.record.filterRect = {2, 3, 32, 404};
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  const PluginState& state = stateOf(host);
  EXPECT_EQ(state.savedFilterRect.left, 3);
  EXPECT_EQ(state.savedFilterRect.bottom, 32);
  EXPECT_EQ(blockOf(host).centrePixel.x, 200);
  EXPECT_EQ(blockOf(host).centrePixel.y, 15);
  // Row lengths of a 401 x 30 region: the row buffer and the host's buffer space follow.
  EXPECT_EQ(state.rowUnits, 3 * 401 + 2184);
  EXPECT_EQ(state.rowBufferBytes, 112 * state.rowUnits);
  EXPECT_EQ(host.record.bufferSpace, 112 * state.rowUnits + 1112);
}

TEST_F(State, ATooSmallParametersHandleIsMadeWhole) {
  hostMakeCurrent(host);
  host.record.parameters = host.handleProcs.newProc(4);
  ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  EXPECT_GE(host.handleProcs.getSizeProc(host.record.parameters), static_cast<int32_t>(sizeof(ParameterBlock)));
  EXPECT_EQ(blockOf(host).settings.horizon, 60);
}

}  // namespace

namespace {

TEST_F(State, OkKeepsTheSettingsForTheNextRunAndCancelDoesNot) {
  const std::string cached = isolatedTempFolder() + "Tarve cached settings C";
  std::filesystem::remove(cached);
  setenv("TARVE_HEADLESS_EVENTS", "command 2", 1);
  EXPECT_EQ(hostRunFilter(host, true), userCanceledErr);
  EXPECT_FALSE(std::filesystem::exists(cached));

  blockOf(host).settings.horizon = 77;
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  EXPECT_EQ(hostRunFilter(host, true), 0);
  unsetenv("TARVE_HEADLESS_EVENTS");
  EXPECT_TRUE(std::filesystem::exists(cached));

  // The next run starts from the settings of the last accepted one.
  blockOf(host).settings.horizon = 5;
  EXPECT_EQ(hostRunFilter(host, false), 0);
  EXPECT_EQ(blockOf(host).settings.horizon, 77);
  EXPECT_TRUE(std::filesystem::exists(isolatedTempFolder() + "Tarve memdot map 2"));
}

}  // namespace
