// Names that match without regard to ASCII case, as Windows matches the
// names of settings and registry keys.
#ifndef BRELLAM_TEXT_ASCII_H_
#define BRELLAM_TEXT_ASCII_H_

#include <algorithm>
#include <string_view>

namespace brellam {

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

}  // namespace brellam

#endif  // BRELLAM_TEXT_ASCII_H_
