#include "app/preset_commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/apply_command.h"
#include "app/atomic_output.h"
#include "app/image_files.h"
#include "app/sample_depth.h"
#include "app/settings_choice.h"
#include "app/settings_fields.h"
#include "host/picture_thumbnail.h"
#include "host/settings_file.h"

namespace {

int fail(const std::string& message) {
  std::fprintf(stderr, "tarve: %s\n", message.c_str());
  return kExitError;
}

// The first value of every settings file is its version.
bool readVersion(const std::string& path, int32_t& version) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  unsigned char bytes[4];
  const bool read = std::fread(bytes, 1, 4, f) == 4;
  std::fclose(f);
  version = int32_t(uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3]);
  return read;
}

// The image as 8-bit RGBA rows, opaque: a thumbnail shows the picture, not its transparency.
std::vector<uint8_t> rgbaPicture(const HostImage& image) {
  const HostImage eight = convertDepth(image, 8);
  std::vector<uint8_t> rgba(size_t(eight.width) * size_t(eight.height) * 4);
  const int32_t planes = eight.planes();
  const bool grey = eight.colourPlanes == 1;
  for (size_t pixel = 0; pixel < size_t(eight.width) * size_t(eight.height); ++pixel) {
    const uint8_t* from = &eight.samples[pixel * size_t(planes)];
    uint8_t* to = &rgba[pixel * 4];
    to[0] = from[0];
    to[1] = from[grey ? 0 : 1];
    to[2] = from[grey ? 0 : 2];
    to[3] = 255;
  }
  return rgba;
}

}  // namespace

int presetInfoCommand(const Options& o) {
  const std::string& path = o.input;
  Settings settings{};
  applyDefaultSettings(settings);
  ThumbnailRead found;
  errno = 0;
  const OSErr result = readSettingsFile(path.c_str(), kReadSettingsAndThumbnail, settings, nullptr, found);
  int32_t version = 0;
  if (result == 99) return fail("cannot read " + path + ": " + std::strerror(errno ? errno : ENOENT));
  if (result != noErr || !readVersion(path, version))
    return fail("cannot read " + path + ": not a Tarve settings file, or a damaged one");
  std::string json = "{\n  \"version\": " + std::to_string(version) + ",\n";
  json += settingsAsJson(settings, "  ");
  json.insert(json.size() - 1, ",");
  const bool embedded = found.width > 0 && found.height > 0;
  json += "  \"thumbnail\": {\"embedded\": " + std::string(embedded ? "true" : "false");
  if (embedded) json += ", \"width\": " + std::to_string(found.width) + ", \"height\": " + std::to_string(found.height);
  json += "}\n}\n";
  std::fputs(json.c_str(), stdout);
  return 0;
}

int presetMakeCommand(const Options& o) {
  std::string error;
  ChosenSettings chosen;
  if (!chooseSettings(o.settings, chosen, error)) return fail(error);
  std::vector<uint8_t> picture;
  HostImage image;
  if (!o.thumbnail.empty()) {
    if (!readImageFile(o.thumbnail, image, error)) return fail(error);
    picture = rgbaPicture(image);
  }
  AtomicOutput output;
  if (!beginAtomicOutput(o.input, output, error)) return fail(error);
  const char* temporary = output.temporary.c_str();
  const OSErr written = picture.empty()
                            ? writeSettingsFile(temporary, settingsOf(chosen), nullptr)
                            : writeSettingsFileWithPicture(temporary, settingsOf(chosen), picture.data(), image.width,
                                                           image.height);
  if (written != noErr) {
    abandonAtomicOutput(output);
    return fail("cannot write " + o.input);
  }
  if (!commitAtomicOutput(output, error)) return fail(error);
  return 0;
}
