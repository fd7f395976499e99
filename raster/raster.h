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

struct KernelTables;

struct RasterTile {
  HostBuffer buffer;
  int32_t stride;  // in pixels: the tile's width
  int32_t height;
  int32_t originX, originY;  // multiples of 512
};

// A zero-filled Raster is empty; records that hold rasters are zero-filled at creation.
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
