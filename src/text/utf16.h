// UTF-16 bytes as UTF-8 text.
#ifndef BRELLAM_TEXT_UTF16_H_
#define BRELLAM_TEXT_UTF16_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace brellam {

// Appends the code units of `bytes` (an even number of them, two bytes each
// in the order given) to `utf8` as UTF-8. Answers npos, or, for a surrogate
// without its partner, the offset of its first byte in `bytes`; `utf8` then
// holds the text before it.
std::size_t AppendUtf16(std::string_view bytes, bool big_endian, std::string& utf8);

}  // namespace brellam

#endif  // BRELLAM_TEXT_UTF16_H_
