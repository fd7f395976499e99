#include "raster/raster.h"

#include <algorithm>
#include <cstring>

namespace {

struct FormatInfo {
  int32_t bytesPerPixel;
  int32_t channels;
  float fullScale;
};

bool formatInfo(int32_t format, FormatInfo& info) {
  switch (format) {
    case kFormatGrey8: info = {1, 1, 255.0f}; return true;
    case kFormatGrey16: info = {2, 1, 32768.0f}; return true;
    case kFormatSingle16: info = {2, 1, 1.0f}; return true;
    case kFormatRgba8: info = {4, 4, 255.0f}; return true;
    case kFormatRgba16: info = {8, 4, 32768.0f}; return true;
    case kFormatGreyFloat: info = {4, 1, 1.0f}; return true;
    case kFormatRgb16: info = {6, 3, 1.0f}; return true;
    case kFormatRgbaFloat: info = {16, 4, 1.0f}; return true;
    default: return false;
  }
}

// Halving rounds up, and an odd result above 2 is made even so that the next level again
// halves cleanly.
int32_t nextLevelSize(int32_t size) {
  int32_t half = size - size / 2;
  return half > 2 && (half & 1) ? half + 1 : half;
}

int64_t tilesAlong(int64_t pixels) { return (pixels + kTileSize - 1) / kTileSize; }

int32_t clampLevel(const Raster& raster, int32_t level) {
  return std::clamp(level, 0, raster.lastLevel);
}

// Where pixel (x, y) of a level may be written: inside the level of an existing raster.
uint8_t* writableAddress(Raster& raster, int32_t level, int32_t x, int32_t y) {
  if (!rasterExists(raster) || level < 0 || level > raster.lastLevel) return nullptr;
  if (x < 0 || y < 0 || x > raster.largestX[level] || y > raster.largestY[level]) return nullptr;
  return pixelAddress(raster, level, x, y);
}

uint32_t packRgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  return r << 24 | g << 16 | b << 8 | a;
}

template <typename T>
T load(const uint8_t* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

template <typename T>
void store(uint8_t* bytes, T value) {
  std::memcpy(bytes, &value, sizeof value);
}

void setLevelGeometry(Raster& raster, int32_t level, int32_t width, int32_t height) {
  raster.width[level] = width;
  raster.height[level] = height;
  raster.largestX[level] = width - 1;
  raster.largestY[level] = height - 1;
  raster.widthF[level] = static_cast<float>(width);
  raster.heightF[level] = static_cast<float>(height);
  raster.widthReciprocal[level] = 1.0f / static_cast<float>(width);
  raster.heightReciprocal[level] = 1.0f / static_cast<float>(height);
}

// The level a tile belongs to, or -1.
int32_t tileLevel(const Raster& raster, int32_t tile) {
  if (tile < 0 || tile >= raster.tileCount) return -1;
  int32_t level = raster.lastLevel;
  while (level > 0 && tile < raster.firstTile[level]) --level;
  return level;
}

// Copies the host's rows into a tile; `put` stores one pixel's red, green, blue and alpha.
// `full` is the alpha of an image without transparency.
template <typename T, typename Put>
void loadRows(uint8_t* tileData, int32_t stride, int32_t bytesPerPixel, const PixelRect& rect,
              const HostRows& rows, T full, Put put) {
  size_t step = sizeof(T) * size_t(rows.planes);
  size_t green = rows.grey ? 0 : sizeof(T), blue = rows.grey ? 0 : 2 * sizeof(T);
  size_t alpha = (rows.grey ? 1 : 3) * sizeof(T);
  const uint8_t* hostRow = static_cast<const uint8_t*>(rows.data);
  for (int32_t y = 0; y < rect.height; ++y, hostRow += rows.rowBytes) {
    uint8_t* out = tileData + size_t(y) * size_t(stride) * size_t(bytesPerPixel);
    const uint8_t* in = hostRow;
    for (int32_t x = 0; x < rect.width; ++x, in += step, out += bytesPerPixel)
      put(out, load<T>(in), load<T>(in + green), load<T>(in + blue),
          rows.alpha ? load<T>(in + alpha) : full);
  }
}

}  // namespace

void releaseRaster(Raster& raster) {
  for (int32_t i = 0; i < raster.tileCount; ++i) freeBuffer(raster.memory, raster.tiles[i].buffer);
  if (raster.tileTable.data) freeBuffer(raster.memory, raster.tileTable);
  const KernelTables* kernels = raster.kernels;
  const BufferProcs* memory = raster.memory;
  raster = Raster{};
  raster.kernels = kernels;
  raster.memory = memory;
}

bool createRaster(Raster& raster, int32_t width, int32_t height, int32_t format, int32_t edgeMode,
                  bool border) {
  releaseRaster(raster);
  FormatInfo info;
  if (width < 1 || height < 1 || width > kMaxRasterSide || height > kMaxRasterSide) return false;
  if (!formatInfo(format, info)) return false;
  if (edgeMode < kEdgeNoPyramid || edgeMode > kEdgeWrapHorizontal) return false;

  Raster shape = raster;
  shape.format = format;
  shape.bytesPerPixel = border ? std::max(info.bytesPerPixel, 4) : info.bytesPerPixel;
  shape.channels = info.channels;
  shape.fullScale = info.fullScale;
  shape.fullScaleReciprocal = 1.0f / info.fullScale;
  shape.edgeMode = edgeMode;
  shape.border = border;

  // The border widens every level by two pixels for tiling only.
  int64_t tiles = 0;
  int32_t level = 0;
  for (int32_t w = width, h = height;; ++level) {
    setLevelGeometry(shape, level, w, h);
    int64_t perRow = tilesAlong(int64_t(w) + (border ? 2 : 0));
    shape.firstTile[level] = static_cast<int32_t>(tiles);
    shape.tilesPerRow[level] = static_cast<int32_t>(perRow);
    tiles += perRow * tilesAlong(int64_t(h) + (border ? 2 : 0));
    if (tiles > int64_t(INT32_MAX / sizeof(RasterTile))) return false;
    if ((w == 1 && h == 1) || level + 1 == kMaxLevels) break;
    w = nextLevelSize(w);
    h = nextLevelSize(h);
  }
  shape.lastLevel = level;

  if (!allocateBuffer(shape.memory, size_t(tiles) * sizeof(RasterTile), shape.tileTable))
    return false;
  shape.tiles = static_cast<RasterTile*>(shape.tileTable.data);
  shape.tileCount = static_cast<int32_t>(tiles);
  for (level = 0; level <= shape.lastLevel; ++level) {
    int32_t spanX = shape.width[level] + (border ? 2 : 0);
    int32_t spanY = shape.height[level] + (border ? 2 : 0);
    int32_t perRow = shape.tilesPerRow[level];
    int32_t count = levelTileCount(shape, level);
    for (int32_t i = 0; i < count; ++i) {
      RasterTile& tile = shape.tiles[shape.firstTile[level] + i];
      tile.buffer = HostBuffer{};
      tile.originX = (i % perRow) * kTileSize;
      tile.originY = (i / perRow) * kTileSize;
      tile.stride = std::min(kTileSize, spanX - tile.originX);
      tile.height = std::min(kTileSize, spanY - tile.originY);
    }
  }
  raster = shape;

  for (int32_t i = 0; i < raster.tileCount; ++i) {
    RasterTile& tile = raster.tiles[i];
    size_t bytes = size_t(tile.stride) * size_t(tile.height) * size_t(raster.bytesPerPixel);
    if (!allocateBuffer(raster.memory, bytes, tile.buffer)) {
      releaseRaster(raster);
      return false;
    }
    // The system's memory comes zeroed; the host's may not, and a new raster reads as
    // transparent black whoever gave its memory.
    if (tile.buffer.id) std::memset(tile.buffer.data, 0, bytes);
  }
  return true;
}

int32_t levelTileCount(const Raster& raster, int32_t level) {
  if (!rasterExists(raster) || level < 0 || level > raster.lastLevel) return 0;
  int32_t end = level == raster.lastLevel ? raster.tileCount : raster.firstTile[level + 1];
  return end - raster.firstTile[level];
}

void setPixel(int32_t x, int32_t y, Raster& raster, int32_t level, uint8_t r, uint8_t g, uint8_t b,
              uint8_t a) {
  if (raster.format != kFormatRgba8 && raster.format != kFormatGrey8) return;
  uint8_t* pixel = writableAddress(raster, level, x, y);
  if (!pixel) return;
  if (raster.format == kFormatGrey8)
    *pixel = r;
  else
    store<uint32_t>(pixel, packRgba(r, g, b, a));
}

void setPixel16(int32_t x, int32_t y, Raster& raster, int32_t level, uint16_t r, uint16_t g,
                uint16_t b, uint16_t a) {
  int32_t channels;
  switch (raster.format) {
    case kFormatGrey16:
    case kFormatSingle16: channels = 1; break;
    case kFormatRgb16: channels = 3; break;
    case kFormatRgba16: channels = 4; break;
    default: return;
  }
  uint8_t* pixel = writableAddress(raster, level, x, y);
  if (!pixel) return;
  const uint16_t values[4] = {r, g, b, a};
  std::memcpy(pixel, values, sizeof(uint16_t) * size_t(channels));
}

void setPixelFloat(int32_t x, int32_t y, Raster& raster, int32_t level, float r, float g, float b,
                   float a) {
  if (raster.format != kFormatRgbaFloat && raster.format != kFormatGreyFloat) return;
  uint8_t* pixel = writableAddress(raster, level, x, y);
  if (!pixel) return;
  const float values[4] = {r, g, b, a};
  std::memcpy(pixel, values, raster.format == kFormatGreyFloat ? sizeof(float) : sizeof values);
}

PixelValue getPixel(int32_t x, int32_t y, const Raster& raster, int32_t level) {
  if (!rasterExists(raster)) return {};
  level = clampLevel(raster, level);
  x = std::clamp(x, 0, raster.largestX[level]);
  y = std::clamp(y, 0, raster.largestY[level]);
  const uint8_t* pixel = pixelAddress(raster, level, x, y);
  float full = raster.fullScale;
  switch (raster.format) {
    case kFormatGrey8: {
      float v = pixel[0];
      return {v, v, v, full};
    }
    case kFormatRgba8: {
      uint32_t word = load<uint32_t>(pixel);
      return {float(word >> 24), float(word >> 16 & 0xFF), float(word >> 8 & 0xFF),
              float(word & 0xFF)};
    }
    case kFormatGrey16:
    case kFormatSingle16: {
      float v = load<uint16_t>(pixel);
      return {v, v, v, full};
    }
    case kFormatRgba16:
    case kFormatRgb16: {
      uint16_t c[4];
      std::memcpy(c, pixel, raster.format == kFormatRgb16 ? 6 : 8);
      return {float(c[0]), float(c[1]), float(c[2]),
              raster.format == kFormatRgb16 ? full : float(c[3])};
    }
    case kFormatGreyFloat: {
      float v = load<float>(pixel);
      return {v, v, v, full};
    }
    case kFormatRgbaFloat: {
      float c[4];
      std::memcpy(c, pixel, sizeof c);
      return {c[0], c[1], c[2], c[3]};
    }
    default: return {};
  }
}

PixelRect tileRect(const Raster& raster, int32_t tile) {
  int32_t level = tileLevel(raster, tile);
  if (level < 0) return {};
  const RasterTile& t = raster.tiles[tile];
  int32_t width = std::clamp(raster.width[level] - t.originX, 0, t.stride);
  int32_t height = std::clamp(raster.height[level] - t.originY, 0, t.height);
  return {t.originX, t.originY, width, height};
}

bool loadTile(Raster& raster, int32_t tile, const HostRows& rows) {
  PixelRect rect = tileRect(raster, tile);
  int32_t needed = (rows.grey ? 1 : 3) + (rows.alpha ? 1 : 0);
  if (rect.width == 0 || !rows.data || rows.planes < needed) return false;
  const RasterTile& t = raster.tiles[tile];
  uint8_t* data = static_cast<uint8_t*>(t.buffer.data);
  int32_t bpp = raster.bytesPerPixel;
  if (rows.depth == 8 && raster.format == kFormatRgba8) {
    loadRows<uint8_t>(data, t.stride, bpp, rect, rows, 255,
                      [](uint8_t* out, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
                        store<uint32_t>(out, packRgba(r, g, b, a));
                      });
  } else if (rows.depth == 16 && raster.format == kFormatRgba16) {
    loadRows<uint16_t>(data, t.stride, bpp, rect, rows, 32768,
                       [](uint8_t* out, uint16_t r, uint16_t g, uint16_t b, uint16_t a) {
                         const uint16_t c[4] = {r, g, b, a};
                         std::memcpy(out, c, sizeof c);
                       });
  } else if (rows.depth == 32 && raster.format == kFormatRgbaFloat) {
    loadRows<float>(data, t.stride, bpp, rect, rows, 1.0f,
                    [](uint8_t* out, float r, float g, float b, float a) {
                      const float c[4] = {r, g, b, a};
                      std::memcpy(out, c, sizeof c);
                    });
  } else {
    return false;
  }
  return true;
}

int32_t levelWidth(const Raster& raster, int32_t level) {
  return rasterExists(raster) ? raster.width[clampLevel(raster, level)] : 0;
}

int32_t levelHeight(const Raster& raster, int32_t level) {
  return rasterExists(raster) ? raster.height[clampLevel(raster, level)] : 0;
}

float levelWidthReciprocal(const Raster& raster, int32_t level) {
  return rasterExists(raster) ? raster.widthReciprocal[clampLevel(raster, level)] : 0.0f;
}

float levelHeightReciprocal(const Raster& raster, int32_t level) {
  return rasterExists(raster) ? raster.heightReciprocal[clampLevel(raster, level)] : 0.0f;
}

bool copyRaster(const Raster& source, Raster& destination) {
  if (&source == &destination) return rasterExists(source);
  if (!rasterExists(source)) return false;
  if (source.format != destination.format || source.border != destination.border ||
      source.width[0] != destination.width[0] || source.height[0] != destination.height[0] ||
      source.lastLevel != destination.lastLevel || source.tileCount != destination.tileCount)
    return false;
  for (int32_t i = 0; i < source.tileCount; ++i) {
    const RasterTile& tile = source.tiles[i];
    size_t bytes = size_t(tile.stride) * size_t(tile.height) * size_t(source.bytesPerPixel);
    std::memcpy(destination.tiles[i].buffer.data, tile.buffer.data, bytes);
  }
  return true;
}
