// Made-up skin texts of any size, for measuring the conversion: the same
// bytes for the same size on every machine.
#ifndef BRELLAM_BENCH_SKIN_GENERATOR_H_
#define BRELLAM_BENCH_SKIN_GENERATOR_H_

#include <cstddef>
#include <string>

namespace brellam {

// A skin text of exactly `size` bytes (at least kMinSkinSize) in code page
// 932: the three marker lines near the top, then HTML lines of Japanese
// text up to the end, every 64th of them mentioning "NewRes.htm". All lines
// end with CR LF.
std::string GenerateSkinText(std::size_t size);

inline constexpr std::size_t kMinSkinSize = 1024;

}  // namespace brellam

#endif  // BRELLAM_BENCH_SKIN_GENERATOR_H_
