// Made-up skin texts of any size, for measuring the conversion: the same
// bytes for the same size and options on every machine.
#ifndef BRELLAM_BENCH_SKIN_GENERATOR_H_
#define BRELLAM_BENCH_SKIN_GENERATOR_H_

#include <cstddef>
#include <string>

namespace brellam {

enum class SkinEncoding { kCodePage932, kUtf8 };

struct SkinOptions {
  // Every n-th body line (n >= 1) mentions "NewRes.htm", and so is a marker.
  std::size_t mention_every = 64;
  // UTF-8 texts have no byte-order mark, and hold only characters that code
  // page 932 has too.
  SkinEncoding encoding = SkinEncoding::kCodePage932;
};

// A skin text of exactly `size` bytes (at least kMinSkinSize): the three
// marker lines near the top, then HTML lines of Japanese text up to the
// end. All lines end with CR LF.
std::string GenerateSkinText(std::size_t size, const SkinOptions& options = {});

inline constexpr std::size_t kMinSkinSize = 1024;

}  // namespace brellam

#endif  // BRELLAM_BENCH_SKIN_GENERATOR_H_
