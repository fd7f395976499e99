// A file written while the module renders: rows reach the writer as the module finishes them
// in order; anything else (a row written again, a whole picture at once, a failed run) leaves
// the writer without its rows or marks the stream spoiled, so that no stale file passes for
// the result.
#include "app/host/finished_rows.h"

#include <thread>

#include "tests/app/tarve_program.h"

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
  bool complete;  // the writer wrote the whole file
  bool spoiled;
  int32_t finished;
  HostImage output, file;
};

// The run with a PNG writer on its own thread taking the finished rows.
Outcome runWithWriter(Plan plan, const std::string& path) {
  gStandIn = {plan, 0, 0};
  Host host;
  host.outputInPlace = true;
  FinishedRows finished;
  host.finishedRows = &finished;
  hostOpen(host, standIn, sceneImage(40, 30, 8, 3, false));
  const HostImage& output = hostOutputImage(host);
  bool complete = false;
  std::thread writer([&] {
    const RowSource rows = [&](int32_t row) { return takeFinishedRow(finished, output, row); };
    std::string error;
    complete = writeImageFile(path, ImageFormat::png, output, {}, nullptr, error, &rows);
  });
  Outcome outcome{hostRunFilter(host, false), false, false, 0, {}, {}};
  endFinishedRows(finished);
  writer.join();
  outcome.complete = complete;
  outcome.spoiled = finished.spoiled;
  outcome.finished = finished.count;
  outcome.output = output;
  hostClose(host);
  if (complete) outcome.file = readImage(path);
  return outcome;
}

TEST(FinishedRows, AWriterTakesRowsRenderedInOrderAndOnlyThose) {
  ScratchFolder folder;
  const Outcome inOrder = runWithWriter(Plan::inOrder, folder.file("in-order.png"));
  EXPECT_EQ(inOrder.result, noErr);
  EXPECT_TRUE(inOrder.complete);
  EXPECT_FALSE(inOrder.spoiled);
  EXPECT_EQ(inOrder.finished, 30);
  EXPECT_EQ(inOrder.file.samples, inOrder.output.samples);
  EXPECT_EQ(inOrder.output.samples[7 * 40 * 3 + 2], uint8_t(7 * 7 + 2));

  // Row 3 painted again after the writer may have taken it: the run says so, whatever the
  // writer got as far as.
  const Outcome again = runWithWriter(Plan::rowWrittenAgain, folder.file("again.png"));
  EXPECT_EQ(again.result, noErr);
  EXPECT_TRUE(again.spoiled);
  EXPECT_EQ(again.output.samples[3 * 40 * 3], uint8_t(3 * 7 + 50));

  // Several rows at once are no finished rows (a preview writes so): the writer waits in
  // vain and gives up when the run ends.
  const Outcome whole = runWithWriter(Plan::wholePictureAtOnce, folder.file("whole.png"));
  EXPECT_EQ(whole.result, noErr);
  EXPECT_FALSE(whole.complete);
  EXPECT_FALSE(whole.spoiled);
  EXPECT_EQ(whole.finished, 0);

  // A failed run leaves the writer with half the rows: it stops instead of waiting forever.
  const Outcome failed = runWithWriter(Plan::failsHalfWay, folder.file("failed.png"));
  EXPECT_EQ(failed.result, memFullErr);
  EXPECT_FALSE(failed.complete);
  EXPECT_EQ(failed.finished, 15);
}

}  // namespace
