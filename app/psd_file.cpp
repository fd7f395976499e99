#include "app/psd_file.h"

#include <cerrno>
#include <cstring>

#include "files/psd_writer.h"
#include "host/scripting_keys.h"

namespace {

ExportDescriptor descriptorOf(const HostImage& image) {
  return {image.width, image.height, 0, uint8_t(image.bytesPerSample()), -1};
}

template <typename T>
void expandRow(const HostImage& image, int32_t y, T opaque, T* out) {
  const int32_t planes = image.planes();
  const T* in = reinterpret_cast<const T*>(image.samples.data() + size_t(y) * size_t(image.rowBytes()));
  for (int32_t x = 0; x < image.width; ++x, in += planes, out += 4) {
    const bool grey = image.colourPlanes == 1;
    out[0] = in[0];
    out[1] = in[grey ? 0 : 1];
    out[2] = in[grey ? 0 : 2];
    out[3] = image.transparency ? in[image.colourPlanes] : opaque;
  }
}

void readRow(void* context, int32_t y, void* rgba) {
  const HostImage& image = *static_cast<const HostImage*>(context);
  if (image.depth == 8) expandRow<uint8_t>(image, y, 255, static_cast<uint8_t*>(rgba));
  if (image.depth == 16) expandRow<uint16_t>(image, y, 32768, static_cast<uint16_t*>(rgba));
  if (image.depth == 32) expandRow<float>(image, y, 1.0f, static_cast<float*>(rgba));
}

// The picture is rendered already when the document is written.
OSErr alreadyRendered(void*, int32_t) { return noErr; }

}  // namespace

bool psdHoldsPicture(const HostImage& image, std::string& error) {
  PsdMetadata metadata{};
  if (psdHolds(descriptorOf(image), metadata)) return true;
  error = "PSD files hold at most " + std::to_string(kPsdLargestSide) + " pixels a side and 2 GB, this image is " +
          std::to_string(image.width) + " x " + std::to_string(image.height) + " at " + std::to_string(image.depth) +
          " bits: write a TIFF";
  return false;
}

bool writePsdPicture(const std::string& path, const HostImage& image, const std::vector<uint8_t>& iccProfile,
                     const char* glueName, std::string& error) {
  ExportDescriptor descriptor = descriptorOf(image);
  PsdMetadata metadata{};
  metadata.iccProfile = iccProfile.data();
  metadata.iccSize = int32_t(iccProfile.size());
  clearKeywords(metadata.keywords);
  addExportKeywords(metadata.keywords, descriptor.bytesPerChannel, glueName);
  metadata.date = currentUtcDate();

  FileHandle file = kNoFile;
  OSErr result = openFile(path.c_str(), FileAccess::writing, file);
  if (result == noErr) {
    result = writePsd(file, descriptor, metadata,
                      {const_cast<HostImage*>(&image), alreadyRendered, readRow});
    const int writeError = errno;
    closeFile(file);
    errno = writeError;
  }
  switch (result) {
    case noErr: return true;
    case kErrNoMemory: error = "not enough memory for a row of the picture"; break;
    case kErrTooLarge: psdHoldsPicture(image, error); break;
    default: error = std::strerror(errno); break;
  }
  return false;
}

const char* glueOfRun(const std::optional<Descriptor>& recorded) {
  if (!recorded) return nullptr;
  const DescriptorValue* glue = findValue(*recorded, kGlueKey);
  return glue ? glueName(glueFromCode(glue->enumValue)) : nullptr;
}
