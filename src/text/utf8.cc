#include "text/utf8.h"

#include <algorithm>
#include <cstring>

namespace brellam {

namespace {

// Where the first character from `at` on that is not well-formed starts,
// or bytes.size(). Most of a skin is ASCII (its HTML) or three-byte
// characters (Japanese), so both are skipped without a call.
std::size_t WellFormedUpTo(std::string_view bytes, std::size_t at, bool* long_characters) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  const auto* in = begin + at;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  while (in != end) {
    if (*in < 0x80) {
      std::uint64_t words[2];
      while (end - in >= static_cast<std::ptrdiff_t>(sizeof words)) {
        std::memcpy(words, in, sizeof words);
        if (((words[0] | words[1]) & kHighBits) != 0) break;
        in += sizeof words;
      }
      while (in != end && *in < 0x80) ++in;
      continue;
    }
    if (end - in >= 4) {
      const auto* const from = in;
      for (const auto* const stop = end - 3; in < stop && IsThreeByteCharacter(FourBytesAt(in));) {
        in += 3;
      }
      *long_characters = *long_characters || in != from;
      if (*in < 0x80) continue;
    }
    const Utf8Character c = Utf8At(bytes, static_cast<std::size_t>(in - begin));
    if (!c.well_formed) break;
    *long_characters = *long_characters || c.size >= 3;
    in += c.size;
  }
  return static_cast<std::size_t>(in - begin);
}

}  // namespace

void Utf8Checker::Feed(std::string_view bytes) {
  const std::uint64_t start = fed_;
  fed_ += bytes.size();
  if (ill_formed_ != kWellFormed) return;
  std::size_t at = 0;
  if (!cut_.empty()) {
    // Only the bytes it still lacks can complete it.
    const std::size_t had = cut_.size();
    cut_.append(bytes.substr(0, 4 - had));
    const Utf8Character c = Utf8At(cut_, 0);
    if (!c.well_formed) {
      // Cut short again, or no character.
      if (c.size == cut_.size() && cut_.size() < 4) return;
      ill_formed_ = cut_at_;
      return;
    }
    long_characters_ = long_characters_ || c.size >= 3;
    at = c.size - had;
    cut_.clear();
  }
  at = WellFormedUpTo(bytes, at, &long_characters_);
  if (at == bytes.size()) return;
  if (at + Utf8At(bytes, at).size == bytes.size()) {
    cut_.assign(bytes.substr(at));
    cut_at_ = start + at;
  } else {
    ill_formed_ = start + at;
  }
}

std::uint64_t Utf8Checker::Finish() {
  if (ill_formed_ == kWellFormed && !cut_.empty()) ill_formed_ = cut_at_;
  return ill_formed_;
}

void AppendUtf8(char32_t code_point, std::string& out) {
  char bytes[kLongestUtf8];
  out.append(bytes, WriteUtf8(code_point, bytes));
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
