// Recorded actions through the module as a host loads it: what the host plays at Start,
// what it records at Finish, and the terminology it reads beside the module.
#include <cstring>

#include "module_fixture.h"
#include "tests/files/scratch_folder.h"

namespace {

constexpr uint32_t k(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 | uint8_t(c[3]);
}

const DescriptorValue& valueOf(const Host& host, const char (&key)[5]) {
  static const DescriptorValue none{};
  if (!host.actions.recorded) return none;
  const DescriptorValue* v = findValue(*host.actions.recorded, k(key));
  return v ? *v : none;
}

struct Actions : testing::Test {
  ScratchFolder temporary{true};  // last-used settings and memory dots of these runs stay here
  ShownDialogs shown;
  Host host;
  void open(HostImage image = patternImage(40, 30, 8, 3, false)) { hostOpen(host, moduleEntry(), std::move(image)); }
  void TearDown() override { hostClose(host); }
};

TEST_F(Actions, ThePlayInformationDecidesTheDialog) {
  struct Case {
    int16_t playInfo;
    const char* shown;
  };
  open();
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  for (Case c : {Case{plugInDialogDontDisplay, ""}, Case{plugInDialogDisplay, "shown TARVE\n"},
                 Case{plugInDialogSilent, ""}}) {
    std::remove(shown.path.c_str());
    host.actions.play = Descriptor{integerValue(k("0004"), 70)};
    host.actions.playInfo = c.playInfo;
    // Parameters asks for the dialog; the play information overrides it.
    EXPECT_EQ(hostRunFilter(host, true), 0) << c.playInfo;
    EXPECT_EQ(shown.lines(), c.shown) << c.playInfo;
    EXPECT_EQ(valueOf(host, "0004").integer, 70) << c.playInfo;
    EXPECT_EQ(valueOf(host, "0005").integer, 60) << c.playInfo;
  }
}

TEST_F(Actions, ACloseErrorEndsStartBeforeTheDialog) {
  open();
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  host.actions.play = Descriptor{integerValue(k("0004"), 70)};
  host.actions.playInfo = plugInDialogDisplay;
  host.switches.closeReadError = paramErr;
  EXPECT_EQ(hostRunFilter(host, false), paramErr);
  EXPECT_EQ(shown.lines(), "");
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
  EXPECT_TRUE(hostRectsEmpty(host.record));
  EXPECT_EQ(host.actions.writesOpened, 0);

  // The host reports the keys the action lacks (-1715): only an older or shorter action.
  host.switches.closeReadError = noErr;
  EXPECT_EQ(hostRunFilter(host, false), 0);
  EXPECT_EQ(shown.lines(), "shown TARVE\n");
}

TEST_F(Actions, HostsThatSkipScriptingNeverHaveTheirDescriptorsRead) {
  // An interactive run leaves last-used settings with a ripple height of 71.
  open();
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  host.actions.play = Descriptor{integerValue(k("0004"), 71)};
  host.actions.playInfo = plugInDialogDisplay;
  ASSERT_EQ(hostRunFilter(host, true), 0);
  ASSERT_EQ(shown.lines(), "shown TARVE\n");

  for (OSType signature : {k("PSP8"), k("PSP9")}) {
    Host h;
    h.switches.hostSig = signature;
    hostOpen(h, moduleEntry(), patternImage(16, 12, 8, 3, false));
    h.actions.play = Descriptor{integerValue(k("0004"), 70)};
    h.actions.playInfo = plugInDialogSilent;
    EXPECT_EQ(hostRunFilter(h, false), 0) << std::hex << signature;
    EXPECT_EQ(h.actions.readsOpened, 0) << std::hex << signature;
    // The last-used settings are the run's, and the run is still handed back for recording.
    ASSERT_TRUE(h.actions.recorded) << std::hex << signature;
    EXPECT_EQ(findValue(*h.actions.recorded, k("0004"))->integer, 71) << std::hex << signature;
    hostClose(h);
    EXPECT_EQ(h.log.handlesAllocated, h.log.handlesDisposed) << std::hex << signature;
  }
  EXPECT_EQ(shown.lines(), "shown TARVE\n");
}

TEST_F(Actions, AHostWithoutDescriptorsKeepsTheDialogRequest) {
  host.switches.noDescriptors = true;
  open();
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  EXPECT_EQ(hostRunFilter(host, true), 0);
  EXPECT_EQ(hostRunFilter(host, false), 0);
  EXPECT_EQ(shown.lines(), "shown TARVE\n");
  EXPECT_EQ(host.actions.readsOpened + host.actions.writesOpened, 0);
  EXPECT_FALSE(host.actions.recorded);
}

// What one run records, a later run (here in a host that never ran the module) plays back
// to the same image: the same settings go back on record and the same pixels come out.
TEST_F(Actions, ARecordedRunReplaysToTheSamePixels) {
  const HostImage image = patternImage(48, 40, 8, 3, false);
  open(image);
  host.actions.play = Descriptor{
      integerValue(k("0001"), 200),  integerValue(k("0002"), 90),  integerValue(k("0004"), 80),
      integerValue(k("0005"), 45),   integerValue(k("0010"), 70),  integerValue(k("0016"), 1234),
      floatValue(k("0017"), 0.25),   floatValue(k("0018"), 0.4),   enumeratedValue(k("GLUE"), k("GLty"), k("GL10"))};
  host.actions.playInfo = plugInDialogSilent;
  ASSERT_EQ(hostRunFilter(host, false), 0);
  ASSERT_TRUE(host.actions.recorded);
  const Descriptor recorded = *host.actions.recorded;

  Host replay;
  hostOpen(replay, moduleEntry(), image);
  replay.actions.play = recorded;
  replay.actions.playInfo = plugInDialogDontDisplay;
  ASSERT_EQ(hostRunFilter(replay, false), 0);
  ASSERT_TRUE(replay.actions.recorded);
  ASSERT_EQ(replay.actions.recorded->size(), recorded.size());
  for (size_t i = 0; i < recorded.size(); ++i) {
    const DescriptorValue &a = recorded[i], &b = (*replay.actions.recorded)[i];
    EXPECT_TRUE(a.key == b.key && a.type == b.type && a.integer == b.integer && a.number == b.number &&
                a.enumValue == b.enumValue)
        << i;
  }
  EXPECT_EQ(valueOf(replay, "0001").integer, 200);
  EXPECT_EQ(valueOf(replay, "GLUE").enumValue, k("GL10"));
  EXPECT_TRUE(replay.destination.samples == host.destination.samples);
  EXPECT_FALSE(replay.destination.samples == image.samples) << "the runs rendered nothing";
  hostClose(replay);
  EXPECT_EQ(shown.lines(), "");
}

// ---- the terminology ----------------------------------------------------------------------

struct TerminologyReader {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  bool overrun = false;

  uint8_t byte() {
    if (at >= bytes.size()) {
      overrun = true;
      return 0;
    }
    return bytes[at++];
  }
  uint16_t word() { return static_cast<uint16_t>(byte() << 8 | byte()); }
  uint32_t code() { return uint32_t(word()) << 16 | word(); }
  std::string pascal() {
    std::string s(byte(), '\0');
    for (char& c : s) c = static_cast<char>(byte());
    return s;
  }
  void align() {
    if (at % 2) byte();
  }
};

TEST(Terminology, NamesTheEventItsParametersAndTheGlues) {
  std::string path = TARVE_MODULE_PATH;
  path = path.substr(0, path.find_last_of('/')) + "/Tarve.aete";
  std::ifstream f(path, std::ios::binary);
  ASSERT_TRUE(f) << path;
  TerminologyReader r{std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), {})};

  EXPECT_EQ(r.word(), 0x0100);  // version 1.0
  EXPECT_EQ(r.word(), 0);       // language
  EXPECT_EQ(r.word(), 0);       // script
  ASSERT_EQ(r.word(), 1);       // suites
  EXPECT_EQ(r.pascal(), "Cobalt Finch");
  EXPECT_EQ(r.pascal(), "Tarve");
  r.align();
  EXPECT_EQ(r.code(), k("Kzrw"));
  EXPECT_EQ(r.word(), 1);  // level
  EXPECT_EQ(r.word(), 1);  // version

  ASSERT_EQ(r.word(), 1);  // events
  EXPECT_EQ(r.pascal(), "Tarve");
  EXPECT_EQ(r.pascal(), "Draws lying water");
  r.align();
  EXPECT_EQ(r.code(), k("Kzrw"));
  EXPECT_EQ(r.code(), k("Kzrw"));
  EXPECT_EQ(r.code(), k("null"));
  EXPECT_EQ(r.pascal(), "");
  r.align();
  EXPECT_EQ(r.word(), 0);
  EXPECT_EQ(r.code(), k("#ImR"));
  EXPECT_EQ(r.pascal(), "");
  r.align();
  EXPECT_EQ(r.word(), 0xB000);

  struct Parameter {
    const char* name;
    uint32_t key, type;
  };
  const Parameter parameters[] = {
      {"water red", k("0001"), k("long")},     {"water green", k("0002"), k("long")},
      {"water blue", k("0003"), k("long")},    {"ripple height", k("0004"), k("long")},
      {"horizon", k("0005"), k("long")},       {"perspective", k("0006"), k("long")},
      {"ripple undulation", k("0007"), k("long")}, {"ripple size", k("0008"), k("long")},
      {"offset", k("0009"), k("long")},        {"waviness", k("0010"), k("long")},
      {"blur", k("0011"), k("long")},          {"complexity", k("0012"), k("long")},
      {"altitude", k("0013"), k("long")},      {"glue", k("GLUE"), k("GLty")},
      {"brilliance", k("0015"), k("long")},    {"random seed", k("0016"), k("long")},
      {"X center", k("0017"), k("doub")},      {"Y center", k("0018"), k("doub")},
  };
  ASSERT_EQ(r.word(), 18);
  for (const Parameter& p : parameters) {
    EXPECT_EQ(r.pascal(), p.name);
    r.align();
    EXPECT_EQ(r.code(), p.key) << p.name;
    EXPECT_EQ(r.code(), p.type) << p.name;
    EXPECT_EQ(r.pascal(), p.name);
    r.align();
    EXPECT_EQ(r.word(), p.key == k("GLUE") ? 0xA000 : 0x8000) << p.name;
  }

  EXPECT_EQ(r.word(), 0);  // classes
  EXPECT_EQ(r.word(), 0);  // comparison operators
  ASSERT_EQ(r.word(), 1);  // enumerations
  EXPECT_EQ(r.code(), k("GLty"));
  ASSERT_EQ(r.word(), 60);
  std::vector<std::pair<uint32_t, std::string>> entries;
  for (int i = 0; i < 60 && !r.overrun; ++i) {
    const std::string name = r.pascal();
    r.align();
    const uint32_t code = r.code();
    EXPECT_EQ(r.pascal(), name) << "the description of " << name;
    r.align();
    entries.emplace_back(code, name);
  }
  EXPECT_FALSE(r.overrun);
  EXPECT_EQ(r.at, r.bytes.size());
  ASSERT_EQ(entries.size(), 60u);
  EXPECT_EQ(entries[0], std::make_pair(k("GL01"), std::string("normal")));
  EXPECT_EQ(entries[1], std::make_pair(k("GL02"), std::string("procedural +")));
  EXPECT_EQ(entries[12], std::make_pair(k("GL13"), std::string("superlay")));
  EXPECT_EQ(entries[58], std::make_pair(k("GL59"), std::string("sinister")));
  EXPECT_EQ(entries[59], std::make_pair(k("GL62"), std::string("screendim")));
  for (size_t i = 0; i < 59; ++i) EXPECT_EQ(entries[i].first, k("GL00") + (i + 1) / 10 * 0x100 + (i + 1) % 10);
}

}  // namespace
