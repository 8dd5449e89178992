// Writes a made-up skin text of a given size:
// `brellam_make_skin_text BYTES FILE [--mention-every=N] [--utf-8]`.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "skin_generator.h"

namespace {

// A whole decimal number, or 0.
unsigned long long Number(const char* text) {
  char* end = nullptr;
  const unsigned long long number = std::strtoull(text, &end, 10);
  return *text != '\0' && *end == '\0' ? number : 0;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr std::string_view kEvery = "--mention-every=";
  brellam::SkinOptions options;
  bool usable = argc >= 3;
  for (int i = 3; i < argc && usable; ++i) {
    const std::string_view option = argv[i];
    if (option == "--utf-8") {
      options.encoding = brellam::SkinEncoding::kUtf8;
    } else if (option.starts_with(kEvery)) {
      options.mention_every = static_cast<std::size_t>(Number(argv[i] + kEvery.size()));
      usable = options.mention_every > 0;
    } else {
      usable = false;
    }
  }
  const unsigned long long size = usable ? Number(argv[1]) : 0;
  if (size < brellam::kMinSkinSize) {
    std::fprintf(stderr, "usage: %s BYTES FILE [--mention-every=N] [--utf-8] (BYTES >= %zu)\n",
                 argv[0], brellam::kMinSkinSize);
    return 2;
  }
  const std::string text = brellam::GenerateSkinText(static_cast<std::size_t>(size), options);
  std::ofstream file(argv[2], std::ios::binary);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (!file) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
