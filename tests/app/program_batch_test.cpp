// tarve apply IN... -d FOLDER: names, failures that do not stop the batch, overwriting, and
// Ctrl-C.
#include <csignal>
#include <thread>

#include "app/batch_command.h"
#include "tests/app/tarve_program.h"

namespace {

std::vector<std::string> hiddenEntries(const std::string& folder) {
  std::vector<std::string> hidden;
  for (const std::string& name : folderEntries(folder))
    if (name[0] == '.') hidden.push_back(name);
  return hidden;
}

// Starts a batch of `count` large pictures into `out`, `jobs` at once, and returns once a
// temporary output in the folder shows that a file is being rendered.
pid_t startBigBatch(const ScratchFolder& folder, const std::string& out, int count, const char* jobs, int& outFd,
                    int& errFd) {
  std::filesystem::create_directory(out);
  std::vector<std::string> args = {"apply"};
  for (int i = 0; i < count; ++i) {
    const std::string input = folder.file("big" + std::to_string(i) + ".png");
    writeImage(input, sceneImage(2500, 1800, 8, 3, false));
    args.push_back(input);
  }
  for (const char* a : {"-d", "", "-j", jobs}) args.push_back(*a ? a : out);
  const pid_t pid = startTarve(args, outFd, errFd);
  for (int wait = 0; pid > 0 && wait < 2000 && hiddenEntries(out).empty(); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return pid;
}

}  // namespace

TEST(ProgramBatch, OutputNamesKeepTheInputsNamesAndNeverCollide) {
  EXPECT_EQ(batchOutputs({"a/lake.jpg", "b.c/shore", "x.tar.png", ".hidden"}, "out", "", "_w"),
            (std::vector<std::string>{"out/lake_w.jpg", "out/shore_w", "out/x.tar_w.png", "out/.hidden_w"}));
  EXPECT_EQ(batchOutputs({"lake.JPG", "one/same.png", "two/same.png", "same.tif"}, "out/", "webp", ""),
            (std::vector<std::string>{"out/lake.webp", "out/same.webp", "", ""}));
}

TEST(ProgramBatch, AFailingFileIsOneLineAndTheBatchGoesOn) {
  ScratchFolder folder;
  const std::string out = folder.file("out");
  std::filesystem::create_directory(out);
  writeImage(folder.file("one.png"), sceneImage(40, 30, 8, 3, false));
  writeImage(folder.file("two.jpg"), sceneImage(30, 40, 8, 3, false));
  writeImage(folder.file("deep.tif"), sceneImage(20, 20, 16, 1, true));
  writeWholeFile(folder.file("broken.png"), {'n', 'o', 'p', 'e'});
  const std::vector<std::string> inputs = {folder.file("one.png"), folder.file("broken.png"), folder.file("two.jpg"),
                                           folder.file("deep.tif")};
  std::vector<std::string> args = {"apply"};
  args.insert(args.end(), inputs.begin(), inputs.end());
  for (const char* a : {"-d", "", "-j", "3", "--suffix", "-lake", "--format", "png"}) args.push_back(*a ? a : out);
  const ProgramRun run = runTarve(args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "tarve: cannot read " + folder.file("broken.png") + ": not a PNG, TIFF, JPEG or WebP file\n" +
                         "tarve: 3 of 4 files written into " + out + ", 1 failed\n");
  EXPECT_EQ(folderEntries(out), (std::vector<std::string>{"deep-lake.png", "one-lake.png", "two-lake.png"}));
  const HostImage deep = readImage(out + "/deep-lake.png");
  EXPECT_EQ(deep.depth, 16);
  EXPECT_EQ(deep.colourPlanes, 1);
  EXPECT_TRUE(deep.transparency);

  // Existing outputs are kept unless --overwrite says otherwise.
  writeWholeFile(out + "/one-lake.png", {'o', 'l', 'd'});
  const std::vector<std::string> again = {"apply", inputs[0], "-d", out, "--suffix", "-lake", "--format", "png"};
  const ProgramRun kept = runTarve(again);
  EXPECT_EQ(kept.status, 2);
  EXPECT_NE(kept.err.find("one-lake.png exists already: add --overwrite to replace it"), std::string::npos) << kept.err;
  EXPECT_EQ(readWholeFile(out + "/one-lake.png"), (std::vector<uint8_t>{'o', 'l', 'd'}));
  std::vector<std::string> overwrite = again;
  overwrite.push_back("--overwrite");
  const ProgramRun replaced = runTarve(overwrite);
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(replaced.err, "tarve: 1 of 1 files written into " + out + ", 0 failed\n");
  EXPECT_EQ(readImage(out + "/one-lake.png").width, 40);
  EXPECT_TRUE(hiddenEntries(out).empty());
}

TEST(ProgramBatch, TwoInputsOfTheSameNameDoNotOverwriteEachOther) {
  ScratchFolder folder;
  std::filesystem::create_directories(folder.file("a"));
  std::filesystem::create_directories(folder.file("b"));
  std::filesystem::create_directories(folder.file("out"));
  writeImage(folder.file("a/same.png"), sceneImage(16, 16, 8, 3, false));
  writeImage(folder.file("b/same.png"), sceneImage(24, 16, 8, 3, false));
  const ProgramRun run = runTarve({"apply", folder.file("a/same.png"), folder.file("b/same.png"), "-d", folder.file("out")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find(folder.file("b/same.png") + ": another input of the batch writes the same output name"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(readImage(folder.file("out/same.png")).width, 16);
}

TEST(ProgramBatch, CtrlCStopsTheBatchAndLeavesOnlyWholeFiles) {
  ScratchFolder folder;
  const std::string out = folder.file("out");
  int outFd = -1, errFd = -1;
  const pid_t pid = startBigBatch(folder, out, 6, "2", outFd, errFd);
  ASSERT_GT(pid, 0);
  ASSERT_FALSE(hiddenEntries(out).empty());
  kill(pid, SIGINT);
  const std::string err = drain(errFd);
  drain(outFd);
  EXPECT_EQ(waitStatus(pid), 130) << err;
  EXPECT_NE(err.find("tarve: interrupted: "), std::string::npos) << err;
  EXPECT_TRUE(hiddenEntries(out).empty());
  for (const std::string& name : folderEntries(out)) EXPECT_EQ(readImage(out + "/" + name).width, 2500) << name;
  EXPECT_LT(folderEntries(out).size(), 6u);
}

// A file whose process dies (here killed outright) is reported, and its temporary output is
// cleared away; the batch goes on.
TEST(ProgramBatch, AFileWhoseProcessDiesLeavesNothingBehind) {
  ScratchFolder folder;
  const std::string out = folder.file("out");
  int outFd = -1, errFd = -1;
  const pid_t pid = startBigBatch(folder, out, 3, "1", outFd, errFd);
  ASSERT_GT(pid, 0);
  ASSERT_FALSE(hiddenEntries(out).empty());
  const std::string children = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children";
  const std::vector<uint8_t> list = readWholeFile(children);
  const pid_t child = pid_t(std::atoi(std::string(list.begin(), list.end()).c_str()));
  ASSERT_GT(child, 0);
  kill(child, SIGKILL);
  const std::string err = drain(errFd);
  drain(outFd);
  EXPECT_EQ(waitStatus(pid), 2) << err;
  EXPECT_NE(err.find("big0.png: the run ended with signal 9; nothing was written"), std::string::npos) << err;
  EXPECT_NE(err.find("tarve: 2 of 3 files written"), std::string::npos) << err;
  EXPECT_EQ(folderEntries(out), (std::vector<std::string>{"big1.png", "big2.png"}));
}
