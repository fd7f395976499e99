// Writes the data a host reads beside the module without calling it.
#include <cstdio>
#include <vector>

#include "resources/property_list.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_resources PROPERTY-LIST-FILE\n");
    return 2;
  }
  const std::vector<uint8_t> list = buildPropertyList();
  FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(list.data(), 1, list.size(), f) != list.size() || std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
