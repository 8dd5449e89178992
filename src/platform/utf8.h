// Reading UTF-8 one character at a time, as the core and both platforms do.
#ifndef BRELLAM_PLATFORM_UTF8_H_
#define BRELLAM_PLATFORM_UTF8_H_

#include <cstddef>
#include <functional>
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

// Appends to `out` what `take` takes of `utf8` and answers how far that
// got: the character there is one `take` refuses, or bytes that are no
// UTF-8. `take` is asked for whole pieces first, growing while it takes
// them, and around a piece it refuses for one character at a time, so each
// character is looked at a bounded number of times. It must append a piece
// whole, answering true, or append nothing.
std::size_t AppendInPieces(std::string_view utf8, std::string& out,
                           const std::function<bool(std::string_view, std::string&)>& take);

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_UTF8_H_
