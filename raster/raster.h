// The program's own image container: a pyramid of levels, each cut into 512 x 512 tiles,
// each tile a separate block of memory from the host's buffer service (or the system).
// Tiling keeps every allocation bounded whatever the image size; the pyramid gives the
// renderer cheap blur and anti-aliasing.
#pragma once

#include <cstdint>

#include "raster/memory.h"

constexpr int kMaxLevels = 20;
constexpr int kTileSize = 512;
constexpr int kTileShift = 9;
// The longest side a raster may have: far beyond any host's image, and small enough that
// pixel positions and twice them stay exact in single floats and 32-bit integers.
constexpr int32_t kMaxRasterSide = 1 << 22;

struct KernelTables;

struct RasterTile {
  HostBuffer buffer;
  int32_t stride;  // in pixels: the tile's width
  int32_t height;
  int32_t originX, originY;  // multiples of 512
};

// A zero-filled Raster is empty; records that hold rasters are zero-filled at creation.
// `memory` and `kernels` are set by the owner and survive release and re-creation.
struct Raster {
  int32_t format;
  int32_t bytesPerPixel;
  int32_t channels;
  float fullScale;
  float fullScaleReciprocal;
  int32_t edgeMode;  // 0 clamp, 1 wrap both axes, 2 wrap horizontally; -1 no pyramid
  bool border;
  int32_t lastLevel;  // Lmax

  int32_t width[kMaxLevels];
  int32_t height[kMaxLevels];
  int32_t largestX[kMaxLevels];
  int32_t largestY[kMaxLevels];
  float widthF[kMaxLevels];
  float heightF[kMaxLevels];
  float widthReciprocal[kMaxLevels];
  float heightReciprocal[kMaxLevels];
  int32_t firstTile[kMaxLevels];
  int32_t tilesPerRow[kMaxLevels];

  RasterTile* tiles;
  HostBuffer tileTable;
  int32_t tileCount;

  const KernelTables* kernels;
  const BufferProcs* memory;  // the host's buffer service, or null
};

// Pixel formats. 8-bit formats hold one 32-bit word per pixel (red in the top byte) or one
// grey byte; 16-bit formats hold 0..32768; float formats 0..1.
enum RasterFormat : int32_t {
  kFormatGrey8 = 0,
  kFormatGrey16 = 1,
  kFormatSingle16 = 2,
  kFormatRgba8 = 3,
  kFormatRgba16 = 4,
  kFormatGreyFloat = 5,
  kFormatRgb16 = 7,
  kFormatRgbaFloat = 9,
};

enum RasterEdgeMode : int32_t {
  kEdgeNoPyramid = -1,
  kEdgeClamp = 0,
  kEdgeWrap = 1,
  kEdgeWrapHorizontal = 2,
};

// Channel values of one pixel or sample on the raster's own scale. Grey formats repeat
// their value in red, green and blue; a format without alpha reads as opaque.
struct PixelValue {
  float r, g, b, a;
};

struct PixelRect {
  int32_t x, y, width, height;
};

// Rows of the host's image as `advanceState` delivers them for one tile: `data` is the
// tile's top-left pixel, components are interleaved, `planes` per pixel (inHiPlane -
// inLoPlane + 1).
// `depth` is the host's bits per component: 8, 16 (0..32768) or 32 (float).
struct HostRows {
  const void* data;
  int32_t rowBytes;
  int32_t planes;
  int32_t depth;
  bool grey;   // one colour plane instead of red, green and blue
  bool alpha;  // a transparency plane follows the colour planes
};

// Releases any previous content, then allocates every tile of every level through
// `raster.memory`. Fails, leaving the raster empty, for a side below 1 or above
// kMaxRasterSide, an unknown format or edge mode, or when any allocation fails. New pixels
// are zero.
bool createRaster(Raster& raster, int32_t width, int32_t height, int32_t format, int32_t edgeMode,
                  bool border);
// Safe on an empty raster.
void releaseRaster(Raster& raster);
inline bool rasterExists(const Raster& raster) { return raster.tileCount > 0; }

// The tile that holds pixel (x, y) of a level, and the pixel's bytes. Unchecked: the level
// and the pixel must exist.
inline const RasterTile& tileAt(const Raster& raster, int32_t level, int32_t x, int32_t y) {
  return raster.tiles[raster.firstTile[level] + (y >> kTileShift) * raster.tilesPerRow[level] +
                      (x >> kTileShift)];
}
inline uint8_t* pixelAddress(const Raster& raster, int32_t level, int32_t x, int32_t y) {
  const RasterTile& tile = tileAt(raster, level, x, y);
  size_t element = size_t(y & (kTileSize - 1)) * size_t(tile.stride) + size_t(x & (kTileSize - 1));
  return static_cast<uint8_t*>(tile.buffer.data) + element * size_t(raster.bytesPerPixel);
}

// Writes outside the level, or of the wrong kind for the format, are ignored.
// setPixel: formats 0 (red is the grey) and 3. setPixel16: formats 1, 2, 4, 7.
// setPixelFloat: formats 5 and 9.
void setPixel(int32_t x, int32_t y, Raster& raster, int32_t level, uint8_t r, uint8_t g, uint8_t b,
              uint8_t a);
void setPixel16(int32_t x, int32_t y, Raster& raster, int32_t level, uint16_t r, uint16_t g,
                uint16_t b, uint16_t a);
void setPixelFloat(int32_t x, int32_t y, Raster& raster, int32_t level, float r, float g, float b,
                   float a);
// Reads are clamped into the raster: the level into 0..Lmax, x and y into the level. An
// empty raster reads zeros.
PixelValue getPixel(int32_t x, int32_t y, const Raster& raster, int32_t level);

// The pixels a tile covers in its own level (clipped to the level); empty for a tile that
// does not exist.
PixelRect tileRect(const Raster& raster, int32_t tile);
// Tiles of a level are numbered firstTile[level] .. firstTile[level] + count - 1.
int32_t levelTileCount(const Raster& raster, int32_t level);
// Copies the host's rows for one tile (its tileRect) into it: 8-bit rows into format 3,
// 16-bit into format 4, 32-bit into format 9; grey is repeated into red, green and blue;
// without a transparency plane alpha is full. Returns false, leaving the tile untouched,
// when the raster's format does not match the depth or the rows lack planes.
bool loadTile(Raster& raster, int32_t tile, const HostRows& rows);

// Level geometry; the level is clamped into 0..Lmax, an empty raster gives zeros.
int32_t levelWidth(const Raster& raster, int32_t level);
int32_t levelHeight(const Raster& raster, int32_t level);
float levelWidthReciprocal(const Raster& raster, int32_t level);
float levelHeightReciprocal(const Raster& raster, int32_t level);

// Copies every level of `source` into `destination` when both have the same size, format
// and level layout; otherwise returns false and leaves the destination alone.
bool copyRaster(const Raster& source, Raster& destination);
