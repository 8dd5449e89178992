#include "conversion/text_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <utility>

#include "conversion/messages.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace brellam {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

// Skips eight ASCII bytes at a time: most of a skin is HTML.
std::size_t SkipAscii(std::string_view bytes, std::size_t at) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::uint64_t word;
  while (at + sizeof word <= bytes.size()) {
    std::memcpy(&word, bytes.data() + at, sizeof word);
    if ((word & kHighBits) != 0) break;
    at += sizeof word;
  }
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) ++at;
  return at;
}

// Where the first ill-formed byte is, or kNone; `long_characters` tells
// whether a character of three or four bytes came before it.
std::size_t FirstIllFormedUtf8(std::string_view bytes, bool* long_characters) {
  *long_characters = false;
  for (std::size_t at = SkipAscii(bytes, 0); at < bytes.size(); at = SkipAscii(bytes, at)) {
    const Utf8Character c = Utf8At(bytes, at);
    if (!c.well_formed) return at;
    *long_characters = *long_characters || c.size >= 3;
    at += c.size;
  }
  return kNone;
}

// Code page 932 bytes for the characters that other systems' Japanese
// tables put where Windows has its own.
struct Substitute {
  std::string_view utf8;
  std::string_view ansi;
};
constexpr Substitute kSubstitutes932[] = {
    {"\xE3\x80\x9C", "\x81\x60"},  // U+301C WAVE DASH
    {"\xE2\x80\x96", "\x81\x61"},  // U+2016 DOUBLE VERTICAL LINE
    {"\xE2\x88\x92", "\x81\x7C"},  // U+2212 MINUS SIGN
    {"\xE2\x80\x94", "\x81\x5C"},  // U+2014 EM DASH
    {"\xC2\xA2", "\x81\x91"},      // U+00A2 CENT SIGN
    {"\xC2\xA3", "\x81\x92"},      // U+00A3 POUND SIGN
    {"\xC2\xAC", "\x81\xCA"},      // U+00AC NOT SIGN
};

}  // namespace

DecodedText DecodeText(std::string bytes, std::string* reason) {
  DecodedText decoded;
  const std::string_view view(bytes);
  if (view.starts_with(kUtf16LeMark) || view.starts_with(kUtf16BeMark)) {
    const bool big_endian = view.starts_with(kUtf16BeMark);
    decoded.encoding = big_endian ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le;
    const std::size_t mark = kUtf16LeMark.size();
    if (view.size() % 2 != 0) {
      *reason = Utf16OddSize(view.size());
    } else if (const std::size_t bad = AppendUtf16(view.substr(mark), big_endian, decoded.text);
               bad != kNone) {
      *reason = Utf16UnpairedSurrogate(mark + bad);
      decoded.text.clear();
    }
    return decoded;
  }
  bool long_characters = false;
  if (view.starts_with(kUtf8ByteOrderMark)) {
    decoded.encoding = TextEncoding::kUtf8;
    const std::size_t bad =
        FirstIllFormedUtf8(view.substr(kUtf8ByteOrderMark.size()), &long_characters);
    if (bad != kNone) {
      *reason = IllFormedUtf8(kUtf8ByteOrderMark.size() + bad);
      return decoded;
    }
    bytes.erase(0, kUtf8ByteOrderMark.size());
  } else if (FirstIllFormedUtf8(view, &long_characters) == kNone && long_characters) {
    decoded.encoding = TextEncoding::kUtf8;
  }
  decoded.text = std::move(bytes);
  return decoded;
}

std::size_t AppendReplacement(std::string_view utf8, std::size_t at, const Platform& platform,
                              Unencodable unencodable, std::string& ansi) {
  const Utf8Character c = Utf8At(utf8, at);
  const std::string_view rest = utf8.substr(at);
  const bool substitutes = platform.AnsiCodePage().number == 932;
  const auto substitute =
      std::find_if(std::begin(kSubstitutes932), std::end(kSubstitutes932),
                   [&](const Substitute& s) { return substitutes && rest.starts_with(s.utf8); });
  if (substitute != std::end(kSubstitutes932)) {
    ansi.append(substitute->ansi);
  } else if (c.well_formed && unencodable == Unencodable::kReference) {
    ansi.append("&#").append(std::to_string(c.code_point)).append(";");
  } else {
    ansi.push_back('?');
  }
  return c.size;
}

void AppendAnsi(std::string_view utf8, const Platform& platform, Unencodable unencodable,
                std::string& ansi) {
  std::size_t at = 0;
  while (true) {
    at += platform.EncodeAnsi(utf8.substr(at), ansi);
    if (at == utf8.size()) return;
    at += AppendReplacement(utf8, at, platform, unencodable, ansi);
  }
}

}  // namespace brellam
