#include "dialog/gallery_commands.h"

#include "files/paths.h"
#include "files/shell_open.h"
#include "host/memory_dots_gallery.h"
#include "host/module.h"
#include "host/presets_gallery.h"
#include "resources/dialog_templates.h"

namespace {

OSErr showPage(const PluginState& state, OSErr written, const char* pagePath) {
  if (written != noErr) {
    showMessageWindow(kPageNotWrittenTemplate, hostWindow(state.filterRecord));
    return written;
  }
  return openWithDefaultHandler(pagePath);
}

}  // namespace

OSErr presetsGalleryCommand(PluginState& state, const char* chosenFile, const char* pagePath) {
  const FileSpec folder = folderPart(chosenFile);
  return showPage(state, writePresetsPage(folder.path, pagePath), pagePath);
}

OSErr memoryDotsGalleryCommand(PluginState& state, const char* pagePath) {
  return showPage(state, writeMemoryDotsPage(state, pagePath), pagePath);
}
