// Reading UTF-8 one character at a time, as the core and both platforms do.
#ifndef BRELLAM_PLATFORM_UTF8_H_
#define BRELLAM_PLATFORM_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace brellam {

struct Utf8Character {
  char32_t code_point = 0;
  std::size_t size = 1;  // of the character; or of the ill-formed bytes
  bool well_formed = false;
};

// The character at `at`. Ill-formed bytes (overlong forms, surrogates,
// beyond U+10FFFF, cut short) give the longest start that could have begun
// a character, at least one byte, so that each is replaced once.
Utf8Character Utf8At(std::string_view text, std::size_t at);

void AppendUtf8(char32_t code_point, std::string& out);

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_UTF8_H_
