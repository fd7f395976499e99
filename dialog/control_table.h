// The main dialog's controls: what kind each control id is, what it shows and where it sits.
// The dialog paints almost everything itself; these tables drive the painting, the
// hit-testing and the placement of the few real child windows.
#pragma once

#include <cstdint>

enum class DialogControlKind {
  none,  // ids the table does not list: ignored
  label,
  slider,
  valueField,
  glueList,
  iconButton,
  colourSwatch,
  previewArea,
  zoomTextButton,
  statusLine,
  dotPreview,
  memoryDot,
  logo,
  pushButton,
};

struct ControlEntry {
  DialogControlKind kind;
  int32_t partner;    // a slider's value field, a value field's slider; -1 for none
  int32_t icon;       // an icon button's picture; -1 for none
  int32_t track;      // a slider's track picture; -1 for none
  int32_t textIndex;  // a label's caption; -1 for none
  int32_t minimum, maximum;
};

constexpr int32_t kControlCount = 200;  // ids 0 .. 199

// A pure function of the id.
ControlEntry controlEntry(int32_t id);

struct LayoutRect {
  int32_t left, top, width, height;
};

// The rectangle of a control in client pixels (push and icon buttons already grown by two
// pixels to the left and upward, the zoom-text button upward). False for ids without one.
bool controlLayout(int32_t id, LayoutRect& rect);

const char* captionText(int32_t textIndex);

// Control ids the dialog's code names.
enum : int32_t {
  kIdOk = 3,
  kIdCancel = 2,
  kIdColourSwatch = 7,
  kIdPreviewArea = 18,
  kIdNextGlue = 21,
  kIdLogo = 25,
  kIdSavePreset = 26,
  kIdInfo = 27,
  kIdZoomIn = 32,
  kIdZoomOut = 33,
  kIdZoom100 = 34,
  kIdLoadPreset = 35,
  kIdPresetsGallery = 40,
  kIdPsdExport = 69,
  kIdGlueLabel = 70,
  kIdDice = 72,
  kIdGlueList = 73,
  kIdUndo = 74,
  kIdEcce = 75,
  kIdStatusLine = 76,
  kIdPlainSettings = 98,
  kIdDotPreview = 119,
  kIdFirstMemoryDot = 121,
  kIdLastMemoryDot = 145,
};

// The client area of the main dialog.
constexpr int32_t kDialogWidth = 881, kDialogHeight = 541;
