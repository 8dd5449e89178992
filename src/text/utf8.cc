#include "text/utf8.h"

#include <algorithm>
#include <cstring>

namespace brellam {

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

Encoded TakeInPieces(std::string_view utf8, char* out,
                     const std::function<bool(std::string_view, std::string&)>& take) {
  constexpr std::size_t kFirstPiece = 64;
  constexpr std::size_t kLargestPiece = 1 << 20;
  Encoded done;
  std::string scratch;
  const auto taken = [&](std::string_view piece) {
    scratch.clear();
    if (!take(piece, scratch) || scratch.size() > piece.size()) return false;
    std::memmove(out + done.written, scratch.data(), scratch.size());
    done.taken += piece.size();
    done.written += scratch.size();
    return true;
  };
  std::size_t piece = kFirstPiece;
  while (done.taken < utf8.size()) {
    std::size_t end = std::min(utf8.size(), done.taken + piece);
    // Not within a character: before a continuation byte.
    while (end > done.taken && end < utf8.size() &&
           (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) {
      --end;
    }
    if (taken(utf8.substr(done.taken, end - done.taken))) {
      piece = std::min(piece * 2, kLargestPiece);
      continue;
    }
    while (done.taken < end) {
      const Utf8Character c = Utf8At(utf8, done.taken);
      if (!c.well_formed || !taken(utf8.substr(done.taken, c.size))) return done;
    }
    piece = kFirstPiece;
  }
  return done;
}

}  // namespace brellam
