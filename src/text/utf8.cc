#include "text/utf8.h"

#include <algorithm>
#include <cstring>

// Sixteen bytes at a time where the processor surely can: every x86-64 one.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define BRELLAM_SSE2 1
#endif

namespace brellam {

namespace {

// From `in`, where a character starts, skips blocks of sixteen bytes that
// hold nothing but ASCII and well-formed characters of two and three bytes
// whose lead byte needs no closer look (not C0, C1, E0, ED or F0 on), as
// most of a skin does, and answers where a character starts after them;
// `retry` where a block failed that look, or `end`.
const unsigned char* SkipPlainBlocks(const unsigned char* in, const unsigned char* end,
                                     bool* long_characters, const unsigned char** retry) {
  *retry = end;
#ifdef BRELLAM_SSE2
  // As signed bytes, continuation bytes 0x80-0xBF are those below -64.
  const __m128i zero = _mm_setzero_si128();
  const auto at_least = [](__m128i bytes, char least) {
    return _mm_cmpeq_epi8(_mm_max_epu8(bytes, _mm_set1_epi8(least)), bytes);
  };
  __m128i leads_before = zero;
  __m128i long_leads_before = zero;
  __m128i long_leads = zero;
  for (; end - in >= 16; in += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const __m128i continuations = _mm_cmplt_epi8(bytes, _mm_set1_epi8(-64));
    const __m128i leads = at_least(bytes, '\xC0');
    const __m128i three_byte_leads = at_least(bytes, '\xE0');
    // Nonzero where a byte needs the closer look.
    const __m128i closer_look = _mm_or_si128(
        _mm_or_si128(
            _mm_subs_epu8(bytes, _mm_set1_epi8('\xEF')),
            _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8('\xFE')), _mm_set1_epi8('\xC0'))),
        _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\xE0')),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\xED'))));
    // Each lead byte calls for a continuation byte after it, a three-byte
    // lead for one more after that, the last ones of a block in the next.
    const __m128i called_for = _mm_or_si128(
        _mm_or_si128(_mm_slli_si128(leads, 1), _mm_srli_si128(leads_before, 15)),
        _mm_or_si128(_mm_slli_si128(three_byte_leads, 2), _mm_srli_si128(long_leads_before, 14)));
    const __m128i wrong = _mm_or_si128(_mm_xor_si128(called_for, continuations), closer_look);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(wrong, zero)) != 0xFFFF) {
      *retry = in + 16;
      break;
    }
    leads_before = leads;
    long_leads_before = three_byte_leads;
    long_leads = _mm_or_si128(long_leads, three_byte_leads);
  }
  *long_characters = *long_characters || _mm_movemask_epi8(long_leads) != 0;
  // Back to the start of a character that the last block left incomplete.
  if ((_mm_movemask_epi8(leads_before) & 0x8000) != 0) return in - 1;
  if ((_mm_movemask_epi8(long_leads_before) & 0x4000) != 0) return in - 2;
#else
  (void)long_characters;
#endif
  return in;
}

// Where the first character from `at` on that is not well-formed starts,
// or bytes.size(). Most of a skin is ASCII (its HTML) or three-byte
// characters (Japanese), so both are skipped without a call.
std::size_t WellFormedUpTo(std::string_view bytes, std::size_t at, bool* long_characters) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  const auto* in = begin + at;
  const auto* blocks_from = in;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  while (in != end) {
    if (in >= blocks_from) {
      in = SkipPlainBlocks(in, end, long_characters, &blocks_from);
      if (in == end) break;
    }
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
