// ASCII letters in one case, and names that match without regard to it, as
// Windows matches the names of settings, registry keys and devices.
#ifndef BRELLAM_TEXT_ASCII_H_
#define BRELLAM_TEXT_ASCII_H_

#include <algorithm>
#include <string_view>

namespace brellam {

// The blanks that INI and registry text allow around names and values.
inline constexpr std::string_view kAsciiBlanks = " \t";

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

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
