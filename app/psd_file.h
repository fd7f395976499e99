// The rendered picture as a layered Photoshop document, the same the module's export writes
// at the image's own size.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/host/host.h"

// Whether a PSD file can hold the picture (30000 pixels a side, 2 GB); the message says why
// not.
bool psdHoldsPicture(const HostImage& image, std::string& error);

// Writes `image` to `path` at its own depth: grey becomes RGB, a picture without
// transparency is opaque. The profile goes into the document when there is one; the glue
// mode (null: unknown) names a keyword. The message says only why.
bool writePsdPicture(const std::string& path, const HostImage& image, const std::vector<uint8_t>& iccProfile,
                     const char* glueName, std::string& error);

// The glue mode a run used, from the values the module handed back; null when it handed
// none back.
const char* glueOfRun(const std::optional<Descriptor>& recorded);
