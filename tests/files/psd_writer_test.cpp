#include "files/psd_writer.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/files/scratch_folder.h"

namespace {

// A picture held in memory at the file's depth, counting how the writer reads it.
struct Picture {
  int32_t width, height;
  uint8_t bytesPerChannel;
  std::vector<uint8_t> rgba;
  int32_t rowsRead = 0;
  int32_t renders = 0;

  Picture(int32_t w, int32_t h, uint8_t b) : width(w), height(h), bytesPerChannel(b), rgba(size_t(w) * h * 4 * b) {}
  template <typename T>
  void set(int32_t x, int32_t y, T r, T g, T bl, T a) {
    T* p = reinterpret_cast<T*>(rgba.data()) + (size_t(y) * width + x) * 4;
    p[0] = r, p[1] = g, p[2] = bl, p[3] = a;
  }
  PsdPixels pixels() {
    return {this, [](void* c, int32_t) { return ++static_cast<Picture*>(c)->renders, OSErr(noErr); },
            [](void* c, int32_t y, void* row) {
              Picture& p = *static_cast<Picture*>(c);
              ++p.rowsRead;
              const size_t bytes = size_t(p.width) * 4 * p.bytesPerChannel;
              std::memcpy(row, p.rgba.data() + size_t(y) * bytes, bytes);
            }};
  }
  ExportDescriptor descriptor() const { return {width, height, 6, bytesPerChannel, -1}; }
};

PsdMetadata plainMetadata() {
  PsdMetadata m{};
  clearKeywords(m.keywords);
  m.date = {2024, 3, 7};
  return m;
}

std::vector<uint8_t> written(Picture& picture, const PsdMetadata& metadata, const std::string& path) {
  ExportDescriptor d = picture.descriptor();
  EXPECT_EQ(savePsdFile(path.c_str(), d, metadata, picture.pixels()), noErr);
  return readWholeFile(path);
}

// Walks a file from the start, big-endian.
struct Cursor {
  const std::vector<uint8_t>& bytes;
  size_t at = 0;
  uint32_t u8() { return bytes.at(at++); }
  uint32_t u16() { return u8() << 8 | u8(); }
  uint32_t u32() { return u16() << 16 | u16(); }
  std::string text(size_t n) {
    std::string s(bytes.begin() + long(at), bytes.begin() + long(at + n));
    at += n;
    return s;
  }
  std::vector<uint8_t> take(size_t n) {
    std::vector<uint8_t> v(bytes.begin() + long(at), bytes.begin() + long(at + n));
    at += n;
    return v;
  }
};

struct Resource {
  uint32_t id;
  std::vector<uint8_t> data;
};

// Reads the image resources section, checking each resource's frame and even padding.
std::vector<Resource> readResources(Cursor& c) {
  const size_t end = c.u32() + c.at;
  std::vector<Resource> found;
  while (c.at < end) {
    EXPECT_EQ(c.text(4), "8BIM");
    const uint32_t id = c.u16();
    EXPECT_EQ(c.u16(), 0u) << "empty name, resource " << id;
    const uint32_t length = c.u32();
    found.push_back({id, c.take(length)});
    if (length % 2) {
      EXPECT_EQ(c.u8(), 0u) << "pad of resource " << id;
    }
  }
  EXPECT_EQ(c.at, end);
  return found;
}

std::vector<uint32_t> idsOf(const std::vector<Resource>& resources) {
  std::vector<uint32_t> ids;
  for (const Resource& r : resources) ids.push_back(r.id);
  return ids;
}

const Resource& resource(const std::vector<Resource>& resources, uint32_t id) {
  for (const Resource& r : resources)
    if (r.id == id) return r;
  static const Resource none{0, {}};
  ADD_FAILURE() << "no resource " << id;
  return none;
}

// The keywords (IPTC 2:25) of resource 1028.
std::vector<std::string> iptcKeywords(const Resource& iptc) {
  std::vector<std::string> keywords;
  for (size_t at = 0; at + 5 <= iptc.data.size() && iptc.data[at] == 0x1C;) {
    const size_t length = size_t(iptc.data[at + 3]) << 8 | iptc.data[at + 4];
    if (iptc.data[at + 2] == 25) keywords.emplace_back(iptc.data.begin() + long(at + 5), iptc.data.begin() + long(at + 5 + length));
    at += 5 + length;
  }
  return keywords;
}

// The 114 bytes of the record of "layer 1", from the layout table.
std::vector<uint8_t> layerRecord(uint32_t width, uint32_t height, uint32_t bytesPerChannel) {
  std::vector<uint8_t> r;
  auto put32 = [&](uint32_t v) { r.insert(r.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}); };
  put32(0), put32(0), put32(height), put32(width);
  r.insert(r.end(), {0, 4});
  for (uint8_t id : {0xFF, 0x00, 0x01, 0x02}) {
    r.insert(r.end(), {uint8_t(id == 0xFF ? 0xFF : 0), id});
    put32(width * height * bytesPerChannel + 2);
  }
  r.insert(r.end(), {'8', 'B', 'I', 'M', 'n', 'o', 'r', 'm', 255, 0, uint8_t(bytesPerChannel == 4 ? 0x08 : 0x28), 0});
  put32(56), put32(0), put32(40);
  for (int i = 0; i < 10; ++i) r.insert(r.end(), {0, 0, 0xFF, 0xFF});
  r.insert(r.end(), {7, 'l', 'a', 'y', 'e', 'r', ' ', '1'});
  return r;
}

}  // namespace

TEST(PsdWriter, EightBitDocumentSectionBySection) {
  ScratchFolder scratch;
  Picture picture(100, 100, 1);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 100; ++x) picture.set<uint8_t>(x, y, uint8_t(x), uint8_t(y), uint8_t(x + y), 255);
  picture.set<uint8_t>(0, 0, 10, 20, 30, 0);  // transparent on a white square
  picture.set<uint8_t>(8, 0, 10, 20, 30, 0);  // transparent on a grey one
  picture.set<uint8_t>(1, 0, 0, 100, 255, 128);
  const std::vector<uint8_t> file = written(picture, plainMetadata(), scratch.file("a.psd"));

  Cursor c{file};
  EXPECT_EQ(c.take(26), (std::vector<uint8_t>{'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 100, 0, 0, 0,
                                               100, 0, 8, 0, 3}));
  EXPECT_EQ(c.u32(), 0u) << "colour mode data";
  const std::vector<Resource> resources = readResources(c);
  EXPECT_EQ(idsOf(resources), (std::vector<uint32_t>{1001, 1005, 1011, 1016, 1035, 1028, 1058, 1024, 1026}));
  EXPECT_EQ(resource(resources, 1001).data.size(), 120u);
  EXPECT_EQ(resource(resources, 1005).data, (std::vector<uint8_t>{0, 0x48, 0, 0, 0, 1, 0, 1, 0, 0x48, 0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(resource(resources, 1011).data, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 1}));
  const std::vector<uint8_t>& transfer = resource(resources, 1016).data;
  ASSERT_EQ(transfer.size(), 112u);
  for (int ink = 0; ink < 4; ++ink) {
    EXPECT_EQ(transfer[ink * 28 + 1], 0);
    EXPECT_EQ(transfer[ink * 28 + 2], 0xFF);
    EXPECT_EQ(transfer[ink * 28 + 24] << 8 | transfer[ink * 28 + 25], 1000);
  }
  EXPECT_EQ(std::string(resource(resources, 1035).data.begin(), resource(resources, 1035).data.end()), kMakerWebAddress);
  EXPECT_EQ(resource(resources, 1024).data, (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(resource(resources, 1026).data, (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(iptcKeywords(resource(resources, 1028)), (std::vector<std::string>{"Tarve"}));

  EXPECT_EQ(c.u32(), 40124u + 8) << "layer section";
  EXPECT_EQ(c.u32(), 40124u) << "layer info";
  EXPECT_EQ(c.u16(), 1u) << "layer count";
  EXPECT_EQ(c.take(114), layerRecord(100, 100, 1));
  for (int component : {3, 0, 1, 2}) {
    EXPECT_EQ(c.u16(), 0u) << "raw";
    const std::vector<uint8_t> samples = c.take(10000);
    for (size_t i = 0; i < samples.size(); ++i)
      ASSERT_EQ(samples[i], picture.rgba[i * 4 + size_t(component)]) << "component " << component << " sample " << i;
  }
  EXPECT_EQ(c.u32(), 0u) << "global mask";

  EXPECT_EQ(c.u16(), 0u) << "raw merged picture";
  const std::vector<uint8_t> red = c.take(10000), green = c.take(10000), blue = c.take(10000);
  EXPECT_EQ(red[0], 255);
  EXPECT_EQ(green[0], 255);
  EXPECT_EQ(red[8], 204);
  EXPECT_EQ(blue[8], 204);
  EXPECT_EQ(red[1], 127);   // (255 × 127 + 0 × 128) / 255
  EXPECT_EQ(green[1], 177);  // (255 × 127 + 100 × 128) / 255
  EXPECT_EQ(blue[1], 255);
  EXPECT_EQ(red[5 * 100 + 7], 7);  // opaque pixels are themselves
  EXPECT_EQ(blue[5 * 100 + 7], 12);
  EXPECT_EQ(c.at, file.size()) << "nothing after the declared planes";
  EXPECT_EQ(picture.renders, 1);
}

TEST(PsdWriter, SixteenBitLayersInTheirOwnBlock) {
  ScratchFolder scratch;
  Picture picture(9, 2, 2);
  picture.set<uint16_t>(0, 0, 32768, 16384, 1, 0);
  picture.set<uint16_t>(8, 0, 32768, 16384, 1, 0);
  picture.set<uint16_t>(1, 0, 32768, 16384, 1, 32768);
  picture.set<uint16_t>(2, 0, 0, 0, 0, 16384);
  const std::vector<uint8_t> file = written(picture, plainMetadata(), scratch.file("a.psd"));

  Cursor c{file};
  c.at = 12;
  EXPECT_EQ(c.u16(), 4u) << "channels";
  c.at = 22;
  EXPECT_EQ(c.u16(), 16u) << "depth";
  EXPECT_EQ(c.u16(), 3u);
  EXPECT_EQ(c.u32(), 0u) << "colour mode data";
  EXPECT_EQ(idsOf(readResources(c)), (std::vector<uint32_t>{1001, 1005, 1011, 1016, 1035, 1028, 1058, 1024, 1026}));

  const uint32_t body = 2 + 114 + 4 * (2 + 9 * 2 * 2);
  const size_t sectionStart = c.at + 4;
  const uint32_t sectionLength = c.u32();
  EXPECT_EQ(sectionLength, 20 + 8 + (4 + body + 3) / 4 * 4);
  EXPECT_EQ(c.u32(), 0u) << "plain layer info";
  EXPECT_EQ(c.u32(), 0u) << "global mask";
  EXPECT_EQ(c.text(8), "8BIMMt16");
  EXPECT_EQ(c.u32(), 0u);
  EXPECT_EQ(c.text(8), "8BIMLr16");
  EXPECT_EQ(c.u32(), body);
  EXPECT_EQ(c.u16(), 1u);
  EXPECT_EQ(c.take(114), layerRecord(9, 2, 2));
  EXPECT_EQ(c.u16(), 0u);
  EXPECT_EQ(c.u16(), 0u) << "alpha of (0,0)";
  c.at += 2 * 17;
  EXPECT_EQ(c.u16(), 0u);
  EXPECT_EQ(c.u16(), 65535u) << "red 32768 becomes full";
  c.at += 2 * 17;
  EXPECT_EQ(c.u16(), 0u);
  EXPECT_EQ(c.u16(), 32768u) << "green 16384 doubles";
  c.at += 2 * 17 + 2 + 2 * 18;
  EXPECT_EQ(c.at, sectionStart + sectionLength);

  EXPECT_EQ(c.u16(), 0u);
  const size_t plane = 2 * 18;
  const std::vector<uint8_t> merged = c.take(4 * plane);
  auto sample = [&](int p, int x) { return merged[size_t(p) * plane + size_t(x) * 2] << 8 | merged[size_t(p) * plane + size_t(x) * 2 + 1]; };
  EXPECT_EQ(sample(0, 0), 65280) << "white square in 15-bit units, doubled";
  EXPECT_EQ(sample(0, 8), 52224) << "grey square";
  EXPECT_EQ(sample(0, 1), 65535) << "opaque full red";
  EXPECT_EQ(sample(0, 2), 32640) << "half over white: (32640 × 16384) >> 15, doubled";
  for (int x = 0; x < 18; ++x) EXPECT_EQ(sample(3, x), 65535) << "fourth plane";
  EXPECT_EQ(c.at, file.size());
}

TEST(PsdWriter, FloatDocumentWithToningAndDeepBlocks) {
  ScratchFolder scratch;
  Picture picture(3, 2, 4);
  picture.set<float>(0, 0, 1.0f, 0.5f, 0.25f, 0.0f);
  picture.set<float>(1, 1, 2.0f, 0.0f, 0.0f, 1.0f);
  PsdMetadata metadata = plainMetadata();
  addExportKeywords(metadata.keywords, 4, "screen");
  const std::vector<uint8_t> file = written(picture, metadata, scratch.file("a.psd"));

  Cursor c{file};
  c.at = 12;
  EXPECT_EQ(c.u16(), 3u);
  c.at = 22;
  EXPECT_EQ(c.u16(), 32u);
  c.at = 26;
  ASSERT_EQ(c.u32(), 74u);
  const std::vector<uint8_t> toning = c.take(74);
  EXPECT_EQ(std::string(toning.begin(), toning.begin() + 4), "hdrt");
  EXPECT_EQ(toning[7], 3) << "version";
  EXPECT_EQ(toning[8], 0x3F) << "0.5";
  EXPECT_EQ(toning[19], 8) << "name length, UTF-16 with its terminator";
  EXPECT_EQ(toning[21], 'D');
  EXPECT_EQ(toning[33], 't');
  EXPECT_EQ(toning[58], 0x41) << "16.0";
  EXPECT_EQ(toning[59], 0x80);
  EXPECT_EQ(std::vector<uint8_t>(toning.end() - 4, toning.end()), (std::vector<uint8_t>{0x3F, 0x80, 0, 0}));

  EXPECT_EQ(c.at, 104u) << "resources start";
  const std::vector<Resource> resources = readResources(c);
  EXPECT_EQ(idsOf(resources), (std::vector<uint32_t>{1001, 1005, 1011, 1016, 1035, 1028, 1058, 1069, 1072, 1024, 1026}));
  EXPECT_EQ(resource(resources, 1069).data, (std::vector<uint8_t>{0, 1, 0, 0, 0, 0x0C}));
  EXPECT_EQ(resource(resources, 1072).data, (std::vector<uint8_t>{1}));
  EXPECT_EQ(iptcKeywords(resource(resources, 1028)),
            (std::vector<std::string>{"Tarve", "HDR", "high dynamic range", "screen"}));

  const uint32_t body = 2 + 114 + 4 * (2 + 3 * 2 * 4);
  const size_t sectionStart = c.at + 4;
  const uint32_t sectionLength = c.u32();
  EXPECT_EQ(sectionLength, 20 + 48 + (4 + body + 3) / 4 * 4);
  c.at += 8;
  EXPECT_EQ(c.text(8), "8BIMMt32");
  c.at += 4;
  EXPECT_EQ(c.text(8), "8BIMLr32");
  EXPECT_EQ(c.u32(), body);
  c.at += 2;
  EXPECT_EQ(c.take(114), layerRecord(3, 2, 4));
  EXPECT_EQ(c.u16(), 0u);
  EXPECT_EQ(c.u32(), 0u) << "alpha 0.0";
  c.at += 4 * 5;
  EXPECT_EQ(c.u16(), 0u);
  EXPECT_EQ(c.u32(), 0x3F800000u) << "red 1.0";
  c.at += 4 * 3;
  EXPECT_EQ(c.u32(), 0x40000000u) << "red 2.0 kept as it is";
  c.at += 4 + 2 * (2 + 4 * 6);
  EXPECT_EQ(c.text(8), "8BIMLMsk");
  EXPECT_EQ(c.u32(), 14u);
  EXPECT_EQ(c.take(16), (std::vector<uint8_t>{0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 50, 0x80, 0, 0, 0}));
  EXPECT_EQ(c.text(8), "8BIMPat3");
  EXPECT_EQ(c.u32(), 0u);
  EXPECT_EQ(c.at, sectionStart + sectionLength);

  EXPECT_EQ(c.u16(), 0u);
  EXPECT_EQ(c.u32(), 0x3F800000u) << "transparent red as stored, no checkerboard";
  c.at += 4 * 5;
  EXPECT_EQ(c.u32(), 0x3F000000u) << "green 0.5";
  c.at += 4 * 5 + 4 * 6;
  EXPECT_EQ(c.at, file.size());
}

TEST(PsdWriter, KeywordsByGlueModeAndDepth) {
  struct Case {
    uint8_t bytesPerChannel;
    const char* glue;
    std::vector<std::string> keywords;
  } cases[] = {
      {1, "normal", {}},
      {2, "superlay", {"superlay"}},
      {4, "normal", {"HDR", "high dynamic range"}},
      {4, "limbic", {"HDR", "high dynamic range", "limbic"}},
      {1, nullptr, {}},
  };
  for (const Case& c : cases) {
    KeywordList list;
    clearKeywords(list);
    addExportKeywords(list, c.bytesPerChannel, c.glue);
    std::vector<std::string> got(list.entries, list.entries + list.count);
    EXPECT_EQ(got, c.keywords) << int(c.bytesPerChannel) << " " << (c.glue ? c.glue : "none");
  }
}

TEST(PsdWriter, ProfileResourceOnlyWhenThereIsOneAndPaddedWhenOdd) {
  ScratchFolder scratch;
  Picture picture(2, 2, 1);
  const uint8_t profile[5] = {'p', 'r', 'o', 'f', '!'};
  for (int32_t size : {5, 0}) {
    PsdMetadata metadata = plainMetadata();
    metadata.iccProfile = profile;
    metadata.iccSize = size;
    const std::vector<uint8_t> file = written(picture, metadata, scratch.file("icc.psd"));
    Cursor c{file};
    c.at = 30;
    const std::vector<Resource> resources = readResources(c);  // checks every later frame
    if (size) {
      EXPECT_EQ(idsOf(resources), (std::vector<uint32_t>{1001, 1005, 1011, 1016, 1035, 1039, 1028, 1058, 1024, 1026}));
      EXPECT_EQ(resource(resources, 1039).data, std::vector<uint8_t>(profile, profile + 5));
    } else {
      EXPECT_EQ(idsOf(resources).size(), 9u);
    }
    ExportDescriptor d = picture.descriptor();
    EXPECT_EQ(int64_t(file.size()), psdFileSize(d, metadata));
  }
}

TEST(PsdWriter, ReplacesFilesWholeOrNotAtAll) {
  ScratchFolder scratch;
  const std::string path = scratch.file("over.psd");
  const std::vector<uint8_t> old(200000, 0xAB);
  Picture picture(100, 100, 1);

  // A longer file is replaced by exactly the new document.
  writeWholeFile(path, old);
  const std::vector<uint8_t> fresh = written(picture, plainMetadata(), path);
  ExportDescriptor d = picture.descriptor();
  EXPECT_EQ(int64_t(fresh.size()), psdFileSize(d, plainMetadata()));
  EXPECT_EQ(std::vector<uint8_t>(fresh.end() - 4, fresh.end()), std::vector<uint8_t>(4, 255)) << "last merged bytes";

  // A write that fails half-way, here at a file size limit, leaves the old file as it was,
  // no temporary file behind, and stops the writer at once: a picture of several bands
  // is not read to its end.
  writeWholeFile(path, old);
  Picture tall(100, 6000, 1);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 15000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  d = tall.descriptor();
  const OSErr failed = savePsdFile(path.c_str(), d, plainMetadata(), tall.pixels());
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(failed, writErr);
  EXPECT_LT(tall.rowsRead, 6000) << "the writer went on after the failure";
  EXPECT_EQ(readWholeFile(path), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path), {}), 1);

  // A folder that does not exist, and a picture too large for the format's lengths.
  d = picture.descriptor();
  EXPECT_EQ(savePsdFile(scratch.file("missing/x.psd").c_str(), d, plainMetadata(), picture.pixels()), kErrCannotOpen);
  Picture huge(0, 0, 1);
  for (auto [w, h, b] : {std::tuple{30001, 10, 1}, std::tuple{30000, 30000, 1}, std::tuple{20000, 20000, 4}}) {
    ExportDescriptor big{w, h, 6, uint8_t(b), -1};
    EXPECT_EQ(savePsdFile(path.c_str(), big, plainMetadata(), huge.pixels()), kErrTooLarge) << w << " x " << h;
  }
  EXPECT_EQ(huge.renders, 0);
  EXPECT_EQ(readWholeFile(path), old);
}
