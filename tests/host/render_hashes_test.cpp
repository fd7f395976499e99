// Renders hashed over many images, settings, depths and every glue mode, at one, two and
// seven render threads. The hashes in render_hashes.txt were taken from the single-threaded
// renderer before any of the speed work; every faster path must give the same bytes.
//
// To take the hashes anew (only ever from a renderer known to be right), run this program
// with TARVE_RECORD_RENDER_HASHES=FILE: it then writes every case's hash there instead of
// comparing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/host/host.h"
#include "host/render_job.h"
#include "host/scripting_keys.h"
#include "raster/raster.h"
#include "render/work_record.h"
#include "tests/isolated_temp.h"
#include "tests/module_state.h"

extern "C" void PluginMain(int16_t selector, void* filterRecord, intptr_t* data, int16_t* result);

namespace {

constexpr int32_t kThreadCounts[] = {1, 2, 7};

uint64_t fnv1a(const void* data, size_t size, uint64_t hash = 1469598103934665603ull) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

uint32_t mix(uint32_t v) {
  v ^= v >> 16;
  v *= 0x7feb352d;
  v ^= v >> 15;
  v *= 0x846ca68b;
  return v ^ (v >> 16);
}

// A scene with what the water has to cope with: smooth sky, a hard-edged sun, hills with
// fine stripes, speckle, and (with transparency) clear holes and soft edges. Float images
// also reach a little beyond 0..1, as float images may.
HostImage scene(int32_t width, int32_t height, int32_t depth, int32_t colourPlanes, bool transparency,
                uint32_t variant) {
  HostImage image = makeHostImage(width, height, depth, colourPlanes, transparency);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
      float rgb[3] = {0.35f + 0.5f * v, 0.55f + 0.3f * v, 0.9f - 0.2f * v};
      if (std::hypot(u - 0.3f - 0.1f * (variant % 3), v - 0.25f) < 0.08f) rgb[0] = 1.0f, rgb[1] = 0.92f, rgb[2] = 0.6f;
      const float hill = 0.55f - 0.08f * std::sin(u * 11.0f + variant) - 0.03f * std::sin(u * 47.0f);
      if (v > hill) rgb[0] = 0.15f + 0.12f * ((x / 3 + y / 5) % 2), rgb[1] = 0.35f, rgb[2] = 0.2f;
      const uint32_t speckle = mix(uint32_t(x) * 7919u + uint32_t(y) * 104729u + variant);
      if (speckle % 17 == 0) rgb[speckle % 3] = (speckle >> 8) % 2 ? 0.0f : 1.0f;
      float alpha = 1.0f;
      if (transparency) {
        alpha = std::fmin(1.0f, std::fabs(std::sin(u * 5.0f + v * 3.0f)) * 1.6f);
        if ((x / 7 + y / 5) % 9 == 0) alpha = 0.0f;
      }
      for (int32_t p = 0; p < image.planes(); ++p) {
        float value = p < colourPlanes ? (colourPlanes == 1 ? 0.3f * rgb[0] + 0.6f * rgb[1] + 0.1f * rgb[2] : rgb[p])
                                       : alpha;
        uint8_t* s = image.at(x, y, p);
        if (depth == 8) *s = uint8_t(std::lround(value * 255.0f));
        if (depth == 16) {
          const uint16_t sample = uint16_t(std::lround(value * 32768.0f));
          std::memcpy(s, &sample, sizeof sample);
        }
        if (depth == 32) {
          if (p < colourPlanes && speckle % 23 == 0) value = (speckle >> 9) % 2 ? 1.25f : -0.1f;
          std::memcpy(s, &value, sizeof value);
        }
      }
    }
  return image;
}

DescriptorValue key(const char (&code)[5], int32_t value) { return integerValue(fourCharCode(code), value); }

DescriptorValue glue(int32_t mode) { return enumeratedValue(kGlueKey, kGlueEnumType, glueCode(mode)); }

struct Setting {
  const char* name;
  Descriptor values;
};

const Setting kSettings[] = {
    {"defaults", {}},
    {"all-water", {key("0005", 0), key("0009", 0)}},
    {"no-water", {key("0009", 100)}},
    {"rough", {key("0012", 100), key("0008", 100), key("0004", 100), key("0010", 100), key("0007", 100)}},
    {"blurred", {key("0011", 100), key("0005", 30), key("0009", 0)}},
    {"brilliance0", {key("0015", 0), key("0006", 100)}},
    {"brilliance100", {key("0015", 100), key("0013", 100)}},
    {"flat", {key("0013", 0), key("0010", 0), key("0004", 0)}},
    {"rings", {key("0008", 60), key("0004", 90), key("0007", 70), floatValue(fourCharCode("0017"), 0.3),
               floatValue(fourCharCode("0018"), 0.85), key("0016", -12345)}},
    {"seed256", {key("0016", 256), key("0012", 40), key("0001", 200), key("0002", 20), key("0003", 90)}},
    {"unclamped", {key("0012", 250), key("0005", -30), key("0011", 180), key("0006", -40), key("0015", 130)}},
};

struct Kind {
  const char* name;
  int32_t depth, colourPlanes;
  bool transparency;
};

const Kind kKinds[] = {{"rgb8", 8, 3, false},   {"grey8", 8, 1, false},   {"rgba8", 8, 3, true},
                       {"rgb16", 16, 3, false}, {"grey16", 16, 1, false}, {"rgba16", 16, 3, true},
                       {"rgb32", 32, 3, false}, {"grey32", 32, 1, false}, {"rgba32", 32, 3, true}};

// The recorded hashes, or the file being written when recording.
struct Hashes {
  std::map<std::string, uint64_t> expected;
  std::ofstream recording;

  Hashes() {
    if (const char* path = std::getenv("TARVE_RECORD_RENDER_HASHES")) {
      recording.open(path, std::ios::app);
      return;
    }
    std::ifstream file(std::string(TARVE_SOURCE_DIR) + "/tests/host/render_hashes.txt");
    std::string name;
    std::string hex;
    while (file >> name >> hex) expected[name] = std::stoull(hex, nullptr, 16);
  }

  void check(const std::string& name, int32_t threads, uint64_t hash) {
    if (recording.is_open()) {
      if (threads == kThreadCounts[0]) recording << name << ' ' << std::hex << hash << std::dec << '\n';
      return;
    }
    const auto found = expected.find(name);
    ASSERT_NE(found, expected.end()) << name << " has no recorded hash";
    EXPECT_EQ(found->second, hash) << name << " at " << threads << " threads";
  }
};

Hashes& hashes() {
  static Hashes h;
  return h;
}

struct ThreadCount {
  explicit ThreadCount(int32_t n) { setenv("TARVE_THREADS", std::to_string(n).c_str(), 1); }
  ~ThreadCount() { unsetenv("TARVE_THREADS"); }
};

// A run played without its dialog; the hash of what the host holds afterwards.
uint64_t finalRender(HostImage image, Descriptor values, std::vector<uint8_t> selection = {}) {
  Host host;
  hostOpen(host, PluginMain, std::move(image), std::move(selection));
  host.actions.play = std::move(values);
  host.actions.playInfo = plugInDialogDontDisplay;
  const int16_t result = hostRunFilter(host, false);
  EXPECT_EQ(result, 0);
  const uint64_t hash = fnv1a(host.destination.samples.data(), host.destination.samples.size());
  hostClose(host);
  return hash;
}

std::string caseName(const std::string& what, const Kind& kind, int32_t width, int32_t height) {
  std::ostringstream name;
  name << what << '/' << kind.name << '/' << width << 'x' << height;
  return name.str();
}

TEST(RenderHashes, FinalRendersOfEveryKindSettingAndShape) {
  for (int32_t threads : kThreadCounts) {
    ThreadCount count(threads);
    for (const Kind& kind : kKinds)
      for (const Setting& setting : kSettings) {
        const std::string name = caseName(setting.name, kind, 61, 45);
        SCOPED_TRACE(name);
        const uint64_t hash =
            finalRender(scene(61, 45, kind.depth, kind.colourPlanes, kind.transparency, 1), setting.values);
        hashes().check(name, threads, hash);
      }
    // Shapes: a single pixel, a single row or column, tiles crossed either way.
    struct Shape {
      int32_t width, height;
    };
    for (Shape shape : {Shape{1, 1}, Shape{1, 37}, Shape{53, 1}, Shape{2, 3}, Shape{530, 23}, Shape{19, 540}})
      for (const Kind& kind : {kKinds[0], kKinds[5], kKinds[8]}) {
        const std::string name = caseName("shape", kind, shape.width, shape.height);
        SCOPED_TRACE(name);
        const uint64_t hash = finalRender(
            scene(shape.width, shape.height, kind.depth, kind.colourPlanes, kind.transparency, 2),
            {key("0005", 20), key("0009", 10)});
        hashes().check(name, threads, hash);
      }
    // A selection: the mask window travels with the rows.
    std::vector<uint8_t> selection(70 * 50);
    for (size_t i = 0; i < selection.size(); ++i) selection[i] = uint8_t(mix(uint32_t(i)) % 256);
    const uint64_t hash = finalRender(scene(70, 50, 8, 3, false, 3), {}, selection);
    hashes().check("selection/rgb8/70x50", threads, hash);
  }
}

TEST(RenderHashes, EveryGlueModeAtEveryDepth) {
  for (int32_t threads : kThreadCounts) {
    ThreadCount count(threads);
    for (const Kind& kind : {kKinds[0], kKinds[1], kKinds[2], kKinds[3], kKinds[5], kKinds[6]})
      for (int32_t mode = 1; mode <= kGlueCount; ++mode) {
        // 32-bit images treat every glue as "normal": a few modes are enough there.
        if (kind.depth == 32 && mode % 20 != 1) continue;
        const std::string name = caseName("glue" + std::to_string(mode), kind, 40, 36);
        SCOPED_TRACE(name);
        const uint64_t hash = finalRender(scene(40, 36, kind.depth, kind.colourPlanes, kind.transparency, 4),
                                          {glue(mode), key("0015", 35), key("0005", 25), key("0009", 20)});
        hashes().check(name, threads, hash);
      }
  }
}


// Renders into rasters as the exports make them: the source's own size (a copy of the
// source first) and a reduced one, into each raster format.
TEST(RenderHashes, RendersIntoRasters) {
  for (int32_t threads : kThreadCounts) {
    ThreadCount count(threads);
    for (const Kind& kind : {kKinds[0], kKinds[4], kKinds[8]}) {
      struct Target {
        int32_t width, height, format;
      };
      for (Target t : {Target{57, 43, kind.depth == 8 ? kFormatRgba8 : kind.depth == 16 ? kFormatRgba16 : kFormatRgbaFloat},
                       Target{29, 22, kFormatRgba8}, Target{29, 22, kFormatRgba16}, Target{29, 22, kFormatRgbaFloat}}) {
        std::ostringstream name;
        name << "raster/" << kind.name << "/57x43/into" << t.width << 'x' << t.height << "f" << t.format;
        SCOPED_TRACE(name.str());
        Host host;
        hostOpen(host, PluginMain, scene(57, 43, kind.depth, kind.colourPlanes, kind.transparency, 5));
        host.actions.play = Descriptor{key("0012", 70), key("0005", 30), glue(13)};
        host.actions.playInfo = plugInDialogDontDisplay;
        ASSERT_EQ(hostCall(host, filterSelectorPrepare), 0);
        ASSERT_EQ(hostCall(host, filterSelectorStart), 0);
        PluginState& state = stateOf(host);
        int16_t result = 0;
        state.result = &result;  // the pointer of the last call into the module is gone
        Raster target{};
        ASSERT_TRUE(createRaster(target, t.width, t.height, t.format, kEdgeClamp, false));
        bool cancelled = false;
        renderToRaster(state, &target, cancelled);
        EXPECT_EQ(result, 0);
        EXPECT_FALSE(cancelled);
        uint64_t hash = fnv1a(nullptr, 0);
        for (int32_t y = 0; y < t.height; ++y)
          for (int32_t x = 0; x < t.width; ++x) {
            const PixelValue p = getPixel(x, y, target, 0);
            hash = fnv1a(&p, sizeof p, hash);
          }
        hashes().check(name.str(), threads, hash);
        releaseRaster(target);
        hostCall(host, filterSelectorContinue);
        hostClose(host);
      }
    }
  }
}

}  // namespace
