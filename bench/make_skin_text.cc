// Writes a made-up skin text of a given size: `brellam_make_skin_text BYTES FILE`.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "skin_generator.h"

int main(int argc, char** argv) {
  char* end = nullptr;
  const unsigned long long size = argc == 3 ? std::strtoull(argv[1], &end, 10) : 0;
  if (argc != 3 || *end != '\0' || size < brellam::kMinSkinSize) {
    std::fprintf(stderr, "usage: %s BYTES FILE (BYTES >= %zu)\n", argv[0], brellam::kMinSkinSize);
    return 2;
  }
  const std::string text = brellam::GenerateSkinText(static_cast<std::size_t>(size));
  std::ofstream file(argv[2], std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (!file) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
