// Writes the data a host reads beside the module without calling it.
#include <cstdio>
#include <vector>

#include "resources/property_list.h"
#include "resources/terminology.h"

static bool writeFile(const char* path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path, "wb");
  const bool written = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if ((f && std::fclose(f) != 0) || !written) {
    std::perror(path);
    return false;
  }
  return true;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: write_resources PROPERTY-LIST-FILE TERMINOLOGY-FILE\n");
    return 2;
  }
  return writeFile(argv[1], buildPropertyList()) && writeFile(argv[2], buildTerminology()) ? 0 : 1;
}
