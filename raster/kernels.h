// The sampling kernel: a windowed sinc averaged over about one pixel, tabulated for 128
// sub-pixel phases so that sampling needs no transcendental functions. Built once when
// rendering is prepared and shared by every raster through `Raster::kernels`.
#pragma once

#include <cstdint>

constexpr int kKernelPhases = 128;
constexpr int kKernelTaps = 5;

// Tap k of a phase weighs the pixel at offset 2 - k from the sample's nearest pixel. Each
// phase is kept three ways; the integer forms sum to exactly their scale, so flat areas
// stay flat through the integer samplers.
struct KernelTables {
  float weights[kKernelPhases][kKernelTaps];
  int16_t weights2048[kKernelPhases][kKernelTaps];
  int32_t weights32768[kKernelPhases][kKernelTaps];
};

void buildKernelTables(KernelTables& tables);
