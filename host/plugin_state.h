// The two records the host keeps for the module: the working state (in a handle held in the
// host's data slot, alive while the host keeps that slot) and the parameter block (in the
// host's parameters handle, alive between runs of the filter).
#pragma once

#include <cstdint>

#include "files/memory_dot_store.h"
#include "host/settings.h"
#include "raster/memory.h"
#include "raster/raster.h"
#include "sdk/host_interface.h"

struct WorkRecord;
struct UiDialog;

struct PixelPoint {
  int32_t x, y;
};

constexpr int kPathLength = 260;

// A mouse position in the dialog's client pixels, y first.
struct MousePoint {
  int16_t y, x;
};

struct ParameterBlock {
  int32_t showDialog;
  bool hostPreviewUsable;
  bool hostPreviewDisabled;
  int32_t previewScale;  // reduction factor of the last band request
  int32_t renderMode;    // 0 final render, 1 dialog preview, 2 into a raster
  int32_t previewOriginX, previewOriginY;
  bool sourceLoaded;
  PixelPoint centrePixel;  // the water centre in filter-rectangle pixels
  char settingsFileName[kPathLength];
  char presetFolder[kPathLength];  // where the settings file dialogs start
  char exportFolder[kPathLength];  // where the save dialogs of the PSD export and the gallery pages start
  char sourceFolder[kPathLength];  // where the presets gallery looks for presets

  // The main dialog's own fields.
  int32_t capturedControl;  // the control holding the mouse, -1 for none
  int32_t captureTick;      // when the capture began, in system milliseconds
  bool panMoved;            // a preview drag has panned
  bool zoomChanged;         // a zoom command came since the zoom buttons were updated
  MousePoint lastMouse, currentMouse;
  PixelPoint panOffset;     // top-left of the zoomed view, in full-resolution pixels
  int32_t exportSizeMode, exportWidth, exportHeight;

  Settings settings;
};

// The host hands over a transparency plane the module may change only in these cases.
inline bool transparencyEditable(int16_t filterCase) {
  return filterCase == filterCaseEditableTransparencyNoSelection ||
         filterCase == filterCaseEditableTransparencyWithSelection;
}

// The runtime generator the dialog's random looks draw from: values 0..32767, the same
// sequence for the same seed on every platform.
struct RandomGenerator {
  uint32_t state;
};

// One undo level: the settings as committed (the centre is never restored from here) and
// whether an undo file of the same number was written with them.
struct UndoSlot {
  Settings settings;
  char settingsFileName[kPathLength];
  bool valid;
  bool fromFile;
};

enum RenderMode : int32_t { kRenderFinal = 0, kRenderDialog = 1, kRenderRaster = 2 };

constexpr int kSmallBufferCount = 7;
constexpr int32_t kThumbnailSize = 128;  // one of 32 bytes, six of 16

struct PluginState {
  int16_t* result;
  FilterRecord* filterRecord;
  ParameterBlock* parameters;  // the host's parameters handle, locked for this call
  bool firstRun;
  Rect savedFilterRect;
  int32_t imageWidth, imageHeight;

  // The region being processed and the row lengths derived from it.
  int32_t regionWidth, regionHeight;
  int32_t regionFirstColumn, regionFirstRow, regionLastColumn, regionLastRow;
  int32_t lineA, lineB, lineC, lineD, rowUnits;
  int32_t rowBufferBytes;
  int32_t smallBufferBytes[kSmallBufferCount];

  // Working memory, each buffer remembering whether the host or the system gave it.
  HostBuffer rowBuffer;
  HostBuffer smallBuffers[kSmallBufferCount];
  HostBuffer workBuffer;
  WorkRecord* work;
  Raster source;
  Raster preview;
  Raster thumbnail;

  // The band loop.
  int32_t totalRows, rowsDone, currentRow, renderedRow, renderActive;
  bool moreRows, rowLoop;
  int32_t maskFirstRow, maskLastRow, inFirstRow, inLastRow;
  int32_t fitScale;
  int32_t passIndex, passCount;  // passes of a raster render that makes several layers
  // The progress window of an export while it is open: a raster render reports into it
  // instead of the host's progress bar, and stops when its cancel flag is set.
  struct ProgressWindow* progressWindow;

  MemoryDots memoryDots;
  RandomGenerator random;
  // Every commit flips to the other slot, so Undo always swaps between the last two levels.
  UndoSlot undoSlots[2];
  int32_t undoSlot;

  int32_t dialogExit;  // 1 OK, 2 Cancel
  bool dialogShown;    // the main dialog has been shown at least once
  UiDialog* dialogWindow;  // the main dialog while it is open
  bool mouseRight, mouseControl;  // the last button pressed in it, and whether Control was held
};
