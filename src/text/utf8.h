// Reading UTF-8 one character at a time, as the core and both platforms do.
#ifndef BRELLAM_TEXT_UTF8_H_
#define BRELLAM_TEXT_UTF8_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace brellam {

// What marks a text as UTF-8 when it begins with it.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct Utf8Character {
  char32_t code_point = 0;
  std::size_t size = 1;  // of the character; or of the ill-formed bytes
  bool well_formed = false;
};

// The character at `at`. Ill-formed bytes (overlong forms, surrogates,
// beyond U+10FFFF, cut short) give the longest start that could have begun
// a character, at least one byte, so that each is replaced once.
inline Utf8Character Utf8At(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return {lead, 1, true};
  // Continuation bytes are 0x80-0xBF, narrowed after some leads so that no
  // overlong form, surrogate or code point past U+10FFFF gets through.
  std::size_t more = 0;
  char32_t code_point = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    code_point = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    code_point = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    code_point = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  std::size_t size = 1;
  for (; more > 0; --more, ++size) {
    if (at + size >= text.size()) return {0, size, false};
    const auto next = static_cast<unsigned char>(text[at + size]);
    if (next < low || next > high) return {0, size, false};
    code_point = (code_point << 6) | (next & 0x3Fu);
    low = 0x80;
    high = 0xBF;
  }
  return {code_point, size, true};
}

// Four bytes from `in`, the first lowest, in one load where the machine
// allows: most of Japanese text is three-byte characters, looked at whole.
inline std::uint32_t FourBytesAt(const unsigned char* in) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint32_t bytes;
    std::memcpy(&bytes, in, sizeof bytes);
    return bytes;
  } else {
    return in[0] | (std::uint32_t{in[1]} << 8) | (std::uint32_t{in[2]} << 16) |
           (std::uint32_t{in[3]} << 24);
  }
}

// Whether the bytes that FourBytesAt gives begin with a well-formed
// three-byte character: 1110xxxx 10xxxxxx 10xxxxxx, where bit 5 of the
// second byte tells an overlong form (E0 80-9F) and a surrogate (ED A0-BF)
// from the rest.
inline bool IsThreeByteCharacter(std::uint32_t bytes) {
  return (bytes & 0xC0C0F0) == 0x8080E0 && (bytes & 0x200F) != 0 && (bytes & 0x20FF) != 0x20ED;
}

// Checks bytes fed in pieces of any size for well-formed UTF-8, reading
// them as Utf8At does.
class Utf8Checker {
 public:
  static constexpr std::uint64_t kWellFormed = ~std::uint64_t{0};

  void Feed(std::string_view bytes);
  // After the last piece: the offset, from the first byte fed, of the
  // first bytes that are no character, or kWellFormed.
  std::uint64_t Finish();
  // A character of three or four bytes came before any such bytes.
  bool long_characters() const { return long_characters_; }

 private:
  std::uint64_t fed_ = 0;
  std::uint64_t ill_formed_ = kWellFormed;
  bool long_characters_ = false;
  // A character that the end of the last piece cut short, and where.
  std::string cut_;
  std::uint64_t cut_at_ = 0;
};

inline constexpr std::size_t kLongestUtf8 = 4;

// Writes the code point in UTF-8 at `out`; answers where it ends.
inline char* WriteUtf8(char32_t code_point, char* out) {
  const auto byte = [&out](char32_t value) { *out++ = static_cast<char>(value); };
  if (code_point < 0x80) {
    byte(code_point);
  } else if (code_point < 0x800) {
    byte(0xC0 | (code_point >> 6));
    byte(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    byte(0xE0 | (code_point >> 12));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  } else {
    byte(0xF0 | (code_point >> 18));
    byte(0x80 | ((code_point >> 12) & 0x3F));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  }
  return out;
}

// The code point in UTF-8 at the end of `out`.
void AppendUtf8(char32_t code_point, std::string& out);

struct Encoded {
  std::size_t taken = 0;    // of the UTF-8 text
  std::size_t written = 0;  // bytes at `out`
};

// Writes at `out` what `take` takes of `utf8`, and answers how much of
// `utf8` that was and how many bytes it wrote; the character after it is
// one `take` refuses, or bytes that are no UTF-8. `take` is asked for whole
// pieces first, growing while it takes them, and around a piece it refuses
// for one character at a time, so each character is looked at a bounded
// number of times. It appends a piece's bytes to its `scratch` whole,
// answering true, or appends nothing. A piece is written only once it has
// been read, and never longer than it is: `out` may be `utf8` itself.
Encoded TakeInPieces(std::string_view utf8, char* out,
                     const std::function<bool(std::string_view, std::string&)>& take);

}  // namespace brellam

#endif  // BRELLAM_TEXT_UTF8_H_
