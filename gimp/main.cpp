// The GIMP 2.10 plug-in: registers plug-in-tarve under Filters ▸ Light and Shadow and, when
// run, offers the Tarve module a FilterRecord over the active drawable through the same
// host side as the tarve program. Only libgimp is linked, never libgimpui, so that this
// process loads no GTK 2 beside the GTK 3 of the module's own dialog.
#include <gegl.h>
#include <libgimp/gimp.h>

#include <optional>
#include <string>
#include <vector>

#include "app/host/desktop_services.h"
#include "app/host/host.h"
#include "app/host/module_loader.h"
#include "gimp/layer_pixels.h"
#include "gimp/procedure_parameters.h"

namespace {

constexpr const char* kProcedure = "plug-in-tarve";
// Rectangles of the interface are 16-bit.
constexpr gint kLargestSide = 32767;

struct Outcome {
  GimpPDBStatusType status = GIMP_PDB_SUCCESS;
  std::string message;  // for GIMP to show when the run failed
};

Outcome failure(const std::string& message, GimpPDBStatusType status = GIMP_PDB_EXECUTION_ERROR) {
  return {status, message};
}

void query() {
  std::vector<GimpParamDef> params = {
      {GIMP_PDB_INT32, const_cast<gchar*>("run-mode"),
       const_cast<gchar*>("The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1), RUN-WITH-LAST-VALS (2) }")},
      {GIMP_PDB_IMAGE, const_cast<gchar*>("image"), const_cast<gchar*>("The image")},
      {GIMP_PDB_DRAWABLE, const_cast<gchar*>("drawable"), const_cast<gchar*>("The drawable the water is drawn on")},
  };
  for (const SettingParameter& s : settingParameters())
    params.push_back({s.type, const_cast<gchar*>(s.name.c_str()), const_cast<gchar*>(s.description.c_str())});
  gimp_install_procedure(kProcedure, "Draws lying water",
                         "Renders a rippled water surface below a horizontal water line that mirrors the "
                         "picture above it, with the Tarve filter module. Interactive runs show the module's "
                         "own dialog; the selection limits the water to the selected pixels.",
                         "Tarve", "Tarve", "2026", "Tarve...", "RGB*, GRAY*", GIMP_PLUGIN,
                         static_cast<gint>(params.size()), 0, params.data(), nullptr);
  gimp_plugin_menu_register(kProcedure, "<Image>/Filters/Light and Shadow");
}

// The descriptor this run plays to the module, or none: an interactive run opens the
// module's dialog on its own last-used settings, and so does "repeat last" before any run
// has left values behind.
bool chooseDescriptor(GimpRunMode mode, const GimpParam* params, gint count, std::optional<Descriptor>& play,
                      std::string& error) {
  if (mode == GIMP_RUN_NONINTERACTIVE) {
    Descriptor descriptor;
    if (!descriptorFromParameters(params, count, descriptor, error)) return false;
    play = std::move(descriptor);
  } else if (mode == GIMP_RUN_WITH_LAST_VALS) {
    const gint size = gimp_get_data_size(kProcedure);
    if (size > 0) {
      std::vector<uint8_t> bytes(static_cast<size_t>(size));
      gimp_get_data(kProcedure, bytes.data());
      play = descriptorFromLastValues(bytes);
    }
  }
  return true;
}

std::vector<uint8_t> readBuffer(gint32 drawable, const GeglRectangle& rect, const Babl* format) {
  GeglBuffer* buffer = gimp_drawable_get_buffer(drawable);
  std::vector<uint8_t> samples(static_cast<size_t>(rect.width) * rect.height * babl_format_get_bytes_per_pixel(format));
  gegl_buffer_get(buffer, &rect, 1.0, format, samples.data(), GEGL_AUTO_ROWSTRIDE, GEGL_ABYSS_NONE);
  g_object_unref(buffer);
  return samples;
}

// The selection over the filter rectangle, one byte a pixel; empty when nothing is selected,
// which GIMP treats as everything.
std::vector<uint8_t> readSelection(gint32 image, gint32 drawable, const GeglRectangle& rect) {
  if (gimp_selection_is_empty(image)) return {};
  gint offsetX = 0, offsetY = 0;
  gimp_drawable_offsets(drawable, &offsetX, &offsetY);
  const GeglRectangle onCanvas{rect.x + offsetX, rect.y + offsetY, rect.width, rect.height};
  return readBuffer(gimp_image_get_selection(image), onCanvas, babl_format("Y u8"));
}

std::vector<uint8_t> readProfile(gint32 image) {
  GimpColorProfile* profile = gimp_image_get_effective_color_profile(image);
  if (!profile) return {};
  gsize length = 0;
  const guint8* data = gimp_color_profile_get_icc_profile(profile, &length);
  std::vector<uint8_t> bytes(data, data + length);
  g_object_unref(profile);
  return bytes;
}

// The progress bar starts with the render, not while the module's dialog is open, where
// GIMP's Cancel beside it would end the plug-in instead of the dialog.
void reportProgress(void* started, int32_t done, int32_t total) {
  if (!*static_cast<bool*>(started)) gimp_progress_init("Tarve");
  *static_cast<bool*>(started) = true;
  if (total > 0) gimp_progress_update(static_cast<double>(done) / total);
}

Outcome runTarve(GimpRunMode mode, const GimpParam* params, gint count) {
  const gint32 image = params[1].data.d_image;
  const gint32 drawable = params[2].data.d_drawable;
  std::optional<Descriptor> play;
  std::string error;
  if (!chooseDescriptor(mode, params, count, play, error)) return failure(error, GIMP_PDB_CALLING_ERROR);

  FilterModule module;
  if (!openModule(modulePath(""), module, error)) return failure(error);
  struct Closer {
    FilterModule& module;
    ~Closer() { closeModule(module); }
  } closer{module};

  if (gimp_drawable_is_indexed(drawable))
    return failure(modeRefusal(module.properties, plugInModeIndexedColor) +
                   "; Image ▸ Mode ▸ RGB or Grayscale converts the image");
  if (gimp_item_is_group(drawable)) return failure("a layer group has no pixels of its own to draw water on");
  gint x = 0, y = 0, width = 0, height = 0;
  if (!gimp_drawable_mask_intersect(drawable, &x, &y, &width, &height) || width <= 0 || height <= 0)
    return failure("the selection leaves nothing of this layer to draw water on");
  if (width > kLargestSide || height > kLargestSide)
    return failure("the filter takes at most " + std::to_string(kLargestSide) + " pixels a side; select a part");

  const LayerShape shape =
      layerShape(gimp_image_get_precision(image), gimp_drawable_is_gray(drawable), gimp_drawable_has_alpha(drawable));
  const Babl* format = babl_format_with_space(exchangeFormatName(shape).c_str(), gimp_drawable_get_format(drawable));
  const GeglRectangle rect{x, y, width, height};
  const std::vector<uint8_t> layer = readBuffer(drawable, rect, format);

  Host host;
  host.iccProfile = readProfile(image);
  host.switches.protectTransparency = gimp_item_is_layer(drawable) && gimp_layer_get_lock_alpha(drawable);
  bool progressStarted = false;
  host.onProgress = reportProgress;
  host.progressContext = &progressStarted;
  hostOpen(host, module.loaded.entry, hostImageFromLayer(layer, width, height, shape),
           readSelection(image, drawable, rect));
  // The module's dialog shows its preview through the host and asks it for the water colour.
  if (mode == GIMP_RUN_INTERACTIVE) offerDesktopServices(host);
  if (play) {
    host.actions.play = std::move(play);
    host.actions.playInfo = plugInDialogSilent;
  }
  const int16_t result = hostRunFilter(host, mode == GIMP_RUN_INTERACTIVE);
  const std::optional<Descriptor> recorded = host.actions.recorded;
  const HostImage offered = host.source, rendered = host.destination;
  hostClose(host);
  if (result == userCanceledErr) return {GIMP_PDB_CANCEL, ""};
  if (result != noErr) return failure(describeResult(result));

  // GIMP keeps the result where the selection says so (softly at soft edges) and makes the
  // change one step of the image's undo.
  const std::vector<uint8_t> out = layerFromHostImage(rendered, offered, layer);
  GeglBuffer* shadow = gimp_drawable_get_shadow_buffer(drawable);
  gegl_buffer_set(shadow, &rect, 0, format, out.data(), GEGL_AUTO_ROWSTRIDE);
  g_object_unref(shadow);
  gimp_drawable_merge_shadow(drawable, TRUE);
  gimp_drawable_update(drawable, x, y, width, height);
  if (mode != GIMP_RUN_NONINTERACTIVE) gimp_displays_flush();

  if (recorded) {
    const std::vector<uint8_t> last = lastValuesFrom(*recorded);
    if (!last.empty()) gimp_set_data(kProcedure, last.data(), static_cast<guint32>(last.size()));
  }
  return {};
}

void run(const gchar*, gint count, const GimpParam* params, gint* returnCount, GimpParam** returnValues) {
  static GimpParam values[2];
  static std::string message;
  *returnCount = 1;
  *returnValues = values;
  values[0].type = GIMP_PDB_STATUS;
  if (count < kLeadingParameters) {
    values[0].data.d_status = GIMP_PDB_CALLING_ERROR;
    return;
  }
  gegl_init(nullptr, nullptr);
  const Outcome outcome = runTarve(static_cast<GimpRunMode>(params[0].data.d_int32), params, count);
  values[0].data.d_status = outcome.status;
  // GIMP shows the message of a failed run once, in the error console or on the terminal.
  if (!outcome.message.empty()) {
    message = "Tarve: " + outcome.message;
    *returnCount = 2;
    values[1].type = GIMP_PDB_STRING;
    values[1].data.d_string = message.data();
  }
}

}  // namespace

const GimpPlugInInfo PLUG_IN_INFO = {nullptr, nullptr, query, run};

MAIN()
