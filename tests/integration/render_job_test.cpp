// The render job as the host sees it: what it asks for, when it reports and how it ends.
#include <algorithm>
#include <filesystem>

#include "module_fixture.h"

namespace {

struct Job : testing::Test {
  Host host;
  ShownDialogs shown;
  void TearDown() override { hostClose(host); }
  void open(HostImage image, std::vector<uint8_t> selection = {}) {
    hostOpen(host, moduleEntry(), std::move(image), std::move(selection));
  }
  // Prepare and Start, leaving the module's first band requested.
  void start() {
    ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
    ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
  }
};

int32_t height(const Rect& r) { return r.bottom - r.top; }
int32_t width(const Rect& r) { return r.right - r.left; }

TEST_F(Job, OneContinueRendersTheWholeImageAskingForATileOrARowAtATime) {
  open(patternImage(700, 600, 8, 3, false));
  start();
  ASSERT_EQ(hostCall(host, filterSelectorContinue), 0);
  EXPECT_TRUE(hostRectsEmpty(host.record));
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);

  int32_t tiles = 0, rows = 0;
  for (size_t i = 0; i < host.log.inRects.size(); ++i) {
    const Rect& in = host.log.inRects[i];
    if (height(in) == 1 && width(in) == 700) {
      ++rows;
    } else if (host.log.inputRates[i] == 1 << 16 && width(host.log.outRects[i]) == 1) {
      ++tiles;
      EXPECT_LE(width(in), 512);
      EXPECT_LE(height(in), 512);
    } else {
      // The preview region the acquisition ends with: never more than the preview area.
      EXPECT_LE(width(in), 499);
      EXPECT_LE(height(in), 384);
    }
  }
  EXPECT_EQ(tiles, 4);
  EXPECT_EQ(rows, 600);
}

TEST_F(Job, ProgressAtRowZeroThenEvery32ndRow) {
  open(patternImage(30, 200, 8, 3, false));
  ASSERT_EQ(hostRunFilter(host, false), 0);
  std::vector<int32_t> rowReports;
  for (auto [done, total] : host.log.progress)
    if (total == 200) rowReports.push_back(done);
  ASSERT_GE(rowReports.size(), 6u);
  EXPECT_EQ(rowReports[0], 0);
  for (size_t i = 2; i < rowReports.size(); ++i) EXPECT_EQ(rowReports[i] - rowReports[i - 1], 32);
}

TEST_F(Job, AbortOnThe32ndRowEndsTheRunAndReleasesMemory) {
  // The first poll comes after the one tile of the acquisition; the next on the 32nd row.
  host.switches.abortAtPoll = 2;
  open(patternImage(30, 100, 8, 3, false));
  EXPECT_EQ(hostRunFilter(host, false), userCanceledErr);
  EXPECT_EQ(host.log.abortPolls, 2);
  EXPECT_TRUE(hostRectsEmpty(host.record));
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
}

TEST_F(Job, AOneRowRectangleEndsInTheSameContinue) {
  open(patternImage(20, 1, 8, 3, false));
  start();
  ASSERT_EQ(hostCall(host, filterSelectorContinue), 0);
  EXPECT_TRUE(hostRectsEmpty(host.record));
  EXPECT_EQ(host.log.buffersAllocated, host.log.buffersFreed);
}

TEST_F(Job, MaskWindowIsClampedAtTheFirstAndLastRows) {
  open(patternImage(12, 10, 8, 3, false), std::vector<uint8_t>(12 * 10, 255));
  ASSERT_EQ(hostRunFilter(host, false), 0);
  std::vector<Rect> bands;
  for (size_t i = 0; i < host.log.inRects.size(); ++i)
    if (height(host.log.inRects[i]) == 1 && host.log.inputRates[i] == 1 << 16) bands.push_back(host.log.maskRects[i]);
  ASSERT_EQ(bands.size(), 10u);
  EXPECT_EQ(bands.front().top, 0);
  EXPECT_EQ(bands.front().bottom, 2);
  EXPECT_EQ(bands[5].top, 3);
  EXPECT_EQ(bands[5].bottom, 7);
  EXPECT_EQ(bands.back().top, 7);
  EXPECT_EQ(bands.back().bottom, 10);
}

TEST_F(Job, HostErrorsEndTheRunWithTheirCodeAndNothingLeaks) {
  // The host fails while the source is read, and later inside the row loop.
  for (int16_t call : {1, 5}) {
    Host h;
    h.switches.advanceStateErrorAt = call;
    h.switches.advanceStateError = -4321;
    hostOpen(h, moduleEntry(), patternImage(16, 40, 8, 3, false));
    EXPECT_EQ(hostRunFilter(h, false), -4321) << "failing call " << call;
    EXPECT_TRUE(hostRectsEmpty(h.record));
    EXPECT_EQ(h.log.buffersAllocated, h.log.buffersFreed);
    hostClose(h);
  }
}

// Threads of this process, as the kernel lists them.
int32_t threadsRunning() {
  int32_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) ++count;
  return count;
}

TEST_F(Job, EveryEndOfARunStopsTheRenderThreadsAndFreesTheirMemory) {
  setenv("TARVE_THREADS", "7", 1);
  const int32_t before = threadsRunning();
  struct End {
    const char* name;
    int32_t abortAtPoll;
    int16_t errorAt;
    int16_t result;
  };
  // 200 rows: the abort comes on the 64th, the host's error on about the 40th row's delivery.
  for (End end : {End{"finished", -1, 0, 0}, End{"aborted", 3, 0, userCanceledErr}, End{"host error", -1, 45, -4321}}) {
    Host h;
    h.switches.abortAtPoll = end.abortAtPoll;
    h.switches.advanceStateErrorAt = end.errorAt;
    h.switches.advanceStateError = -4321;
    int32_t during = 0;
    h.onProgress = [](void* context, int32_t, int32_t) {
      int32_t& most = *static_cast<int32_t*>(context);
      most = std::max(most, threadsRunning());
    };
    h.progressContext = &during;
    hostOpen(h, moduleEntry(), patternImage(90, 200, 8, 3, false));
    EXPECT_EQ(hostRunFilter(h, false), end.result) << end.name;
    EXPECT_GT(during, before) << end.name << ": the rows were rendered on the host's thread alone";
    EXPECT_EQ(threadsRunning(), before) << end.name;
    EXPECT_TRUE(hostRectsEmpty(h.record)) << end.name;
    EXPECT_EQ(h.log.buffersAllocated, h.log.buffersFreed) << end.name;
    hostClose(h);
  }
  unsetenv("TARVE_THREADS");
}

// A host that takes the output back into its only copy of the image must get what a host
// with a second copy gets: the module never reads a row the host has already overwritten.
TEST_F(Job, OutputInPlaceIsTheOutputOfACopy) {
  for (const HostImage& image : {patternImage(530, 70, 8, 3, false), patternImage(61, 45, 16, 3, true),
                                 patternImage(40, 600, 32, 1, false)}) {
    Host copy, inPlace;
    inPlace.outputInPlace = true;
    hostOpen(copy, moduleEntry(), image);
    hostOpen(inPlace, moduleEntry(), image);
    ASSERT_EQ(hostRunFilter(copy, false), 0);
    ASSERT_EQ(hostRunFilter(inPlace, false), 0);
    EXPECT_TRUE(inPlace.destination.samples.empty());
    EXPECT_NE(copy.destination.samples, image.samples) << "nothing was rendered";
    EXPECT_EQ(inPlace.source.samples, copy.destination.samples) << image.width << " x " << image.height;
    hostClose(copy);
    hostClose(inPlace);
  }
}

TEST_F(Job, EveryDepthAndLayoutRendersToTheEnd) {
  struct Case {
    int32_t depth, planes;
    bool transparency;
  };
  for (Case c : {Case{8, 1, false}, Case{8, 3, true}, Case{16, 3, false}, Case{16, 1, true}, Case{32, 3, false},
                 Case{32, 1, false}}) {
    Host h;
    hostOpen(h, moduleEntry(), patternImage(37, 29, c.depth, c.planes, c.transparency));
    EXPECT_EQ(hostRunFilter(h, false), 0) << c.depth << " bits, " << c.planes << " planes";
    EXPECT_EQ(h.log.buffersAllocated, h.log.buffersFreed);
    hostClose(h);
  }
}

}  // namespace
