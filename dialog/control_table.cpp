#include "dialog/control_table.h"

namespace {

using K = DialogControlKind;

struct Row {
  int32_t id;
  K kind;
  LayoutRect rect;
  int32_t partner, icon, track, textIndex;
};

// Captions by text index.
constexpr const char* kCaptions[] = {"Horizon", "Offset", "Perspective", "Altitude", "Waviness", "Complexity",
                                     "Brilliance", "Blur", "Size", "Height", "Undulation", "Glue"};

constexpr Row kRows[] = {
    {36, K::label, {82, 20, 30, 16}, -1, -1, -1, 0},
    {37, K::slider, {120, 20, 135, 12}, 86, -1, 102, -1},
    {86, K::valueField, {260, 18, 24, 12}, 37, -1, -1, -1},
    {56, K::label, {82, 42, 30, 16}, -1, -1, -1, 1},
    {57, K::slider, {120, 42, 135, 12}, 91, -1, 102, -1},
    {91, K::valueField, {260, 40, 24, 12}, 57, -1, -1, -1},
    {38, K::label, {82, 63, 30, 16}, -1, -1, -1, 2},
    {39, K::slider, {120, 63, 135, 12}, 85, -1, 102, -1},
    {85, K::valueField, {260, 61, 24, 12}, 39, -1, -1, -1},
    {102, K::label, {82, 85, 30, 16}, -1, -1, -1, 3},
    {103, K::slider, {120, 85, 135, 12}, 104, -1, 102, -1},
    {104, K::valueField, {260, 83, 24, 12}, 103, -1, -1, -1},
    {58, K::label, {82, 126, 30, 16}, -1, -1, -1, 4},
    {59, K::slider, {120, 126, 135, 12}, 92, -1, 101, -1},
    {92, K::valueField, {260, 124, 24, 12}, 59, -1, -1, -1},
    {62, K::label, {82, 148, 30, 16}, -1, -1, -1, 5},
    {63, K::slider, {120, 148, 135, 12}, 94, -1, 101, -1},
    {94, K::valueField, {260, 146, 24, 12}, 63, -1, -1, -1},
    {64, K::label, {82, 171, 30, 16}, -1, -1, -1, 6},
    {65, K::slider, {120, 171, 135, 12}, 81, -1, 101, -1},
    {81, K::valueField, {260, 169, 24, 12}, 65, -1, -1, -1},
    {60, K::label, {82, 194, 30, 16}, -1, -1, -1, 7},
    {61, K::slider, {120, 194, 135, 12}, 93, -1, 101, -1},
    {93, K::valueField, {260, 192, 24, 12}, 61, -1, -1, -1},
    {54, K::label, {82, 236, 30, 16}, -1, -1, -1, 8},
    {55, K::slider, {120, 236, 135, 12}, 90, -1, 102, -1},
    {90, K::valueField, {260, 234, 24, 12}, 55, -1, -1, -1},
    {22, K::label, {82, 259, 30, 16}, -1, -1, -1, 9},
    {12, K::slider, {120, 259, 135, 12}, 79, -1, 102, -1},
    {79, K::valueField, {260, 257, 24, 12}, 12, -1, -1, -1},
    {50, K::label, {82, 281, 30, 16}, -1, -1, -1, 10},
    {51, K::slider, {120, 281, 135, 12}, 83, -1, 102, -1},
    {83, K::valueField, {260, 279, 24, 12}, 51, -1, -1, -1},
    {70, K::label, {82, 336, 30, 17}, -1, -1, -1, 11},
    // Tall enough to reach the dialog's bottom, so that its dropped list shows many entries.
    {73, K::glueList, {120, 332, 135, kDialogHeight}, -1, -1, -1, -1},
    {21, K::iconButton, {262, 333, 17, 16}, -1, 188, -1, -1},
    {7, K::colourSwatch, {317, 121, 20, 20}, -1, -1, -1, -1},
    {35, K::iconButton, {120, 376, 62, 27}, -1, 185, -1, -1},
    {26, K::iconButton, {196, 376, 62, 27}, -1, 186, -1, -1},
    {72, K::iconButton, {120, 416, 62, 27}, -1, 184, -1, -1},
    {75, K::iconButton, {196, 416, 62, 27}, -1, 164, -1, -1},
    {74, K::iconButton, {120, 456, 62, 27}, -1, 187, -1, -1},
    {98, K::iconButton, {196, 456, 62, 27}, -1, 225, -1, -1},
    {69, K::iconButton, {120, 497, 62, 27}, -1, 234, -1, -1},
    {18, K::previewArea, {366, 0, 499, 384}, -1, -1, -1, -1},
    {27, K::iconButton, {516, 397, 24, 24}, -1, 236, -1, -1},
    {33, K::iconButton, {648, 401, 16, 16}, -1, 169, -1, -1},
    {34, K::zoomTextButton, {670, 400, 35, 18}, -1, -1, -1, -1},
    {32, K::iconButton, {708, 401, 16, 16}, -1, 5, -1, -1},
    {40, K::iconButton, {849, 400, 16, 16}, -1, 235, -1, -1},
    {76, K::statusLine, {514, 462, 350, 18}, -1, -1, -1, -1},
    {119, K::dotPreview, {366, 399, 96, 96}, -1, -1, -1, -1},
    {25, K::logo, {15, 495, 32, 32}, -1, 183, -1, -1},
    {2, K::pushButton, {656, 497, 62, 27}, -1, -1, -1, -1},
    {3, K::pushButton, {803, 497, 62, 27}, -1, -1, -1, -1},
};

// The 25 memory dots run from the upper left of the thumbnail panel down around its bottom
// and up its right side.
constexpr int32_t kDotCorners[25][2] = {
    {348, 388}, {352, 400}, {352, 412}, {348, 425}, {344, 438}, {340, 451}, {340, 464}, {344, 476}, {351, 487},
    {359, 497}, {370, 505}, {382, 514}, {395, 520}, {410, 524}, {425, 524}, {439, 520}, {452, 514}, {464, 505},
    {473, 493}, {479, 480}, {483, 465}, {483, 450}, {479, 436}, {473, 423}, {464, 411}};

const Row* findRow(int32_t id) {
  for (const Row& row : kRows)
    if (row.id == id) return &row;
  return nullptr;
}

bool isMemoryDot(int32_t id) { return id >= kIdFirstMemoryDot && id <= kIdLastMemoryDot; }

}  // namespace

ControlEntry controlEntry(int32_t id) {
  ControlEntry entry{K::none, -1, -1, -1, -1, 0, 0};
  if (isMemoryDot(id)) {
    entry.kind = K::memoryDot;
    return entry;
  }
  const Row* row = findRow(id);
  if (!row) return entry;
  entry.kind = row->kind;
  entry.partner = row->partner;
  entry.icon = row->icon;
  entry.track = row->track;
  entry.textIndex = row->textIndex;
  if (row->kind == K::slider) entry.maximum = 100;
  return entry;
}

bool controlLayout(int32_t id, LayoutRect& rect) {
  if (isMemoryDot(id)) {
    const int32_t* corner = kDotCorners[id - kIdFirstMemoryDot];
    rect = {corner[0], corner[1], 12, 12};
    return true;
  }
  const Row* row = findRow(id);
  if (!row) return false;
  rect = row->rect;
  return true;
}

const char* captionText(int32_t textIndex) {
  if (textIndex < 0 || textIndex >= int32_t(sizeof kCaptions / sizeof kCaptions[0])) return "";
  return kCaptions[textIndex];
}
