// A file written while the module renders: rows reach the writer as the module finishes them
// in order; anything else (a row written again, a whole picture at once, a failed run) leaves
// the writer without its rows or marks the stream spoiled, so that no stale file passes for
// the result.
#include "app/host/finished_rows.h"

#include <gtest/gtest.h>

#include <thread>

#include "app/host/host.h"

namespace {

enum class Plan { inOrder, rowWrittenAgain, wholePictureAtOnce, failsHalfWay };

// A module of the plainest kind: it asks for one rectangle after another and paints each
// with a pattern of its rows, columns and pass.
struct StandIn {
  Plan plan;
  int16_t next;  // the next row to ask for
  int32_t pass;
};
StandIn gStandIn;

void ask(FilterRecord& r, int16_t top, int16_t bottom) {
  r.inRect = r.outRect = {top, r.filterRect.left, bottom, r.filterRect.right};
  r.inLoPlane = r.outLoPlane = 0;
  r.inHiPlane = r.outHiPlane = static_cast<int16_t>(r.planes - 1);
}

void paint(FilterRecord& r) {
  auto* out = static_cast<uint8_t*>(r.outData);
  const int32_t width = r.outRect.right - r.outRect.left;
  for (int32_t y = r.outRect.top; y < r.outRect.bottom; ++y)
    for (int32_t x = 0; x < width * r.planes; ++x)
      out[(y - r.outRect.top) * r.outRowBytes + x] = static_cast<uint8_t>(y * 7 + x + gStandIn.pass * 50);
}

void standIn(int16_t selector, void* record, intptr_t*, int16_t* result) {
  FilterRecord& r = *static_cast<FilterRecord*>(record);
  const int16_t height = static_cast<int16_t>(r.filterRect.bottom - r.filterRect.top);
  *result = noErr;
  if (selector == filterSelectorStart) {
    gStandIn.next = 1;
    gStandIn.pass = 0;
    if (gStandIn.plan == Plan::wholePictureAtOnce) ask(r, 0, height);
    else ask(r, 0, 1);
    return;
  }
  if (selector != filterSelectorContinue) return;
  if (gStandIn.plan == Plan::failsHalfWay && r.outRect.top == height / 2) {
    *result = memFullErr;
    return;
  }
  paint(r);
  int16_t row = gStandIn.next++;
  if (gStandIn.plan == Plan::rowWrittenAgain && row == height) {
    row = 3;  // back to a finished row, once
    gStandIn.pass = 1;
  }
  if (gStandIn.plan == Plan::wholePictureAtOnce || row >= height) {
    r.inRect = r.outRect = r.maskRect = {0, 0, 0, 0};
    return;
  }
  ask(r, row, static_cast<int16_t>(row + 1));
}

struct Outcome {
  int16_t result;
  bool complete;  // the writer took every row
  bool spoiled;
  int32_t finished;
  HostImage output;
  std::vector<uint8_t> taken;  // the rows as the writer took them
};

// The run with a writer on its own thread taking the finished rows of a 40 x 30 RGB picture.
Outcome runWithWriter(Plan plan) {
  gStandIn = {plan, 0, 0};
  HostImage picture;
  picture.width = 40;
  picture.height = 30;
  picture.samples.assign(size_t(40) * 30 * 3, 128);
  Host host;
  host.outputInPlace = true;
  FinishedRows finished;
  host.finishedRows = &finished;
  hostOpen(host, standIn, picture);
  const HostImage& output = hostOutputImage(host);
  Outcome outcome{};
  std::thread writer([&] {
    for (int32_t row = 0; row < output.height; ++row) {
      const uint8_t* samples = takeFinishedRow(finished, output, row);
      if (!samples) return;
      outcome.taken.insert(outcome.taken.end(), samples, samples + output.rowBytes());
    }
    outcome.complete = true;
  });
  outcome.result = hostRunFilter(host, false);
  endFinishedRows(finished);
  writer.join();
  outcome.spoiled = finished.spoiled;
  outcome.finished = finished.count;
  outcome.output = output;
  hostClose(host);
  return outcome;
}

TEST(FinishedRows, AWriterTakesRowsRenderedInOrderAndOnlyThose) {
  const Outcome inOrder = runWithWriter(Plan::inOrder);
  EXPECT_EQ(inOrder.result, noErr);
  EXPECT_TRUE(inOrder.complete);
  EXPECT_FALSE(inOrder.spoiled);
  EXPECT_EQ(inOrder.finished, 30);
  EXPECT_EQ(inOrder.taken, inOrder.output.samples);
  EXPECT_EQ(inOrder.output.samples[7 * 40 * 3 + 2], uint8_t(7 * 7 + 2));

  // Row 3 painted again after the writer may have taken it: the run says so, whatever the
  // writer got as far as.
  const Outcome again = runWithWriter(Plan::rowWrittenAgain);
  EXPECT_EQ(again.result, noErr);
  EXPECT_TRUE(again.spoiled);
  EXPECT_EQ(again.output.samples[3 * 40 * 3], uint8_t(3 * 7 + 50));

  // Several rows at once are no finished rows (a preview writes so): the writer waits in
  // vain and gives up when the run ends.
  const Outcome whole = runWithWriter(Plan::wholePictureAtOnce);
  EXPECT_EQ(whole.result, noErr);
  EXPECT_FALSE(whole.complete);
  EXPECT_FALSE(whole.spoiled);
  EXPECT_EQ(whole.finished, 0);
  EXPECT_TRUE(whole.taken.empty());

  // A failed run leaves the writer with half the rows: it stops instead of waiting forever.
  const Outcome failed = runWithWriter(Plan::failsHalfWay);
  EXPECT_EQ(failed.result, memFullErr);
  EXPECT_FALSE(failed.complete);
  EXPECT_EQ(failed.finished, 15);
  EXPECT_EQ(failed.taken.size(), size_t(15) * 40 * 3);
}

}  // namespace
