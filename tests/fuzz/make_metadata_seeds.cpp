// Writes the seed photographs of the metadata fuzzer: a small picture in every format,
// carrying every kind of metadata our writers place (EXIF with an orientation, XMP, IPTC, a
// profile, a resolution, PNG text). Usage: make_metadata_seeds FOLDER
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/image_files.h"
#include "app/image_formats.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_metadata_seeds FOLDER\n");
    return 2;
  }
  HostImage picture = makeHostImage(12, 8, 8, 3, false);
  for (size_t i = 0; i < picture.samples.size(); ++i) picture.samples[i] = uint8_t(i * 7);
  ImageMetadata metadata;
  metadata.xmp = "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\">"
                 "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description rdf:about=\"\" "
                 "xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\" tiff:Orientation=\"6\"/></rdf:RDF></x:xmpmeta>"
                 "<?xpacket end=\"w\"?>";
  metadata.texts = {{"Author", "Someone", false}, {"Title", "See \xC3\xA4", true}};
  metadata.xDpi = metadata.yDpi = 300;
  // A display profile header with a D50 illuminant and no tags.
  metadata.iccProfile.assign(132, 0);
  const uint8_t header[] = {0, 0, 0, 132, 0, 0, 0, 0, 2, 0x10, 0, 0, 'm', 'n', 't', 'r', 'R', 'G', 'B', ' ', 'X', 'Y', 'Z', ' '};
  std::copy(std::begin(header), std::end(header), metadata.iccProfile.begin());
  std::copy_n("acsp", 4, metadata.iccProfile.begin() + 36);
  std::vector<std::string> notes;
  metadataForFormat(ImageFormat::jpeg, metadata, picture, false, notes);
  const struct {
    ImageFormat format;
    const char* name;
  } seeds[] = {{ImageFormat::png, "seed.png"}, {ImageFormat::tiff, "seed.tif"}, {ImageFormat::jpeg, "seed.jpg"},
               {ImageFormat::webp, "seed.webp"}};
  for (const auto& seed : seeds) {
    std::string error;
    const std::string path = std::string(argv[1]) + "/" + seed.name;
    if (!writeImageFile(path, seed.format, picture, {80, false}, &metadata, error)) {
      std::fprintf(stderr, "make_metadata_seeds: %s: %s\n", path.c_str(), error.c_str());
      return 1;
    }
  }
  return 0;
}
