// The settings of a run through the program: names, shorthands, actions, presets and the
// last-used settings, each checked by the picture it gives against another way of asking
// for the same settings.
#include "app/host/setting_names.h"
#include "files/memory_dot_store.h"
#include "host/settings_file.h"
#include "tests/app/tarve_program.h"

namespace {

struct Rendering {
  ScratchFolder folder;
  std::string input;
  int runs = 0;

  Rendering() : input(folder.file("in.png")) { writeImage(input, sceneImage(48, 40, 8, 3, false)); }

  // The output of tarve apply with these options (empty when the run failed).
  std::vector<uint8_t> render(std::vector<std::string> options) {
    const std::string output = folder.file("out" + std::to_string(++runs) + ".png");
    std::vector<std::string> args{"apply", input, "-o", output};
    args.insert(args.end(), options.begin(), options.end());
    const ProgramRun run = runTarve(args);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.status == 0 ? readImage(output).samples : std::vector<uint8_t>{};
  }
};

std::string text(const std::string& path) {
  const std::vector<uint8_t> bytes = readWholeFile(path);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ProgramSettings, EveryWayOfNamingASettingGivesTheSamePicture) {
  Rendering r;
  const auto defaults = r.render({});
  const struct {
    std::vector<std::string> first, second;
  } same[] = {
      // Ripple rings show only with a ripple size and a centre on the water.
      {{"--set", "ripple size=50", "--centre", "0.5,0.8", "--set", "ripple height=70"},
       {"--set", "rippleSize=50", "--centre", "0.5,0.8", "--set", "rippleHeight=70"}},
      {{"--set", "ripple size=50", "--centre", "0.5,0.8", "--set", "ripple height=70"},
       {"--set=Ripple_Size=50", "--centre=0.5,0.8", "--set=Ripple-Height=70"}},
      {{"--glue", "superlay"}, {"--glue", "13"}},
      {{"--glue", "hard light"}, {"--set", "glue=hard-light"}},
      {{"--colour", "1E3A5F"}, {"--set", "water red=30", "--set", "water green=58", "--set", "water blue=95"}},
      {{"--color", "#1e3a5f"}, {"--set", "waterColour=1E3A5F"}},
      {{"--seed", "7"}, {"--set", "random seed=7"}},
      {{"--set", "ripple size=50", "--centre", "0.3,0.7"},
       {"--set", "ripple size=50", "--set", "X center=0.3", "--set", "centreY=0.7"}},
      {{"--set", "horizon=40", "--set", "horizon=45"}, {"--set", "horizon=45"}},  // the last one counts
  };
  for (const auto& s : same) {
    const auto first = r.render(s.first);
    EXPECT_EQ(first, r.render(s.second)) << s.first.back();
    EXPECT_NE(first, defaults) << s.first.back() << " changes nothing";
  }
}

TEST(ProgramSettings, ARecordedActionReplaysTheRun) {
  Rendering r;
  const std::string action = r.folder.file("water.action");
  const auto recorded = r.render({"--set", "ripple height=70", "--glue", "13", "--centre", "0.25,0.5", "--record", action});
  const std::string written = text(action);
  for (const char* line : {"\n0004 long 70 ", "\nGLUE enum GLty:GL13 ", "\n0017 doub 0.25 ", "\n0018 doub 0.5 ",
                           "\n0016 long 21 ", "# ripple height\n", "# glue: superlay\n"})
    EXPECT_NE(written.find(line), std::string::npos) << line << " in\n" << written;
  EXPECT_EQ(r.render({"--action", action}), recorded);
  // A setting given with the action changes it, as it changes the defaults.
  EXPECT_EQ(r.render({"--action", action, "--glue", "2"}),
            r.render({"--set", "ripple height=70", "--glue", "2", "--centre", "0.25,0.5"}));
  // A hand-written action: a key the action lacks takes its default.
  writeWholeFile(action, {'0', '0', '0', '4', ' ', 'l', 'o', 'n', 'g', ' ', '7', '0', '\n'});
  EXPECT_EQ(r.render({"--action", action}), r.render({"--set", "ripple height=70"}));
}

TEST(ProgramSettings, APresetRendersItsSettingsAndLeavesTheLastUsedOnesAlone) {
  Rendering r;
  const std::string preset = r.folder.file("calm.q8r");
  const std::vector<std::string> changes{"--set", "ripple height=70", "--colour", "1E3A5F", "--seed", "9"};
  std::vector<std::string> make{"preset", "make", preset};
  make.insert(make.end(), changes.begin(), changes.end());
  ASSERT_EQ(runTarve(make).status, 0);
  EXPECT_EQ(readWholeFile(preset).size(), 288u);  // version 40 without a thumbnail

  // The user's own last-used settings, which the preset must neither use nor change.
  Settings mine{};
  applyDefaultSettings(mine);
  mine.rippleHeight = 5;
  const std::string cached = cachedSettingsPath().path;
  ASSERT_EQ(writeSettingsFile(cached.c_str(), mine, nullptr), noErr);
  const std::vector<uint8_t> cachedBefore = readWholeFile(cached);

  EXPECT_EQ(r.render({"--preset", preset}), r.render(changes));
  EXPECT_EQ(r.render({"--preset", preset, "--glue", "9"}), r.render({"--set", "rippleHeight=70", "--colour", "1E3A5F",
                                                                     "--seed", "9", "--glue", "9"}));
  EXPECT_EQ(readWholeFile(cached), cachedBefore);
  for (const std::string& name : folderEntries(isolatedTempFolder()))
    EXPECT_EQ(name.rfind("tarve-run-", 0), std::string::npos) << name << ": the run's private folder is left";

  // --last is the user's file.
  EXPECT_EQ(r.render({"--last"}), r.render({"--set", "ripple height=5"}));
  EXPECT_EQ(r.render({"--last", "--set", "blur=80"}), r.render({"--set", "ripple height=5", "--set", "blur=80"}));
  std::remove(cached.c_str());
}

TEST(ProgramSettings, PresetInfoShowsEveryFieldAsJson) {
  ScratchFolder folder;
  const std::string preset = folder.file("p.q8r");
  Settings settings{};
  applyDefaultSettings(settings);
  settings.waterColour = {0x1234, 0xFFFF, 0x0001};  // full 16-bit channels, as presets keep them
  settings.storedInt07 = -3;
  settings.centreX = 0.75f;
  ASSERT_EQ(writeSettingsFile(preset.c_str(), settings, nullptr), noErr);

  const ProgramRun run = runTarve({"preset", "info", preset});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* member :
       {"{\n  \"version\": 40,\n  \"vectorA\": [-0.68, -0.68, ", "\"vectorB\": [0, -1, 0]", "\"glue\": 1,",
        "\"centreX\": 0.75,", "\"centreY\": 0.19999695,",  // stored as 13107 / 65536
        "\"waterColour\": [4660, 65535, 1],", "\"colourA\": [27632, 33553, 40133],",
        "\"storedInt07\": -3,", "\"storedInt19\": 0,\n", "\"thumbnail\": {\"embedded\": false}\n}\n"})
    EXPECT_NE(run.out.find(member), std::string::npos) << member << " in\n" << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 48) << "braces, version, 44 fields, thumbnail";

  // A thumbnail block: flag, width, height, byte count, then the picture's bytes.
  std::vector<uint8_t> bytes = readWholeFile(preset);
  bytes.resize(bytes.size() - 4);
  for (uint32_t v : {1u, 128u, 128u, 4u})
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(v >> shift));
  bytes.insert(bytes.end(), {0xFF, 0xD8, 0xFF, 0xD9});
  writeWholeFile(preset, bytes);
  const ProgramRun withThumbnail = runTarve({"preset", "info", preset});
  EXPECT_NE(withThumbnail.out.find("\"thumbnail\": {\"embedded\": true, \"width\": 128, \"height\": 128}"),
            std::string::npos)
      << withThumbnail.out << withThumbnail.err;
}

TEST(ProgramSettings, PresetMakeStartsFromAnotherPresetOrAnAction) {
  ScratchFolder folder;
  const std::string first = folder.file("first.q8r"), second = folder.file("second.q8r"), action = folder.file("a.txt");
  ASSERT_EQ(runTarve({"preset", "make", first, "--set", "blur=90"}).status, 0);
  ASSERT_EQ(runTarve({"preset", "make", second, "--preset", first, "--glue", "screen"}).status, 0);
  const ProgramRun info = runTarve({"preset", "info", second});
  EXPECT_NE(info.out.find("\"glue\": 10,"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"blur\": 90,"), std::string::npos) << info.out;
  writeWholeFile(action, {'0', '0', '1', '1', ' ', 'l', 'o', 'n', 'g', ' ', '1', '2', '\n'});
  ASSERT_EQ(runTarve({"preset", "make", second, "--action", action}).status, 0);
  EXPECT_NE(runTarve({"preset", "info", second}).out.find("\"blur\": 12,"), std::string::npos);
}
