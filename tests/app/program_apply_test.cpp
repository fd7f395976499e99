// tarve apply on good input: what comes out, in which format, and what the user sees.
#include "tests/app/tarve_program.h"

namespace {

// With the default settings the water line lies at 0.594 of the height.
constexpr int32_t kWidth = 64, kHeight = 48, kWaterRow = 29;

}  // namespace

TEST(ProgramApply, EveryLayoutComesOutInItsOwnFormatWithTheWaterBelowTheLine) {
  struct Case {
    const char* input;
    const char* output;
    int32_t colourPlanes;
    bool alpha;
    int32_t depth;
  };
  const Case cases[] = {
      {"in.png", "out.png", 3, false, 8},  {"in.png", "out.png", 1, false, 8},  {"in.png", "out.png", 3, true, 8},
      {"in.png", "out.png", 1, true, 16},  {"in.tif", "out.tif", 3, false, 16}, {"in.tif", "out.tiff", 3, true, 32},
      {"in.tif", "out.tif", 1, false, 32}, {"in.jpg", "out.jpg", 3, false, 8},  {"in.jpg", "out.jpeg", 1, false, 8},
      {"in.png", "out.tif", 3, false, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.input) + " -> " + c.output + " depth " + std::to_string(c.depth));
    ScratchFolder folder;
    writeImage(folder.file(c.input), sceneImage(kWidth, kHeight, c.depth, c.colourPlanes, c.alpha));
    const HostImage input = readImage(folder.file(c.input));
    const ProgramRun run = runTarve({"apply", folder.file(c.input), "-o", folder.file(c.output)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const HostImage output = readImage(folder.file(c.output));
    EXPECT_EQ(output.width, kWidth);
    EXPECT_EQ(output.height, kHeight);
    EXPECT_EQ(output.depth, c.depth);
    EXPECT_EQ(output.colourPlanes, c.colourPlanes);
    EXPECT_EQ(output.transparency, c.alpha);
    // The sky shows itself (through the filter's resampling, so within a level or two,
    // away from the sharp edge where it meets the ground);
    // the ground is replaced by the water that mirrors the sky.
    const bool lossy = std::string(c.output).find(".jp") != std::string::npos;
    EXPECT_LE(differenceOf(output, input, 0, kHeight / 2 - 3).largest, lossy ? 6 : 3);
    EXPECT_GT(differenceOf(output, input, kWaterRow + 2, kHeight).mean, 30);
    EXPECT_EQ(folderEntries(folder.path).size(), 2u) << "no temporary file is left behind";
  }
}

// Grey pictures become RGB documents at the image's depth; the readers' view of the layers is
// checked by psd_readers.py.
TEST(ProgramApply, GreyImagesBecomeRgbDocuments) {
  ScratchFolder folder;
  writeImage(folder.file("grey.png"), sceneImage(kWidth, kHeight, 16, 1, false));
  const ProgramRun run = runTarve({"apply", folder.file("grey.png"), "-o", folder.file("out.psd")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<uint8_t> file = readWholeFile(folder.file("out.psd"));
  ASSERT_GT(file.size(), 26u);
  const std::vector<uint8_t> header(file.begin(), file.begin() + 26);
  EXPECT_EQ(header, (std::vector<uint8_t>{'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, kHeight, 0, 0, 0,
                                          kWidth, 0, 16, 0, 3}));
  EXPECT_EQ(folderEntries(folder.path).size(), 2u) << "no temporary file is left behind";

  // Batches write them too.
  ScratchFolder out;
  const ProgramRun batch = runTarve({"apply", folder.file("grey.png"), "-d", out.path, "--format", "psd"});
  ASSERT_EQ(batch.status, 0) << batch.err;
  const std::vector<uint8_t> batched = readWholeFile(out.file("grey.psd"));
  ASSERT_GT(batched.size(), 26u);
  EXPECT_EQ(std::vector<uint8_t>(batched.begin(), batched.begin() + 26), header);
}

TEST(ProgramApply, TheOutputMayReplaceTheInput) {
  ScratchFolder folder;
  const std::string path = folder.file("photo.png");
  writeImage(path, sceneImage(kWidth, kHeight, 8, 3, false));
  const HostImage before = readImage(path);
  const ProgramRun run = runTarve({"apply", path, "-o", path});
  ASSERT_EQ(run.status, 0) << run.err;
  const HostImage after = readImage(path);
  EXPECT_GT(differenceOf(after, before, kWaterRow + 2, kHeight).mean, 30);
  EXPECT_EQ(folderEntries(folder.path), std::vector<std::string>{"photo.png"});
}

TEST(ProgramApply, DepthConvertsBeforeTheRun) {
  ScratchFolder folder;
  writeImage(folder.file("in.png"), sceneImage(kWidth, kHeight, 8, 3, false));
  struct Case {
    const char* depth;
    const char* output;
  };
  for (const Case c : {Case{"16", "out.png"}, Case{"32", "out.tif"}, Case{"8", "out.jpg"}}) {
    const ProgramRun run = runTarve({"apply", folder.file("in.png"), "-o", folder.file(c.output), "--depth", c.depth});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readImage(folder.file(c.output)).depth, std::stoi(c.depth));
  }
  const HostImage input = readImage(folder.file("in.png"));
  for (const char* output : {"out.png", "out.tif", "out.jpg"})
    EXPECT_LE(differenceOf(readImage(folder.file(output)), input, 0, kHeight / 2 - 3).largest, 6) << output;
}

TEST(ProgramApply, AMaskKeepsTheUnselectedPixels) {
  ScratchFolder folder;
  writeImage(folder.file("in.png"), sceneImage(kWidth, kHeight, 8, 3, false));
  HostImage mask = makeHostImage(kWidth, kHeight, 8, 1, false);
  for (int32_t y = 0; y < kHeight; ++y)
    for (int32_t x = kWidth / 2; x < kWidth; ++x) *mask.at(x, y, 0) = 255;
  writeImage(folder.file("mask.png"), mask);
  const ProgramRun run =
      runTarve({"apply", folder.file("in.png"), "-o", folder.file("out.png"), "--mask", folder.file("mask.png")});
  ASSERT_EQ(run.status, 0) << run.err;
  HostImage input = readImage(folder.file("in.png"));
  HostImage output = readImage(folder.file("out.png"));
  int changedLeft = 0, changedRight = 0;
  for (int32_t y = kWaterRow + 2; y < kHeight; ++y)
    for (int32_t x = 0; x < kWidth; ++x)
      if (std::memcmp(output.at(x, y, 0), input.at(x, y, 0), 3) != 0) ++(x < kWidth / 2 ? changedLeft : changedRight);
  EXPECT_EQ(changedLeft, 0);
  EXPECT_GT(changedRight, (kHeight - kWaterRow - 2) * kWidth / 4);
}

TEST(ProgramApply, TheProgressBarShowsOnlyWhenAskedOrOnATerminal) {
  ScratchFolder folder;
  writeImage(folder.file("in.png"), sceneImage(kWidth, kHeight, 8, 3, false));
  const ProgramRun forced = runTarve({"apply", folder.file("in.png"), "-o", folder.file("a.png"), "--progress"});
  ASSERT_EQ(forced.status, 0) << forced.err;
  EXPECT_NE(forced.err.find("100%"), std::string::npos) << forced.err;
  EXPECT_EQ(forced.err.back(), '\n');
  // Standard error is a pipe here, as in a script: quiet unless forced.
  for (const char* quiet : {"--quiet", "-q"}) {
    const ProgramRun run = runTarve({"apply", folder.file("in.png"), "-o", folder.file("b.png"), quiet});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(runTarve({"apply", folder.file("in.png"), "-o", folder.file("c.png")}).err, "");
}

TEST(ProgramApply, HelpDescribesEveryOptionOfEachCommand) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> mentions;
  };
  const Case cases[] = {
      {{"--help"}, {"apply", "glues", "preset info", "preset make", "--version"}},
      {{"apply", "--help"},
       {"--output", "--depth", "--mask", "--quality", "--set", "--glue", "--colour", "--seed", "--centre", "--last",
        "--preset", "--action", "--record", "--quiet", "--progress", "--module", "--threads", "TARVE_THREADS",
        "\"ripple height\" or rippleHeight",
        "\"X center\" or centreX", "\"water red\""}},
      {{"help", "apply"}, {"--record"}},
      {{"preset", "--help"}, {"preset info", "preset make", "JSON"}},
      {{"preset", "make", "x.q8r", "--help"}, {"preset make"}},
      {{"glues", "--help"}, {"62"}},
  };
  for (const Case& c : cases) {
    const ProgramRun run = runTarve(c.args);
    EXPECT_EQ(run.status, 0) << c.args[0];
    for (const std::string& m : c.mentions) EXPECT_NE(run.out.find(m), std::string::npos) << c.args[0] << ": " << m;
  }
  const ProgramRun version = runTarve({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("tarve ", 0), 0u);
}

TEST(ProgramApply, GluesAreListedWithTheirNumbers) {
  const ProgramRun run = runTarve({"glues"});
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 62);
  for (const char* line : {" 1  normal\n", "13  superlay\n", "57  limbic\n", "62  screendim\n"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
}
