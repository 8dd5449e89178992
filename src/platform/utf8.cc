#include "platform/utf8.h"

#include <algorithm>

namespace brellam {

Utf8Character Utf8At(std::string_view text, std::size_t at) {
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

void AppendUtf8(char32_t code_point, std::string& out) {
  const auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
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
}

std::size_t AppendInPieces(std::string_view utf8, std::string& out,
                           const std::function<bool(std::string_view, std::string&)>& take) {
  constexpr std::size_t kFirstPiece = 64;
  constexpr std::size_t kLargestPiece = 1 << 20;
  std::size_t done = 0;
  std::size_t piece = kFirstPiece;
  while (done < utf8.size()) {
    std::size_t end = std::min(utf8.size(), done + piece);
    // Not within a character: before a continuation byte.
    while (end > done && end < utf8.size() &&
           (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
      --end;
    }
    if (take(utf8.substr(done, end - done), out)) {
      done = end;
      piece = std::min(piece * 2, kLargestPiece);
      continue;
    }
    while (done < end) {
      const Utf8Character c = Utf8At(utf8, done);
      if (!c.well_formed || !take(utf8.substr(done, c.size), out)) return done;
      done += c.size;
    }
    piece = kFirstPiece;
  }
  return done;
}

}  // namespace brellam
