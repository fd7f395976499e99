// Scripting parameters seen from inside the module: what a played descriptor does to the
// settings, and what the module hands back for recording.
#include "host/scripting.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/host/host.h"
#include "app/host/procedures.h"
#include "tests/files/scratch_folder.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

constexpr DescriptorKeyID k(const char (&c)[5]) { return fourCharCode(c); }

ParameterBlock& blockOf(Host& host) { return *reinterpret_cast<ParameterBlock*>(*host.record.parameters); }

Settings defaults() {
  Settings s;
  std::memset(&s, 0, sizeof s);
  applyDefaultSettings(s);
  return s;
}

struct Scripting : testing::Test {
  ScratchFolder temporary{true};  // the module's state files stay out of the real folder
  Host host;
  void SetUp() override { hostOpen(host, PluginMain, makeHostImage(24, 16, 8, 3, false)); }
  void TearDown() override { hostClose(host); }

  // A whole run with `descriptor` played silently; the block then holds what was read.
  int16_t play(const Descriptor& descriptor) {
    host.actions.play = descriptor;
    host.actions.playInfo = plugInDialogSilent;
    return hostRunFilter(host, false);
  }
  // Settings that no default shares, so that a reset shows.
  void disturbSettings() {
    ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
    Settings& s = blockOf(host).settings;
    s.horizon = s.perspective = s.brilliance = 3;
    s.glue = 17;
    s.centreX = 0.9f;
    s.storedInt16 = 7;
  }
};

TEST_F(Scripting, AKeyAloneLeavesEveryOtherSettingAtItsDefault) {
  disturbSettings();
  ASSERT_EQ(play({integerValue(k("0004"), 70)}), 0);
  Settings expected = defaults();
  expected.rippleHeight = 70;
  Settings& got = blockOf(host).settings;
  expected.colourG = got.colourG;  // the defaults leave it alone
  EXPECT_EQ(std::memcmp(&got, &expected, sizeof expected), 0);
  EXPECT_EQ(got.horizon, 60);
  EXPECT_EQ(got.glue, 1);
}

TEST_F(Scripting, GlueIsReadFromItsCodeAndAnythingElseGivesNone) {
  struct Case {
    DescriptorEnumID code;
    int32_t glue;
  };
  for (Case c : {Case{k("GL62"), 62}, Case{k("GL01"), 1}, Case{k("GL60"), 60}, Case{k("GL63"), 0},
                 Case{k("<NO>"), 0}, Case{k("ABCD"), 0}}) {
    ASSERT_EQ(play({enumeratedValue(kGlueKey, kGlueEnumType, c.code)}), 0);
    EXPECT_EQ(blockOf(host).settings.glue, c.glue) << std::hex << c.code;
  }
}

TEST_F(Scripting, ValuesAreStoredAsTheKeysSayAndWrittenBack) {
  ASSERT_EQ(play({integerValue(k("0001"), 255), integerValue(k("0002"), 0), integerValue(k("0003"), 128),
                          integerValue(k("0016"), -5), floatValue(k("0017"), 0.3), floatValue(k("0018"), -1.25)}),
            0);
  const Settings& s = blockOf(host).settings;
  EXPECT_EQ(s.waterColour.red, 0xFF00);
  EXPECT_EQ(s.waterColour.green, 0);
  EXPECT_EQ(s.waterColour.blue, 0x8000);
  EXPECT_EQ(s.randomSeed, -5);
  EXPECT_EQ(s.centreX, 0.3f);
  EXPECT_EQ(s.centreY, -1.25f);

  ASSERT_TRUE(host.actions.recorded);
  const Descriptor& r = *host.actions.recorded;
  EXPECT_EQ(findValue(r, k("0001"))->integer, 255);
  EXPECT_EQ(findValue(r, k("0003"))->integer, 128);
  EXPECT_EQ(findValue(r, k("0016"))->integer, -5);
  EXPECT_EQ(findValue(r, k("0017"))->number, static_cast<double>(0.3f));
}

TEST_F(Scripting, UnknownKeysAndFailingGetsDoNotStopTheRest) {
  host.switches.failGetOf = k("0005");
  ASSERT_EQ(play({integerValue(k("0005"), 10), integerValue(k("zzzz"), 5), integerValue(k("0014"), 5),
                          floatValue(k("0006"), 20.0), integerValue(k("0007"), 20),
                          enumeratedValue(kGlueKey, kGlueEnumType, k("GL07"))}),
            0);
  const Settings& s = blockOf(host).settings;
  EXPECT_EQ(s.horizon, 60);      // its get failed: the default stays
  EXPECT_EQ(s.perspective, 57);  // held as the wrong type: the host refused it
  EXPECT_EQ(s.undulation, 20);
  EXPECT_EQ(s.glue, 7);
}

TEST_F(Scripting, TheEighteenKeysAreWrittenInOrderWithTheirTypes) {
  disturbSettings();
  Settings& s = blockOf(host).settings;
  s.waterColour = {0x12FF, 0xAB00, 0x0001};
  s.glue = 0;
  s.centreY = 1.5f;
  const Settings before = s;
  ASSERT_EQ(hostRunFilter(host, false), 0);
  EXPECT_EQ(host.actions.writesOpened, 1);
  EXPECT_EQ(host.actions.recordInfo, plugInDialogOptional);
  ASSERT_TRUE(host.actions.recorded);
  const Descriptor& r = *host.actions.recorded;

  const DescriptorKeyID keys[] = {k("0001"), k("0002"), k("0003"), k("0004"), k("0005"), k("0006"),
                                  k("0007"), k("0008"), k("0009"), k("0010"), k("0011"), k("0012"),
                                  k("0013"), k("GLUE"), k("0015"), k("0016"), k("0017"), k("0018")};
  ASSERT_EQ(r.size(), 18u);
  for (size_t i = 0; i < r.size(); ++i) {
    EXPECT_EQ(r[i].key, keys[i]) << i;
    const DescriptorTypeID type = i == 13 ? typeEnumerated : i >= 16 ? typeFloat : typeInteger;
    EXPECT_EQ(r[i].type, type) << i;
  }
  EXPECT_EQ(r[0].integer, 0x12);
  EXPECT_EQ(r[1].integer, 0xAB);
  EXPECT_EQ(r[2].integer, 0);
  EXPECT_EQ(r[4].integer, 3);  // horizon
  EXPECT_EQ(r[13].enumType, kGlueEnumType);
  EXPECT_EQ(r[13].enumValue, k("<NO>"));
  EXPECT_EQ(r[14].integer, 3);  // brilliance
  EXPECT_EQ(r[15].integer, before.randomSeed);
  EXPECT_EQ(r[16].number, 0.9f);
  EXPECT_EQ(r[17].number, 1.5);
  // Writing records; it changes nothing of the run.
  EXPECT_EQ(std::memcmp(&blockOf(host).settings, &before, sizeof before), 0);
}

TEST_F(Scripting, ReadingAsksForTheKeysInTheOrderTheyAreWritten) {
  ASSERT_EQ(play({}), 0);
  std::vector<DescriptorKeyID> written;
  for (const DescriptorValue& v : *host.actions.recorded) written.push_back(v.key);
  EXPECT_EQ(host.actions.keysAsked, written);
}

TEST_F(Scripting, LookingForScriptedParametersLeavesThemToBeRead) {
  host.actions.play = Descriptor{integerValue(k("0004"), 70)};
  host.actions.playInfo = plugInDialogDisplay;
  hostActionsBefore(host, filterSelectorStart);  // the host places the descriptor for Start
  EXPECT_TRUE(scriptedParametersPresent(host.record));
  host.record.hostSig = fourCharCode("PSP8");
  EXPECT_FALSE(scriptedParametersPresent(host.record));
  host.record.hostSig = kPhotoshopSignature;

  ParameterBlock block{};
  applyDefaultSettings(block.settings);
  block.settings.rippleHeight = 5;
  int16_t result = 0;
  PluginState state{};
  state.result = &result;
  state.filterRecord = &host.record;
  state.parameters = &block;
  readScriptingParameters(state);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(block.settings.rippleHeight, 70);
  EXPECT_EQ(block.showDialog, 1);
  // Read once, the descriptor is gone: the module disposed of it with the host's procedure.
  EXPECT_EQ(host.actions.parameters.descriptor, nullptr);
  EXPECT_EQ(host.log.handlesDisposed, host.log.handlesAllocated);
  EXPECT_FALSE(scriptedParametersPresent(host.record));
}

// A host whose tables fall short in any way is treated as one without descriptors: nothing
// is read and the dialog request stands.
TEST_F(Scripting, IncompleteDescriptorTablesAreNotUsed) {
  const std::vector<void (*)(HostActions&)> faults = {
      [](HostActions& a) { a.parameters.descriptorParametersVersion = 1; },
      [](HostActions& a) { a.parameters.readDescriptorProcs = nullptr; },
      [](HostActions& a) { a.parameters.writeDescriptorProcs = nullptr; },
      [](HostActions& a) { a.readProcs.readDescriptorProcsVersion = 1; },
      [](HostActions& a) { a.writeProcs.writeDescriptorProcsVersion = 1; },
      [](HostActions& a) { a.readProcs.numReadDescriptorProcs = 17; },
      [](HostActions& a) { a.writeProcs.numWriteDescriptorProcs = 15; },
      [](HostActions& a) { a.readProcs.openReadDescriptorProc = nullptr; },
      [](HostActions& a) { a.readProcs.getPinnedUnitFloatProc = nullptr; },
      [](HostActions& a) { a.writeProcs.putScopedObjectProc = nullptr; },
  };
  EXPECT_TRUE(descriptorsAvailable(host.record));
  for (size_t i = 0; i < faults.size(); ++i) {
    Host h;
    hostOpen(h, PluginMain, makeHostImage(8, 8, 8, 3, false));
    faults[i](h.actions);
    EXPECT_FALSE(descriptorsAvailable(h.record)) << i;
    h.actions.play = Descriptor{integerValue(k("0004"), 70)};
    ASSERT_EQ(hostRunFilter(h, false), 0) << i;
    EXPECT_EQ(blockOf(h).settings.rippleHeight, 33) << i;
    EXPECT_EQ(h.actions.readsOpened + h.actions.writesOpened, 0) << i;
    hostClose(h);
  }
}

}  // namespace
