// The module as a host meets it: loaded from its file, driven through PluginMain.
#include <cstdio>
#include <cstring>

#include "module_fixture.h"

namespace {

struct ModuleRun : testing::Test {
  Host host;
  ShownDialogs shown;
  void open(HostImage image = patternImage(40, 30, 8, 3, false)) {
    hostOpen(host, moduleEntry(), std::move(image));
  }
  void TearDown() override { hostClose(host); }
};

bool rectEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

TEST(Module, ExportsPluginMainAlone) {
  const std::string command = std::string("nm -D --defined-only ") + TARVE_MODULE_PATH;
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> symbols;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    std::string s(line);
    s = s.substr(s.find_last_of(' ') + 1);
    s.erase(s.find_last_not_of("\n") + 1);
    symbols.push_back(s);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_EQ(symbols, std::vector<std::string>{"PluginMain"});
}

TEST_F(ModuleRun, AboutCreatesNoStateAndLeavesTheResult) {
  open();
  AboutRecord about{};
  PlatformData platform{};
  about.platformData = &platform;
  intptr_t data = 0;
  int16_t result = 77;
  moduleEntry()(filterSelectorAbout, &about, &data, &result);
  EXPECT_EQ(data, 0);
  EXPECT_EQ(result, 77);
  EXPECT_EQ(shown.lines(), "shown ABOUTBOX\n");
}

TEST_F(ModuleRun, UnknownSelectorLeavesTheSettings) {
  open();
  ASSERT_EQ(hostCall(host, filterSelectorParameters), 0);
  const int32_t size = host.handleProcs.getSizeProc(host.record.parameters);
  std::vector<char> before(*host.record.parameters, *host.record.parameters + size);
  EXPECT_EQ(hostCall(host, 6), filterBadParameters);
  EXPECT_EQ(std::memcmp(before.data(), *host.record.parameters, size), 0);
}

TEST_F(ModuleRun, HostWithoutAdvanceStateIsRefusedWithAMessage) {
  host.switches.noAdvanceState = true;
  open();
  host.record.inRect = host.record.outRect = host.record.maskRect = {0, 0, 5, 5};
  ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
  EXPECT_EQ(hostCall(host, filterSelectorStart), 1);
  EXPECT_EQ(shown.lines(), "shown REFUSAL2\n");
  EXPECT_TRUE(rectEmpty(host.record.inRect) && rectEmpty(host.record.outRect) && rectEmpty(host.record.maskRect));
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
}

TEST_F(ModuleRun, MultichannelIsRefusedSilently) {
  host.switches.imageMode = plugInModeMultichannel;
  open();
  EXPECT_EQ(hostRunFilter(host, false), 1);
  EXPECT_EQ(shown.lines(), "");
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
}

TEST_F(ModuleRun, StateOrParametersThatCannotBeAllocatedGiveOutOfMemory) {
  for (int32_t handles : {0, 1}) {
    Host h;
    h.switches.failHandleAfter = handles;
    hostOpen(h, moduleEntry(), patternImage(8, 8, 8, 3, false));
    EXPECT_EQ(hostCall(h, filterSelectorParameters), memFullErr) << handles << " handles";
    const Handle parameters = h.record.parameters;  // the record is packed: no reference to its members
    EXPECT_EQ(parameters, nullptr);
    hostClose(h);
  }
}

// Fallbacks: a host without buffer or handle procedures, or whose new memory is garbage.
TEST_F(ModuleRun, RunsCompleteWithoutHostMemoryServices) {
  struct Case {
    bool noBuffers, noHandles, garbage;
  };
  for (Case c : {Case{true, false, false}, Case{false, true, false}, Case{true, true, false},
                 Case{false, false, true}}) {
    Host h;
    h.switches.noBufferProcs = c.noBuffers;
    h.switches.noHandleProcs = c.noHandles;
    h.switches.garbageMemory = c.garbage;
    hostOpen(h, moduleEntry(), patternImage(16, 12, 8, 3, false));
    EXPECT_EQ(hostRunFilter(h, false), 0) << c.noBuffers << c.noHandles << c.garbage;
    // A fresh block shows no dialog without a Parameters call, garbage or not.
    EXPECT_EQ(shown.lines(), "");
    EXPECT_EQ(h.log.buffersAllocated, h.log.buffersFreed);
    hostClose(h);
  }
}

TEST_F(ModuleRun, DialogOkRendersAndCancelEndsTheRun) {
  open();
  setenv("TARVE_HEADLESS_EVENTS", "command 2", 1);
  EXPECT_EQ(hostRunFilter(host, true), userCanceledErr);
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  EXPECT_EQ(hostRunFilter(host, true), 0);
  EXPECT_EQ(shown.lines(), "shown TARVE\nshown TARVE\n");
}

TEST_F(ModuleRun, StartShowsTheDialogOnlyWhileAskedTo) {
  open();
  setenv("TARVE_HEADLESS_EVENTS", "click 3", 1);
  // A repeat without Parameters after a run that showed the dialog shows none.
  EXPECT_EQ(hostRunFilter(host, true), 0);
  EXPECT_EQ(hostRunFilter(host, false), 0);
  EXPECT_EQ(shown.lines(), "shown TARVE\n");
  // Parameters without a Start leaves the request standing for the next Start.
  EXPECT_EQ(hostCall(host, filterSelectorParameters), 0);
  EXPECT_EQ(hostRunFilter(host, false), 0);
  EXPECT_EQ(shown.lines(), "shown TARVE\nshown TARVE\n");
}

TEST(PropertyList, DescribesTheModuleToAHost) {
  std::string path = TARVE_MODULE_PATH;
  path = path.substr(0, path.find_last_of('/')) + "/Tarve.pipl";
  std::ifstream f(path, std::ios::binary);
  ASSERT_TRUE(f) << path;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), {});
  ModuleProperties p;
  std::string error;
  ASSERT_TRUE(readPropertyList(bytes, p, error)) << error;
  EXPECT_EQ(p.kind, 0x3842464Du);  // '8BFM'
  EXPECT_EQ(p.name, "Tarve...");
  EXPECT_EQ(p.category, "Cobalt Finch");
  EXPECT_EQ(p.entryPoint, "PluginMain");
  EXPECT_EQ(p.version, 0x00040000u);
  EXPECT_EQ(p.filterCases, 7);
  for (int16_t mode : {plugInModeRGBColor, plugInModeGrayScale, plugInModeRGB48, plugInModeGray16,
                       plugInModeGray32, plugInModeRGB96})
    EXPECT_TRUE(modeEnabled(p, mode)) << imageModeName(mode);
  for (int16_t mode : {plugInModeMultichannel, plugInModeCMYKColor, plugInModeLabColor, plugInModeBitmap})
    EXPECT_FALSE(modeEnabled(p, mode)) << imageModeName(mode);
}

}  // namespace
