#include "host/settings_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "files/file_io.h"
#include "files/memory_dot_store.h"
#include "raster/memory.h"
#include "tests/files/scratch_folder.h"
#include "tests/files/thumbnail_test_support.h"

namespace {

// Every field different from its default and from every other field.
Settings distinctSettings(int32_t base) {
  Settings s;
  std::memset(&s, 0, sizeof s);
  auto colour = [&](int n) { return Colour16{uint16_t(base + 10 * n), uint16_t(base + 10 * n + 1), uint16_t(base + 10 * n + 2)}; };
  s.waterColour = colour(1), s.colourA = colour(2), s.colourB = colour(3), s.colourC = colour(4);
  s.colourD = colour(5), s.colourE = colour(6), s.colourF = colour(7), s.colourG = colour(8);
  int32_t* ints[] = {&s.glue,        &s.randomSeed,  &s.rippleHeight, &s.storedInt01, &s.storedInt02,
                     &s.storedInt03, &s.horizon,     &s.perspective,  &s.storedInt04, &s.storedInt05,
                     &s.storedInt06, &s.storedInt07, &s.undulation,   &s.storedInt08, &s.storedInt09,
                     &s.storedInt10, &s.rippleSize,  &s.offset,       &s.waviness,    &s.blur,
                     &s.complexity,  &s.altitude,    &s.storedInt11,  &s.storedInt12, &s.storedInt13,
                     &s.storedInt14, &s.storedInt15, &s.storedInt16,  &s.storedInt17, &s.brilliance,
                     &s.storedInt18, &s.storedInt19};
  for (size_t i = 0; i < std::size(ints); ++i) *ints[i] = base + 200 + int32_t(i);
  s.vectorA = {float(base % 90) / 100.0f, -0.31f, 0.5f};
  s.vectorB = {0.07f, -0.93f, -0.12f};
  s.centreX = float(base % 7) / 8.0f;
  s.centreY = 1.25f;
  return s;
}

// One 32-bit value of a version-40 file: where it is and what it holds, as the file stores it.
struct Slot {
  int offset;
  const char* name;
  std::function<int32_t(const Settings&)> stored;
};

int32_t scaled(float v, float factor) { return static_cast<int32_t>(v * factor); }

std::vector<Slot> layout() {
  std::vector<Slot> slots;
  auto colour = [&](int offset, const char* name, Colour16 Settings::*c) {
    slots.push_back({offset, name, [c](const Settings& s) { return int32_t((s.*c).red); }});
    slots.push_back({offset + 4, name, [c](const Settings& s) { return int32_t((s.*c).green); }});
    slots.push_back({offset + 8, name, [c](const Settings& s) { return int32_t((s.*c).blue); }});
  };
  auto integer = [&](int offset, const char* name, int32_t Settings::*f) {
    slots.push_back({offset, name, [f](const Settings& s) { return s.*f; }});
  };
  auto vector = [&](int offset, const char* name, Vector3 Settings::*v) {
    slots.push_back({offset, name, [v](const Settings& s) { return scaled((s.*v).x, 100.0f); }});
    slots.push_back({offset + 4, name, [v](const Settings& s) { return scaled((s.*v).y, 100.0f); }});
    slots.push_back({offset + 8, name, [v](const Settings& s) { return scaled((s.*v).z, 100.0f); }});
  };
  colour(4, "waterColour", &Settings::waterColour);
  colour(16, "colourA", &Settings::colourA);
  colour(28, "colourB", &Settings::colourB);
  integer(40, "rippleHeight", &Settings::rippleHeight);
  integer(44, "storedInt01", &Settings::storedInt01);
  integer(48, "storedInt02", &Settings::storedInt02);
  integer(52, "storedInt03", &Settings::storedInt03);
  integer(56, "horizon", &Settings::horizon);
  integer(60, "perspective", &Settings::perspective);
  integer(64, "storedInt04", &Settings::storedInt04);
  integer(68, "storedInt05", &Settings::storedInt05);
  integer(72, "storedInt06", &Settings::storedInt06);
  integer(76, "storedInt07", &Settings::storedInt07);
  integer(80, "undulation", &Settings::undulation);
  integer(84, "storedInt08", &Settings::storedInt08);
  integer(88, "storedInt09", &Settings::storedInt09);
  integer(92, "rippleSize", &Settings::rippleSize);
  integer(96, "offset", &Settings::offset);
  integer(100, "waviness", &Settings::waviness);
  integer(104, "blur", &Settings::blur);
  integer(108, "complexity", &Settings::complexity);
  integer(112, "storedInt12", &Settings::storedInt12);
  integer(116, "storedInt13", &Settings::storedInt13);
  colour(120, "colourE", &Settings::colourE);  // and again at 132
  colour(144, "colourG", &Settings::colourG);
  integer(156, "altitude", &Settings::altitude);
  integer(160, "storedInt11", &Settings::storedInt11);
  integer(164, "storedInt10", &Settings::storedInt10);
  integer(168, "glue", &Settings::glue);
  integer(176, "storedInt14", &Settings::storedInt14);
  integer(180, "storedInt15", &Settings::storedInt15);
  integer(184, "storedInt17", &Settings::storedInt17);
  integer(188, "brilliance", &Settings::brilliance);
  integer(192, "storedInt18", &Settings::storedInt18);
  vector(196, "vectorA", &Settings::vectorA);
  vector(208, "vectorB", &Settings::vectorB);
  integer(220, "randomSeed", &Settings::randomSeed);
  integer(224, "storedInt16", &Settings::storedInt16);
  integer(232, "storedInt19", &Settings::storedInt19);
  colour(236, "colourC", &Settings::colourC);
  colour(248, "colourD", &Settings::colourD);
  colour(264, "colourF", &Settings::colourF);
  slots.push_back({276, "centreX", [](const Settings& s) { return scaled(s.centreX, 65536.0f); }});
  slots.push_back({280, "centreY", [](const Settings& s) { return scaled(s.centreY, 65536.0f); }});
  return slots;
}

int32_t valueAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return int32_t(uint32_t(bytes[offset]) << 24 | uint32_t(bytes[offset + 1]) << 16 | uint32_t(bytes[offset + 2]) << 8 |
                 bytes[offset + 3]);
}

std::vector<uint8_t> bigEndian(const std::vector<int32_t>& values) {
  std::vector<uint8_t> bytes;
  for (int32_t v : values)
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(uint8_t(uint32_t(v) >> shift));
  return bytes;
}

void expectSameFields(const Settings& expected, const Settings& actual, const std::string& context) {
  for (const Slot& slot : layout())
    EXPECT_EQ(slot.stored(actual), slot.stored(expected)) << slot.name << " at " << slot.offset << ", " << context;
}

OSErr read(const std::string& path, Settings& s, int32_t mode = kReadSettingsAndThumbnail, Raster* thumbnail = nullptr) {
  ThumbnailRead found;
  return readSettingsFile(path.c_str(), mode, s, thumbnail, found);
}

class SettingsFile : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  std::string path = scratch.file("preset.q8r");
};

}  // namespace

TEST_F(SettingsFile, DefaultsWrittenAndReadBack) {
  Settings defaults{};
  applyDefaultSettings(defaults);
  ASSERT_EQ(writeSettingsFile(path.c_str(), defaults, nullptr), noErr);
  const std::vector<uint8_t> bytes = readWholeFile(path);
  ASSERT_EQ(bytes.size(), 288u);
  EXPECT_EQ(valueAt(bytes, 0), 40);
  EXPECT_EQ(valueAt(bytes, 276), 32768);  // centreX 0.5
  EXPECT_EQ(valueAt(bytes, 196), -68);    // vectorA x
  EXPECT_EQ(valueAt(bytes, 284), 0);      // no thumbnail

  Settings loaded = distinctSettings(7);
  ASSERT_EQ(read(path, loaded), noErr);
  // Scaled values come back at the file's precision: z 0.27423 as 0.27, centreY 0.2 as
  // 13107 / 65536; everything else exactly.
  EXPECT_FLOAT_EQ(loaded.vectorA.z, 0.27f);
  EXPECT_FLOAT_EQ(loaded.centreY, 13107.0f / 65536.0f);
  Settings expected = defaults;
  expected.vectorA.z = 0.27f;
  expected.centreY = 13107.0f / 65536.0f;
  EXPECT_EQ(std::memcmp(&loaded, &expected, sizeof loaded), 0);

  // Saving what was read writes the same bytes again: nothing drifts from save to save.
  ASSERT_EQ(writeSettingsFile(path.c_str(), loaded, nullptr), noErr);
  EXPECT_EQ(readWholeFile(path), bytes);
}

TEST_F(SettingsFile, EveryValueAtItsOffset) {
  const Settings s = distinctSettings(3000);
  ASSERT_EQ(writeSettingsFile(path.c_str(), s, nullptr), noErr);
  const std::vector<uint8_t> bytes = readWholeFile(path);
  ASSERT_EQ(bytes.size(), 288u);
  for (const Slot& slot : layout()) EXPECT_EQ(valueAt(bytes, size_t(slot.offset)), slot.stored(s)) << slot.name;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(valueAt(bytes, size_t(132 + 4 * i)), valueAt(bytes, size_t(120 + 4 * i)));
  EXPECT_EQ(valueAt(bytes, 172), 1);
  EXPECT_EQ(valueAt(bytes, 228), 1);
  EXPECT_EQ(valueAt(bytes, 260), 0);
  Settings back = distinctSettings(9);
  ASSERT_EQ(read(path, back), noErr);
  expectSameFields(s, back, "round trip");
}

TEST_F(SettingsFile, Version14IsBroughtUpToDate) {
  std::vector<int32_t> v = {14};
  for (int i = 0; i < 9; ++i) v.push_back(100 + i);         // water, A, B
  v.push_back(33);                                          // rippleHeight
  for (int i = 0; i < 12; ++i) v.push_back(300 + i);        // storedInt01 .. storedInt09
  v.insert(v.end(), {41, 30});                              // rippleSize, offset
  v.insert(v.end(), {51, 52, 53, 54, 55});                  // waviness .. storedInt13
  v.insert(v.end(), {1, 2, 3, 600, 601, 602});              // colourE twice
  v.insert(v.end(), {700, 701, 702, 61, 62, 63});           // colourG, altitude, storedInt11, storedInt10
  v.insert(v.end(), {17, 999});                             // glue, skipped
  v.insert(v.end(), {71, 72, 73});                          // storedInt14, 15, 17
  v.insert(v.end(), {81, 82});                              // brilliance, storedInt18
  v.insert(v.end(), {-50, 25, 80, 10, -90, 5});             // vectorA, vectorB
  v.insert(v.end(), {4242, 91});                            // randomSeed, storedInt16
  writeWholeFile(path, bigEndian(v));

  const Settings before = distinctSettings(5000);
  Settings s = before;
  ASSERT_EQ(read(path, s), noErr);
  EXPECT_EQ(s.waterColour.red, 100);
  EXPECT_EQ(s.colourB.blue, 108);
  EXPECT_EQ(s.rippleHeight, 110);  // 33 / 0.3
  EXPECT_EQ(s.horizon, 303);
  EXPECT_EQ(s.perspective, 57);
  EXPECT_EQ(s.undulation, 309);
  EXPECT_EQ(s.rippleSize, 41);
  EXPECT_EQ(s.offset, 70);
  EXPECT_EQ(s.waviness, 0);
  EXPECT_EQ(s.blur, 52);
  EXPECT_EQ(s.colourE.red, 600);
  EXPECT_EQ(s.colourG.blue, 702);
  EXPECT_EQ(s.altitude, 50);
  EXPECT_EQ(s.storedInt10, 63);
  EXPECT_EQ(s.glue, 17);
  EXPECT_EQ(s.storedInt14, 0);
  EXPECT_EQ(s.storedInt15, 72);
  EXPECT_EQ(s.storedInt17, 0);
  EXPECT_EQ(s.brilliance, 81);
  EXPECT_EQ(s.storedInt18, 82);
  EXPECT_FLOAT_EQ(s.vectorA.x, -0.5f);
  EXPECT_FLOAT_EQ(s.vectorB.y, -0.9f);
  EXPECT_EQ(s.randomSeed, 4242);
  EXPECT_EQ(s.storedInt16, 91);
  // Not in a version-14 file.
  EXPECT_EQ(s.storedInt19, before.storedInt19);
  EXPECT_EQ(s.colourC.red, before.colourC.red);
  EXPECT_EQ(s.colourD.blue, before.colourD.blue);
  EXPECT_EQ(s.colourF.green, before.colourF.green);
  EXPECT_EQ(s.centreX, before.centreX);
  EXPECT_EQ(s.centreY, before.centreY);
}

TEST_F(SettingsFile, Version6IsBroughtUpToDate) {
  std::vector<int32_t> v = {6};
  for (int i = 0; i < 9; ++i) v.push_back(100 + i);
  v.push_back(10);                                   // rippleHeight
  for (int i = 0; i < 12; ++i) v.push_back(300 + i);
  v.insert(v.end(), {41, 30});
  v.insert(v.end(), {51, 52, 53, 54, 55});
  v.insert(v.end(), {1, 2, 3, 600, 601, 602});
  v.insert(v.end(), {700, 701, 702, 61, 62, 63});
  v.insert(v.end(), {17, 999});
  v.insert(v.end(), {71, 72, 73});
  v.insert(v.end(), {81, 20});                       // brilliance, storedInt18
  writeWholeFile(path, bigEndian(v));

  const Settings before = distinctSettings(5000);
  Settings s = before;
  ASSERT_EQ(read(path, s), noErr);
  EXPECT_EQ(s.rippleHeight, 33);  // 10 / 0.3, truncated
  EXPECT_EQ(s.offset, 70);
  EXPECT_EQ(s.storedInt10, 64);   // before version 11 one more
  EXPECT_EQ(s.storedInt18, 80);
  EXPECT_EQ(s.colourE.red, 100);  // the water colour
  EXPECT_EQ(s.colourE.green, 101);
  EXPECT_EQ(s.colourE.blue, 102);
  EXPECT_EQ(s.brilliance, 100);
  EXPECT_EQ(s.undulation, 50);
  EXPECT_EQ(s.altitude, 50);
  EXPECT_EQ(s.perspective, 57);
  EXPECT_EQ(s.waviness, 0);
  EXPECT_EQ(s.storedInt17, 0);
  EXPECT_EQ(s.storedInt14, 0);
  EXPECT_EQ(s.vectorA.x, before.vectorA.x);
  EXPECT_EQ(s.vectorB.z, before.vectorB.z);
  EXPECT_EQ(s.randomSeed, before.randomSeed);
  EXPECT_EQ(s.storedInt16, before.storedInt16);
}

TEST_F(SettingsFile, ThumbnailOnlyReadChangesNoSetting) {
  for (int32_t version = 1; version <= 40; ++version) {
    std::vector<int32_t> v = {version};
    for (int i = 0; i < 90; ++i) v.push_back(i % 5 == 0 ? 0 : 1000 + i);
    writeWholeFile(path, bigEndian(v));
    const Settings before = distinctSettings(100 + version);
    Settings s = before;
    read(path, s, kReadThumbnailOnly);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << "version " << version;
    read(path, s, kReadSettingsAndThumbnail);
    EXPECT_NE(s.waterColour.green, before.waterColour.green) << "version " << version;
  }
}

TEST_F(SettingsFile, ThumbnailTravelsWithTheFile) {
  TestThumbnail original, loaded;
  paintPattern(original.raster);
  const Settings written = distinctSettings(42);
  ASSERT_EQ(writeSettingsFile(path.c_str(), written, &original.raster), noErr);
  const std::vector<uint8_t> bytes = readWholeFile(path);
  ASSERT_GT(bytes.size(), 300u);
  EXPECT_EQ(valueAt(bytes, 284), 1);
  EXPECT_EQ(valueAt(bytes, 288), 128);
  EXPECT_EQ(valueAt(bytes, 292), 128);
  EXPECT_EQ(size_t(valueAt(bytes, 296)), bytes.size() - 300);
  EXPECT_EQ(bytes[300], 0xFF);
  EXPECT_EQ(bytes[301], 0xD8);

  // The thumbnail-only read fills the picture and leaves the settings alone.
  const Settings before = distinctSettings(1);
  Settings s = before;
  ThumbnailRead found{};
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadThumbnailOnly, s, &loaded.raster, found), noErr);
  EXPECT_TRUE(found.loaded);
  EXPECT_EQ(found.width, 128);
  EXPECT_EQ(found.height, 128);
  EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
  EXPECT_LT(meanDifference(original.raster, loaded.raster), 2.0);

  resetToBlankThumbnail(loaded.raster);
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, s, &loaded.raster, found), noErr);
  EXPECT_TRUE(found.loaded);
  expectSameFields(written, s, "with thumbnail");
  EXPECT_LT(meanDifference(original.raster, loaded.raster), 2.0);

  // Without a thumbnail raster the stream is passed over.
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, s, nullptr, found), noErr);
  EXPECT_FALSE(found.loaded);
  EXPECT_EQ(found.width, 128);
}

TEST_F(SettingsFile, ThumbnailBlocksThatMustBeSkipped) {
  const Settings written = distinctSettings(77);
  ASSERT_EQ(writeSettingsFile(path.c_str(), written, nullptr), noErr);
  std::vector<uint8_t> head = readWholeFile(path);
  head.resize(284);
  struct Case {
    std::vector<int32_t> block;
    size_t streamBytes;
    OSErr result;
  } cases[] = {
      {{1, 128, 128, 60000}, 60000, noErr},        // longer than the 49152-byte buffer
      {{1, 128, 128, 0x7FFFFFFF}, 100, readErr},   // a count far beyond the file's end
      {{1, 128, 128, -5}, 0, noErr},
      {{2, 128, 128, 1000}, 1000, noErr},          // an unknown kind of thumbnail
      {{1, 128, 128, 49152}, 49152, noErr},        // fits, but is no JPEG
      {{1, 0, 0, 10}, 10, noErr},                  // nothing to show
      {{1, 900, -3, 10}, 10, noErr},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = head;
    const std::vector<uint8_t> block = bigEndian(c.block);
    bytes.insert(bytes.end(), block.begin(), block.end());
    bytes.resize(bytes.size() + c.streamBytes, 0x11);
    writeWholeFile(path, bytes);
    TestThumbnail thumbnail;
    Settings s = distinctSettings(1);
    ThumbnailRead found{};
    EXPECT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, s, &thumbnail.raster, found), c.result)
        << c.block[0] << " " << c.block[3];
    EXPECT_FALSE(found.loaded);
    EXPECT_GE(found.width, 0);
    EXPECT_LE(found.width, 128);
    EXPECT_LE(found.height, 128);
    expectSameFields(written, s, "block " + std::to_string(c.block[3]));
    EXPECT_EQ(getPixel(3, 100, thumbnail.raster, 0).r, 155);  // still blank
  }
}

TEST_F(SettingsFile, SmallThumbnailsOfOlderVersions) {
  // Version 30: the small-thumbnail block sits after colourD, colourF after it.
  auto file = [](int32_t width, int32_t height, const std::vector<uint8_t>& pixels) {
    std::vector<int32_t> v = {30};
    for (int i = 0; i < 64; ++i) v.push_back(i + 1);  // up to and with colourD
    v.insert(v.end(), {1, width, height});
    std::vector<uint8_t> bytes = bigEndian(v);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    const std::vector<uint8_t> tail = bigEndian({0x1111, 0x2222, 0x3333, 32768, 16384});
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  };
  std::vector<uint8_t> red4x4;
  for (int i = 0; i < 16; ++i) red4x4.insert(red4x4.end(), {250, 10, 20});
  writeWholeFile(path, file(4, 4, red4x4));

  TestThumbnail thumbnail;
  Settings s = distinctSettings(1);
  ThumbnailRead found{};
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, s, &thumbnail.raster, found), noErr);
  EXPECT_TRUE(found.loaded);
  EXPECT_EQ(found.width, 4);
  const PixelValue p = getPixel(64, 64, thumbnail.raster, 0);
  EXPECT_NEAR(p.r, 250, 2);
  EXPECT_NEAR(p.g, 10, 2);
  EXPECT_EQ(p.a, 255);
  EXPECT_EQ(s.colourF.red, 0x1111);
  EXPECT_FLOAT_EQ(s.centreX, 0.5f);

  // Without a thumbnail raster exactly the pixel bytes are passed over, whatever the size,
  // so the values after them still read right.
  Settings t = distinctSettings(2);
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, t, nullptr, found), noErr);
  EXPECT_FALSE(found.loaded);
  EXPECT_EQ(t.colourF.blue, 0x3333);
  EXPECT_FLOAT_EQ(t.centreY, 0.25f);

  // A narrow picture is stretched over the whole thumbnail (the fuzzer once found an
  // overflow in the scaling of exactly this one).
  writeWholeFile(path, file(4, 50, std::vector<uint8_t>(4 * 50 * 3, 200)));
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, t, &thumbnail.raster, found), noErr);
  EXPECT_TRUE(found.loaded);
  EXPECT_NEAR(getPixel(127, 127, thumbnail.raster, 0).g, 200, 2);

  // Sizes beyond 128 are clamped.
  writeWholeFile(path, file(500, 1, std::vector<uint8_t>(128 * 3, 90)));
  ASSERT_EQ(readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, t, &thumbnail.raster, found), noErr);
  EXPECT_EQ(found.width, 128);
  EXPECT_EQ(found.height, 1);
  EXPECT_EQ(t.colourF.green, 0x2222);
}

TEST_F(SettingsFile, AFileThatEndsEarlyKeepsWhatWasNotRead) {
  const Settings written = distinctSettings(1000), before = distinctSettings(2000);
  ASSERT_EQ(writeSettingsFile(path.c_str(), written, nullptr), noErr);
  const std::vector<uint8_t> whole = readWholeFile(path);
  const std::vector<Slot> slots = layout();
  for (size_t length = 0; length < whole.size(); ++length) {
    writeWholeFile(path, std::vector<uint8_t>(whole.begin(), whole.begin() + long(length)));
    Settings s = before;
    EXPECT_EQ(read(path, s), readErr) << length;
    for (const Slot& slot : slots) {
      const bool wasRead = size_t(slot.offset) + 4 <= length;
      ASSERT_EQ(slot.stored(s), slot.stored(wasRead ? written : before)) << slot.name << ", file of " << length << " bytes";
    }
  }
}

TEST_F(SettingsFile, FilesThatAreNotSettingsFiles) {
  const Settings before = distinctSettings(9);
  for (int32_t version : {0, 41, -1, 0x7FFFFFFF}) {
    std::vector<int32_t> v = {version};
    v.resize(100, 5);
    writeWholeFile(path, bigEndian(v));
    Settings s = before;
    EXPECT_EQ(read(path, s), readErr) << version;
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0) << version;
  }
  Settings s = before;
  EXPECT_EQ(read(scratch.file("missing.q8r"), s), kErrCannotOpen);
  EXPECT_EQ(read(scratch.path, s), kErrCannotOpen);
  EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST_F(SettingsFile, RandomBytesNeverHurt) {
  std::mt19937 random(1234);
  TestThumbnail thumbnail;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes(random() % 2000);
    for (uint8_t& b : bytes) b = uint8_t(random() % 4 == 0 ? random() : 0);  // small numbers are likelier to count
    if (bytes.size() >= 4) bytes[3] = uint8_t(1 + random() % 40);
    writeWholeFile(path, bytes);
    Settings s = distinctSettings(round);
    ThumbnailRead found{};
    const OSErr result = readSettingsFile(path.c_str(), round % 2, s, &thumbnail.raster, found);
    EXPECT_TRUE(result == noErr || result == readErr) << result;
    EXPECT_TRUE(found.width >= 0 && found.width <= 128 && found.height >= 0 && found.height <= 128);
  }
}

TEST_F(SettingsFile, HostileValuesSaturate) {
  std::vector<int32_t> v = {6};
  v.resize(1 + 9, 0);
  v.push_back(std::numeric_limits<int32_t>::max());  // rippleHeight, divided by 0.3
  v.resize(v.size() + 12, 0);
  v.insert(v.end(), {0, std::numeric_limits<int32_t>::min()});  // offset = 100 - it
  v.resize(v.size() + 11, 0);
  v.insert(v.end(), {0, 0, 0, 0, 0, std::numeric_limits<int32_t>::max()});  // storedInt10 + 1
  v.insert(v.end(), {0, 0, 0, 0, 0, 0, std::numeric_limits<int32_t>::min()});  // storedInt18 = 100 - it
  writeWholeFile(path, bigEndian(v));
  Settings s = distinctSettings(0);
  ASSERT_EQ(read(path, s), noErr);
  EXPECT_EQ(s.rippleHeight, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(s.offset, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(s.storedInt10, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(s.storedInt18, std::numeric_limits<int32_t>::max());

  s.centreX = std::nanf("");
  s.centreY = -1e30f;
  s.vectorA = {1e30f, -0.5f, 0.0f};
  ASSERT_EQ(writeSettingsFile(path.c_str(), s, nullptr), noErr);
  const std::vector<uint8_t> bytes = readWholeFile(path);
  EXPECT_EQ(valueAt(bytes, 276), 0);
  EXPECT_EQ(valueAt(bytes, 280), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(valueAt(bytes, 196), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(valueAt(bytes, 200), -50);
}

namespace {
void* refuse(size_t) { return nullptr; }
}  // namespace

TEST_F(SettingsFile, WriterFailures) {
  const Settings s = distinctSettings(1);
  EXPECT_EQ(writeSettingsFile(scratch.file("no/such/folder.q8r").c_str(), s, nullptr), kErrCannotOpen);

  // An older, longer file is cut to the new length.
  writeWholeFile(path, std::vector<uint8_t>(5000, 0xAA));
  ASSERT_EQ(writeSettingsFile(path.c_str(), s, nullptr), noErr);
  EXPECT_EQ(readWholeFile(path).size(), 288u);

  // No memory to code the thumbnail in: the block is the single value 0.
  TestThumbnail thumbnail;
  void* (*saved)(size_t) = systemAllocate;
  systemAllocate = refuse;
  const OSErr result = writeSettingsFile(path.c_str(), s, &thumbnail.raster);
  systemAllocate = saved;
  EXPECT_EQ(result, noErr);
  const std::vector<uint8_t> bytes = readWholeFile(path);
  ASSERT_EQ(bytes.size(), 288u);
  EXPECT_EQ(valueAt(bytes, 284), 0);
}

TEST_F(SettingsFile, CachedSettingsInTheTemporaryFolder) {
  ScratchFolder temporary(true);
  const Settings before = distinctSettings(3);
  Settings s = before;
  EXPECT_EQ(loadCachedSettings(s, nullptr), kErrCannotOpen);
  EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);

  const Settings saved = distinctSettings(4);
  ASSERT_EQ(saveCachedSettings(saved, nullptr), noErr);
  EXPECT_EQ(readWholeFile(temporary.file("Tarve cached settings C")).size(), 288u);
  ASSERT_EQ(loadCachedSettings(s, nullptr), noErr);
  expectSameFields(saved, s, "cached");
}
