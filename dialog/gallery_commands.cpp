#include "dialog/gallery_commands.h"

#include <string>

#include "dialog/main_dialog_record.h"
#include "dialog/progress_window.h"
#include "files/file_io.h"
#include "files/paths.h"
#include "files/shell_open.h"
#include "host/memory_dots_gallery.h"
#include "host/module.h"
#include "host/presets_gallery.h"
#include "resources/dialog_templates.h"

namespace {

constexpr UiFileFilter kPresetFilter[] = {{"Tarve presets (*.q8r)", "*.q8r"}};
constexpr UiFileFilter kPageFilter[] = {{"HTML files (*.html)", "*.html"}};

OSErr showPage(intptr_t owner, OSErr written, const char* pagePath) {
  if (written != noErr) {
    showMessageWindow(kPageNotWrittenTemplate, owner);
    return written;
  }
  return openWithDefaultHandler(pagePath);
}

// The page's path, from the save dialog that starts in the remembered export folder.
bool askForPage(MainDialog& d, const char* proposedName, std::string& page) {
  ParameterBlock& block = blockOf(d);
  const UiSaveRequest request{uiWindowHandle(d.window), "Save an HTML page", kPageFilter, "html", block.exportFolder,
                              proposedName};
  if (uiSaveFile(request, page) != UiChoice::chosen) return false;
  copyFolderPart(page.c_str(), block.exportFolder, sizeof block.exportFolder);
  return true;
}

}  // namespace

OSErr presetsGalleryCommand(intptr_t owner, const char* chosenFile, const char* pagePath) {
  const FileSpec folder = folderPart(chosenFile);
  return showPage(owner, writePresetsPage(folder.path, pagePath), pagePath);
}

OSErr memoryDotsGalleryCommand(PluginState& state, intptr_t owner, const char* pagePath) {
  const OSErr written = runProgressWindow(
      state, ProgressTitle::webPage,
      [](PluginState& s, void* path) { return writeMemoryDotsPage(s, static_cast<const char*>(path)); },
      const_cast<char*>(pagePath));
  // Closed before the first dot: nothing was written, and there is nothing to explain.
  if (written == kErrCancelled) return written;
  return showPage(owner, written, pagePath);
}

void presetsGalleryButton(MainDialog& d) {
  ParameterBlock& block = blockOf(d);
  const UiOpenRequest choose{uiWindowHandle(d.window), "Choose any file in the source folder", kPresetFilter,
                             block.sourceFolder, ""};
  std::string chosen, page;
  if (uiOpenFile(choose, chosen) != UiChoice::chosen) return;
  copyFolderPart(chosen.c_str(), block.sourceFolder, sizeof block.sourceFolder);
  if (!askForPage(d, "Tarve presets.html", page)) return;
  uiSetCursor(d.window, kUiWaitCursor);
  presetsGalleryCommand(uiWindowHandle(d.window), chosen.c_str(), page.c_str());
  uiSetCursor(d.window, kUiArrowCursor);
}

void memoryDotsGalleryClick(MainDialog& d) {
  std::string page;
  if (!askForPage(d, "Tarve memory dots.html", page)) return;
  uiSetCursor(d.window, kUiWaitCursor);
  memoryDotsGalleryCommand(*d.state, uiWindowHandle(d.window), page.c_str());
  uiSetCursor(d.window, kUiArrowCursor);
  // The renders borrowed the host's buffers that the preview is drawn from.
  d.rerender = true;
}
