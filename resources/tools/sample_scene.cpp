// Draws the sample scene that `make run` renders: an evening sky with a low sun and a few
// clouds, two ranges of distant mountains fading into the haze, a dark wooded shore, and
// below the shore the flat ground that the water will cover. The shore sits where the
// filter's default settings put the water line (60 % of the horizon setting times 0.99 of
// the height), so that the reflection mirrors the whole landscape.
//
// Everything is computed from a fixed hash, so every build draws the same picture.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

int sceneWidth = 1500, sceneHeight = 1000;  // the benchmark asks for other sizes
constexpr float kShore = 0.594f;  // the default water line, as a fraction of the height

struct Colour {
  float r, g, b;
};

Colour mix(Colour a, Colour b, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float hash(int32_t x, int32_t y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return float((h ^ (h >> 16)) & 0xFFFFFF) / float(0xFFFFFF);
}

float smooth(float t) { return t * t * (3 - 2 * t); }

float valueNoise(float x, float y, uint32_t seed) {
  const int32_t ix = int32_t(std::floor(x)), iy = int32_t(std::floor(y));
  const float fx = smooth(x - ix), fy = smooth(y - iy);
  const float top = hash(ix, iy, seed) + (hash(ix + 1, iy, seed) - hash(ix, iy, seed)) * fx;
  const float bottom = hash(ix, iy + 1, seed) + (hash(ix + 1, iy + 1, seed) - hash(ix, iy + 1, seed)) * fx;
  return top + (bottom - top) * fy;
}

// Fractal noise of `octaves` layers, 0..1.
float fractal(float x, float y, int octaves, uint32_t seed) {
  float sum = 0, amplitude = 0.5f, total = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += valueNoise(x, y, seed + uint32_t(o)) * amplitude;
    total += amplitude;
    x *= 2.03f;
    y *= 2.03f;
    amplitude *= 0.5f;
  }
  return sum / total;
}

Colour sky(float u, float v) {
  const Colour zenith{28, 52, 112}, middle{96, 132, 190}, glow{252, 196, 140};
  Colour c = v < 0.3f ? mix(zenith, middle, v / 0.3f) : mix(middle, glow, (v - 0.3f) / (kShore - 0.3f));
  // The sun low on the right, with a wide warm halo.
  const float dx = (u - 0.68f) * (float(sceneWidth) / float(sceneHeight)), dy = v - 0.43f;
  const float distance = std::sqrt(dx * dx + dy * dy);
  c = mix(c, Colour{255, 226, 170}, 0.55f * std::exp(-distance * 6.0f));
  c = mix(c, Colour{255, 250, 230}, std::clamp((0.035f - distance) / 0.006f, 0.0f, 1.0f));
  // Long thin clouds, lit from below by the sun.
  const float cloud = fractal(u * 5.0f, v * 22.0f, 5, 11) - 0.52f + v * 0.25f;
  if (cloud > 0) {
    const Colour lit = mix(Colour{236, 170, 150}, Colour{250, 214, 176}, 1.0f - distance);
    c = mix(c, lit, std::min(cloud * 4.0f, 0.85f));
  }
  return c;
}

// The height of a mountain ridge above the shore at column u, as a fraction of the image.
float ridge(float u, float base, float amplitude, float scale, uint32_t seed) {
  // Folded noise gives sharp crests instead of rounded humps.
  const float n = 1.0f - std::fabs(2.0f * fractal(u * scale, 0.5f, 6, seed) - 1.0f);
  return base + amplitude * n * n * n;
}

Colour pixel(int x, int y) {
  const float u = (x + 0.5f) / sceneWidth, v = (y + 0.5f) / sceneHeight;
  if (v >= kShore) {
    // Flat ground under the coming water: damp sand darkening towards the viewer.
    const float grain = fractal(u * 300.0f, v * 60.0f, 3, 71);
    return mix(Colour{150, 128, 98}, Colour{92, 78, 60}, (v - kShore) * 2.0f + grain * 0.2f);
  }
  Colour c = sky(u, v);
  const float height = kShore - v;  // above the shore
  const float haze = std::clamp(height * 3.0f, 0.0f, 1.0f);
  if (height < ridge(u, 0.04f, 0.20f, 3.0f, 31))
    c = mix(Colour{96, 104, 150}, sky(u, kShore - 0.02f), 0.55f - haze * 0.25f);
  if (height < ridge(u + 0.37f, 0.025f, 0.09f, 5.0f, 47))
    c = mix(Colour{58, 72, 98}, Colour{120, 120, 140}, 0.3f - haze);
  // A wooded shore: tree tops of varying height, dark green, with a strip of sand below.
  const float trees = 0.012f + 0.018f * fractal(u * 90.0f, 0.5f, 3, 59);
  if (height < trees) c = mix(Colour{26, 44, 34}, Colour{44, 62, 42}, fractal(u * 400.0f, v * 400.0f, 2, 61));
  if (height < 0.004f) c = Colour{196, 172, 128};
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: sample_scene OUTPUT.png [WIDTH HEIGHT]\n");
    return 2;
  }
  if (argc == 4) {
    sceneWidth = std::atoi(argv[2]);
    sceneHeight = std::atoi(argv[3]);
    if (sceneWidth < 1 || sceneHeight < 1 || sceneWidth > 30000 || sceneHeight > 30000) {
      std::fprintf(stderr, "sample_scene: the size is 1 to 30000 pixels each way\n");
      return 2;
    }
  }
  std::vector<uint8_t> rgb(size_t(sceneWidth) * sceneHeight * 3);
  for (int y = 0; y < sceneHeight; ++y)
    for (int x = 0; x < sceneWidth; ++x) {
      const Colour c = pixel(x, y);
      uint8_t* p = &rgb[(size_t(y) * sceneWidth + x) * 3];
      p[0] = uint8_t(std::lround(std::clamp(c.r, 0.0f, 255.0f)));
      p[1] = uint8_t(std::lround(std::clamp(c.g, 0.0f, 255.0f)));
      p[2] = uint8_t(std::lround(std::clamp(c.b, 0.0f, 255.0f)));
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = sceneWidth;
  image.height = sceneHeight;
  image.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&image, argv[1], 0, rgb.data(), 0, nullptr)) {
    std::fprintf(stderr, "sample_scene: cannot write %s: %s\n", argv[1], image.message);
    return 1;
  }
  return 0;
}
