// The main dialog as a user meets it, headless: the module runs inside the in-process host
// and the dialog is played actions (typing, clicks, mouse, keys, the passing of time).
#include "dialog/main_dialog.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "dialog/parameter_controls.h"
#include "dialog/random_looks.h"
#include "files/memory_dot_store.h"
#include "host/settings_file.h"
#include "tests/dialog/dialog_fixture.h"

namespace {

TEST_F(Dialog, EscapeIsCancelAndBringsBackEverythingButTheCentre) {
  open(scene(600, 400));  // fit scale 2: a press picks the centre at once
  EXPECT_EQ(run("type 86 5; wait 1000; down 500 100; key escape"), userCanceledErr);
  const Settings s = block().settings;
  EXPECT_EQ(s.horizon, 60);
  EXPECT_EQ(std::strcmp(block().settingsFileName, "Tarve settings.q8r"), 0);
  // (500 - corner 366 - (499 - 300) / 2) x 2 = 70; (100 - (384 - 200) / 2) x 2 = 16.
  EXPECT_EQ(block().centrePixel.x, 70);
  EXPECT_EQ(block().centrePixel.y, 16);
  EXPECT_FLOAT_EQ(s.centreX, 70.0f / 600.0f);
  EXPECT_FLOAT_EQ(s.centreY, 16.0f / 400.0f);
  EXPECT_EQ(state().dialogExit, 2);
  // Closing the window is Cancel too, and nothing of a cancelled run is kept for the next.
  EXPECT_EQ(run("type 86 7; close"), userCanceledErr);
  EXPECT_EQ(block().settings.horizon, 60);
  EXPECT_NE(access(cachedSettingsPath().path, F_OK), 0);
}

TEST_F(Dialog, EnterInAFieldIsOkAndWhatWasTypedCounts) {
  open(scene(300, 200));
  EXPECT_EQ(run("focus 79; erase 79; type 79 150; key enter"), 0);
  EXPECT_EQ(block().settings.rippleHeight, 100);
  EXPECT_EQ(state().dialogExit, 1);
  // OK keeps the settings as the last-used ones.
  Settings cached = defaults();
  EXPECT_EQ(loadCachedSettings(cached, nullptr), 0);
  EXPECT_EQ(cached.rippleHeight, 100);

  // A pasted decimal is cut to a whole value; junk and an empty field read as 0.
  EXPECT_EQ(run("erase 86; paste 86 12.7; erase 91; paste 91 x; erase 85; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 12);
  EXPECT_EQ(block().settings.offset, 0);
  EXPECT_EQ(block().settings.perspective, 0);
}

// The slider area of the Height row, as painted.
std::string sliderPixels(const std::string& png) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
  std::string pixels;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 259; y < 271; ++y) pixels.append(reinterpret_cast<const char*>(data + y * stride + 120 * 4), 135 * 4);
  }
  cairo_surface_destroy(s);
  return pixels;
}

TEST_F(Dialog, TypingMovesTheSliderAtOnceAndCommitsASecondLater) {
  open(scene(300, 200));
  const std::string folder = isolatedTempFolder();
  std::string fieldAtRender;
  int32_t heightAtRender = -1, renders = 0;
  whileShown = [&] {
    ++renders;
    heightAtRender = block().settings.rippleHeight;
    fieldAtRender = uiControlText(window(), 79);
  };
  const std::string actions = "snapshot " + folder + "start.png; erase 79; type 79 150; snapshot " + folder +
                              "typed.png; wait 999; snapshot " + folder + "waited.png; wait 1";
  headlessQueue(actions + "; erase 79; type 79 100; wait 1000; snapshot " + folder + "hundred.png; click 3");
  const int32_t before = renders;
  ASSERT_EQ(hostRunFilter(host, true), 0);
  EXPECT_GT(renders, before);
  const std::string start = sliderPixels(folder + "start.png"), typed = sliderPixels(folder + "typed.png");
  ASSERT_FALSE(start.empty());
  EXPECT_NE(start, typed);
  EXPECT_EQ(typed, sliderPixels(folder + "hundred.png"));  // 150 shows as 100 at once
  EXPECT_EQ(typed, sliderPixels(folder + "waited.png"));
  EXPECT_EQ(heightAtRender, 100);
  EXPECT_EQ(fieldAtRender, "100");
}

TEST_F(Dialog, ARenderWaitsForTheLastKeystroke) {
  open(scene(300, 200));
  std::vector<int32_t> horizons;
  whileShown = [&] { horizons.push_back(block().settings.horizon); };
  ASSERT_EQ(run("erase 86; type 86 2; wait 600; type 86 5; wait 999; click 3"), 0);
  // One render of the first view, none before the second keystroke has waited its second,
  // and OK's value 25 without any render of 2.
  for (int32_t h : horizons) EXPECT_NE(h, 2);
  EXPECT_EQ(block().settings.horizon, 25);
}

TEST_F(Dialog, DraggingASliderSetsItsFieldAndCommitsOnRelease) {
  open(scene(300, 200));
  // The Height slider lies at 120..255; the value under x is (x - 4 - 121) x 100 / 121.
  ASSERT_EQ(run("down 150 263; move 200 263; move 400 263; move 200 263; up 200 263; click 3"), 0);
  EXPECT_EQ(block().settings.rippleHeight, 61);
}

TEST_F(Dialog, NextGlueWrapsAndTheListFollows) {
  open(scene(300, 200));
  block().settings.glue = 61;
  ASSERT_EQ(run("click 21; click 21; click 3"), 0);
  EXPECT_EQ(block().settings.glue, 1);
  ASSERT_EQ(run("select 73 12; click 3"), 0);
  EXPECT_EQ(block().settings.glue, 13);
}

TEST_F(Dialog, ZoomStepsKeepTheirTextAndPanningMovesTheView) {
  open(scene(1200, 900));  // fit scale 3
  std::vector<std::string> texts;
  whileShown = [&] { texts.push_back(uiControlText(window(), 34)); };
  ASSERT_EQ(run("click 32; click 34; click 33; click 33; click 33; click 3"), 0);
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0], "33%");
  EXPECT_EQ(texts[1], "50%");
  EXPECT_EQ(texts[2], "100%");
  EXPECT_EQ(texts[3], "50%");
  EXPECT_EQ(texts.back(), "33%");
  EXPECT_EQ(block().panOffset.x, 0);  // back at the fit scale

  // At 100 % a drag pans (and places no centre); a click without moving places it.
  const Settings before = block().settings;
  ASSERT_EQ(run("click 34; down 600 200; move 580 190; move 560 180; up 560 180; click 3"), 0);
  // 100 % keeps the centre (600, 450) of the view at 33 %: the corner (351, 258); the drag
  // then moved the picture 40 left and 20 up.
  EXPECT_EQ(block().panOffset.x, 351 + 40);
  EXPECT_EQ(block().panOffset.y, 258 + 20);
  EXPECT_EQ(block().settings.centreX, before.centreX);
  ASSERT_EQ(run("click 34; down 600 200; up 600 200; click 3"), 0);
  EXPECT_EQ(block().centrePixel.x, 600 - 366 + 351);
  EXPECT_EQ(block().centrePixel.y, 200 + 258);
}

TEST_F(Dialog, AClickBesideTheImagePlacesTheCentreOutsideIt) {
  open(scene(300, 200));  // shown at 100 %, centred: x 465..764, y 92..291
  ASSERT_EQ(run("down 400 300; up 400 300; click 3"), 0);
  EXPECT_LT(block().settings.centreX, 0.0f);
  EXPECT_GT(block().settings.centreY, 1.0f);
}

TEST_F(Dialog, UndoStepsBackAndForthButNeverMovesTheCentre) {
  open(scene(300, 200));
  ASSERT_EQ(run("erase 86; type 86 10; wait 1000; erase 79; type 79 20; wait 1000; click 74; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 10);
  EXPECT_EQ(block().settings.rippleHeight, 33);
  // The levels outlive the dialog: Undo, Undo in the next run comes back to the same place.
  ASSERT_EQ(run("click 74; click 74; click 3"), 0);
  EXPECT_EQ(block().settings.rippleHeight, 33);
  ASSERT_EQ(run("click 74; click 3"), 0);
  EXPECT_EQ(block().settings.rippleHeight, 20);

}

TEST_F(Dialog, UndoLeavesAPickedCentreWhereItWas) {
  open(scene(600, 400));  // zoomed to 100 %, a click picks the centre on release
  ASSERT_EQ(run("erase 86; type 86 30; wait 1000; click 34; down 600 200; up 600 200; click 74; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 30);
  // The centre was 300 across before the pick; the level Undo returned to was taken then.
  EXPECT_NE(block().centrePixel.x, 300);
  EXPECT_FLOAT_EQ(block().settings.centreX, float(block().centrePixel.x) / 600.0f);
}

TEST_F(Dialog, DiceAndEcceReachTheControlsAndUndoTakesThemBack) {
  open(scene(300, 200));
  seedRandom(state().random, 42);
  ParameterBlock expected = block();
  RandomGenerator same{};
  seedRandom(same, 42);
  diceSettings(expected, same);
  ASSERT_EQ(run("click 72; click 3"), 0);
  const Settings s = block().settings;
  EXPECT_STREQ(block().settingsFileName, "random settings.q8r");
  EXPECT_EQ(s.waviness, expected.settings.waviness);
  EXPECT_EQ(s.undulation, expected.settings.undulation);
  EXPECT_EQ(s.blur, expected.settings.blur);
  EXPECT_EQ(s.waterColour.blue, expected.settings.waterColour.blue);
  EXPECT_EQ(s.horizon, 60);

  const int32_t seed = s.randomSeed;
  ASSERT_EQ(run("erase 86; type 86 12; wait 1000; click 75; click 3"), 0);
  EXPECT_EQ(block().settings.randomSeed, nextRandom(same) & 2047);
  EXPECT_NE(block().settings.randomSeed, seed);
  EXPECT_EQ(block().settings.waviness, expected.settings.waviness);

  ASSERT_EQ(run("erase 86; type 86 15; wait 1000; click 98; click 74; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 15);
  EXPECT_EQ(block().settings.waviness, expected.settings.waviness);
  ASSERT_EQ(run("click 74; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 60);
  EXPECT_STREQ(block().settingsFileName, "plain settings.q8r");
}

TEST_F(Dialog, FloatImagesHaveAFixedGlue) {
  open(scene(300, 200, 32));
  bool listEnabled = true, nextEnabled = true;
  whileShown = [&] {
    listEnabled = uiControlEnabled(window(), 73);
    nextEnabled = uiControlEnabled(window(), 21);
  };
  ASSERT_EQ(run("click 3"), 0);
  EXPECT_FALSE(listEnabled);
  EXPECT_FALSE(nextEnabled);
}

TEST_F(Dialog, PresetsLoadAndSaveAndABrokenOneChangesNothing) {
  open(scene(300, 200));
  const std::string folder = isolatedTempFolder();
  Settings preset = defaults();
  preset.waviness = 77;
  preset.glue = 9;
  const std::string good = folder + "calm.q8r", broken = folder + "broken.q8r", saved = folder + "mine";
  std::remove((saved + ".q8r").c_str());
  ASSERT_EQ(writeSettingsFile(good.c_str(), preset, nullptr), 0);
  std::FILE* f = std::fopen(broken.c_str(), "wb");
  std::fputs("not settings", f);
  std::fclose(f);

  ASSERT_EQ(run("erase 86; type 86 3; click 35; file " + broken + "; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 3);
  EXPECT_EQ(std::strcmp(block().settingsFileName, "Tarve settings.q8r"), 0);

  ASSERT_EQ(run("click 35; file " + good + "; click 3"), 0);
  EXPECT_EQ(block().settings.waviness, 77);
  EXPECT_EQ(block().settings.glue, 9);
  EXPECT_EQ(block().settings.horizon, 60);
  EXPECT_EQ(std::strcmp(block().settingsFileName, "calm.q8r"), 0);

  ASSERT_EQ(run("erase 93; type 93 66; wait 1000; click 26; file " + saved + "; click 3"), 0);
  Settings back = defaults();
  ThumbnailRead found{};
  ASSERT_EQ(readSettingsFile((saved + ".q8r").c_str(), kReadSettingsAndThumbnail, back, nullptr, found), 0);
  EXPECT_EQ(back.blur, 66);
  EXPECT_EQ(back.waviness, 77);
  EXPECT_EQ(std::strcmp(block().settingsFileName, "mine.q8r"), 0);
}

TEST_F(Dialog, TheColourPickerOfTheDesktopTakesOnlyAConfirmedColour) {
  open(scene(300, 200));
  ASSERT_EQ(run("click 7; cancel; click 3"), 0);
  EXPECT_EQ(block().settings.waterColour.red, 0x0101);
  ASSERT_EQ(run("click 7; colour 255 1 16; click 3"), 0);
  EXPECT_EQ(block().settings.waterColour.red, 0xFF00);
  EXPECT_EQ(block().settings.waterColour.green, 0x0100);
  EXPECT_EQ(block().settings.waterColour.blue, 0x1000);
}

// The host's own picker: its answer is taken as it comes (a cancelled picker answers with
// the colour it was given), byte x 256 per channel.
TEST_F(Dialog, TheHostsColourServicesAnswerForTheSwatch) {
  host.chooseColour = [](uint8_t rgb[3]) {
    if (rgb[0] == 1) rgb[1] = 200;
  };
  open(scene(300, 200));
  block().settings.waterColour = {257, 0x0202, 0x03FF};
  ASSERT_EQ(run("click 7; click 3"), 0);
  EXPECT_EQ(block().settings.waterColour.red, 256);
  EXPECT_EQ(block().settings.waterColour.green, 200 * 256);
  EXPECT_EQ(block().settings.waterColour.blue, 0x0300);
}

TEST_F(Dialog, WithoutPreviewServicesEverythingElseWorks) {
  HostSwitches noDisplay;
  noDisplay.noDisplayPixels = true;
  open(scene(300, 200), noDisplay);
  ASSERT_EQ(run("down 600 200; up 600 200; erase 86; type 86 30; click 32; click 3"), 0);
  EXPECT_EQ(block().settings.horizon, 30);
  EXPECT_FLOAT_EQ(block().settings.centreX, 0.5f);  // the area does nothing
  EXPECT_EQ(host.log.displayPixelsCalls, 0);
}

}  // namespace
