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

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::size_t kLongestMark = kUtf8ByteOrderMark.size();
// UTF-16 is looked at in pieces of this many bytes, for the units' bytes.
constexpr std::size_t kUtf16Piece = 32 << 10;

// Writes a byte for each UTF-16 code unit: itself when ASCII, else 0x80.
struct UnitBytes {
  void operator()(char32_t c, std::size_t units) {
    for (std::size_t i = 0; i < units; ++i) *out++ = static_cast<char>(c < 0x80 ? c : 0x80);
  }
  char* out;
};

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

void EncodingCheck::Feed(std::string_view bytes) {
  size_ += bytes.size();
  if (!decided_) {
    const std::size_t taken = std::min(bytes.size(), kLongestMark - head_.size());
    head_.append(bytes.substr(0, taken));
    bytes.remove_prefix(taken);
    if (head_.size() < kLongestMark) return;
    Decide();
  }
  FeedText(bytes);
}

void EncodingCheck::Decide() {
  decided_ = true;
  const std::string_view head = head_;
  if (head.starts_with(kUtf16LeMark) || head.starts_with(kUtf16BeMark)) {
    const bool big_endian = head.starts_with(kUtf16BeMark);
    encoding_ = big_endian ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le;
    mark_size_ = kUtf16LeMark.size();
    utf16_.emplace(big_endian);
  } else if (head.starts_with(kUtf8ByteOrderMark)) {
    encoding_ = TextEncoding::kUtf8;
    mark_size_ = kUtf8ByteOrderMark.size();
  }
  FeedText(head.substr(mark_size_));
}

void EncodingCheck::FeedText(std::string_view bytes) {
  if (!utf16_) {
    utf8_.Feed(bytes);
    if (!bytes.empty()) units_(bytes);
    return;
  }
  while (!bytes.empty()) {
    const std::string_view piece = bytes.substr(0, kUtf16Piece);
    bytes.remove_prefix(piece.size());
    // A pair whose high surrogate came before writes one byte more.
    unit_bytes_.resize(piece.size() / 2 + 2);
    UnitBytes unit{unit_bytes_.data()};
    utf16_->Feed(piece, unit);
    units_(std::string_view(unit_bytes_.data(),
                            static_cast<std::size_t>(unit.out - unit_bytes_.data())));
  }
}

bool EncodingCheck::Finish(TextEncoding* encoding, std::string* reason) {
  if (!decided_) Decide();
  *encoding = encoding_;
  if (utf16_) {
    if (size_ % 2 != 0) {
      *reason = Utf16OddSize(size_);
      return false;
    }
    const std::uint64_t unpaired = utf16_->Finish([](char32_t, std::size_t) {});
    if (unpaired != Utf16Reader::kPaired) {
      *reason = Utf16UnpairedSurrogate(mark_size_ + unpaired);
      return false;
    }
  } else if (encoding_ == TextEncoding::kUtf8) {
    const std::uint64_t ill_formed = utf8_.Finish();
    if (ill_formed != Utf8Checker::kWellFormed) {
      *reason = IllFormedUtf8(mark_size_ + ill_formed);
      return false;
    }
  } else if (utf8_.Finish() == Utf8Checker::kWellFormed && utf8_.long_characters()) {
    *encoding = TextEncoding::kUtf8;
  }
  return true;
}

DecodedText DecodeText(std::string bytes, std::string* reason) {
  DecodedText decoded;
  EncodingCheck check([](std::string_view) {});
  check.Feed(bytes);
  if (!check.Finish(&decoded.encoding, reason)) return decoded;
  const std::string_view text = std::string_view(bytes).substr(check.MarkSize());
  if (check.UnitSize() == 1) {
    bytes.erase(0, check.MarkSize());
    decoded.text = std::move(bytes);
    return decoded;
  }
  Utf16Reader reader(decoded.encoding == TextEncoding::kUtf16Be);
  // In pieces into room reserved once: memory only for what it takes.
  decoded.text.reserve(text.size() / 2 * 3 + 2 * kLongestUtf8);
  for (std::size_t at = 0; at < text.size(); at += kUtf16Piece) {
    reader.FeedAsUtf8(text.substr(at, kUtf16Piece), decoded.text);
  }
  reader.FinishAsUtf8(decoded.text);
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
