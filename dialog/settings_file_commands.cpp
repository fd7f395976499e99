// Load and Save of settings files from the dialog, with the desktop's file dialogs; the open
// dialog shows the chosen preset's thumbnail beside its list.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dialog/main_dialog_record.h"
#include "dialog/thumbnail_capture.h"
#include "files/thumbnail.h"
#include "host/settings_file.h"
#include "render/work_record.h"
#include "ui/canvas.h"

namespace {

constexpr UiFileFilter kPresetFilters[] = {{"Tarve presets (*.q8r)", "*.q8r"}, {"All files (*.*)", "*.*"}};
constexpr char kDefaultSettingsName[] = "Tarve settings.q8r";

// The panel beside the preset list: 87 × 80 dialog units.
constexpr UiRect kThumbnailPanelUnits{0, 0, 87, 80};

void copyText(char (&to)[kPathLength], const std::string& text) {
  std::snprintf(to, sizeof to, "%s", text.c_str());
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withSettingsExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".q8r";
}

struct PanelContext {
  Raster* thumbnail;
};

bool namesPreset(const char* path) {
  std::string lower(path);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find(".q8r") != std::string::npos;
}

// Reads the selected file's thumbnail and draws it centred in the panel; a file that is no
// preset, or one without a picture, shows the blank gradient.
void drawPresetThumbnail(Canvas* canvas, const UiRect& area, const char* path, void* context) {
  canvasFill(canvas, area, {255, 255, 255});
  Raster& thumbnail = *static_cast<PanelContext*>(context)->thumbnail;
  if (!path || !*path || !rasterExists(thumbnail)) return;
  resetToBlankThumbnail(thumbnail);
  Settings ignored{};
  ThumbnailRead found{};
  if (namesPreset(path)) readSettingsFile(path, kReadThumbnailOnly, ignored, &thumbnail, found);
  const int32_t side = kThumbnailSide;
  std::vector<uint8_t> rgb(static_cast<size_t>(side) * side * 3);
  thumbnailRgb(thumbnail, rgb.data());
  const int32_t shown = std::min({area.width, area.height, side});
  canvasPixels(canvas, rgb.data(), side, side, side * 3, 3,
               {area.left + (area.width - shown) / 2, area.top + (area.height - shown) / 2, shown, shown});
}

}  // namespace

void saveSettingsCommand(MainDialog& d) {
  ParameterBlock& block = blockOf(d);
  if (!block.settingsFileName[0]) copyText(block.settingsFileName, kDefaultSettingsName);
  copyText(block.settingsFileName, withSettingsExtension(block.settingsFileName));
  const UiSaveRequest request{uiWindowHandle(d.window), "Save a settings file", kPresetFilters, "q8r",
                              block.presetFolder, block.settingsFileName};
  std::string path;
  if (uiSaveFile(request, path) != UiChoice::chosen) return;
  copyText(block.presetFolder, folderOf(path));
  copyText(block.settingsFileName, nameOf(path));
  capturePreviewThumbnail(*d.state);
  writeSettingsFile(path.c_str(), block.settings, &d.state->thumbnail);
  redrawControl(d, kIdStatusLine);
}

void loadSettingsCommand(MainDialog& d) {
  ParameterBlock& block = blockOf(d);
  Raster panelThumbnail{};
  panelThumbnail.kernels = &d.state->work->kernels;
  createRaster(panelThumbnail, kThumbnailSide, kThumbnailSide, kFormatRgba8, kEdgeClamp, false);
  PanelContext panel{&panelThumbnail};
  const UiRect panelPixels = uiDialogUnitsToPixels(kThumbnailPanelUnits);
  UiOpenRequest request{uiWindowHandle(d.window), "Open a settings file", kPresetFilters, block.presetFolder, ""};
  request.previewWidth = panelPixels.width;
  request.previewHeight = panelPixels.height;
  request.drawPreview = drawPresetThumbnail;
  request.previewContext = &panel;
  std::string path;
  const UiChoice choice = uiOpenFile(request, path);
  releaseRaster(panelThumbnail);
  if (choice != UiChoice::chosen) return;
  copyText(block.presetFolder, folderOf(path));
  // A preset starts from the defaults; one that cannot be read leaves the settings as they were.
  Settings loaded = block.settings;
  applyDefaultSettings(loaded);
  ThumbnailRead found{};
  if (readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, loaded, &d.state->thumbnail, found) != noErr) return;
  block.settings = loaded;
  copyText(block.settingsFileName, nameOf(path));
  writeSettingsIntoControls(d);
  d.rerender = true;
  redrawControl(d, kIdStatusLine);
}
