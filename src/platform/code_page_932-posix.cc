#include "platform/code_page_932-posix.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/code_page.h"
#include "text/utf8.h"

namespace brellam {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// All of `in` through `converter`, or nothing when any of it does not go.
bool ConvertWhole(iconv_t converter, std::string_view in, std::string& out) {
  out.resize(in.size() * 4);
  char* from = const_cast<char*>(in.data());
  std::size_t from_left = in.size();
  char* to = out.data();
  std::size_t room = out.size();
  ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
  const bool whole =
      ::iconv(converter, &from, &from_left, &to, &room) != static_cast<std::size_t>(-1);
  out.resize(static_cast<std::size_t>(to - out.data()));
  return whole;
}

// Where the encoding table keeps a code point's code. The bytes of a
// three-byte UTF-8 form, taken as 4096 b0 + 64 b1 + b2, give the code point
// plus 0xE2080: the commonest characters cost no shifting and masking of
// bits, and an overlong form finds no code, nor does a surrogate. Code
// points below U+0800 are kept apart, after those slots.
constexpr std::size_t kThreeByteSlots = 0x10000;
constexpr std::size_t kSlots = kThreeByteSlots + 0x800;
std::size_t Slot(std::uint32_t code_point) {
  return code_point < 0x800 ? kThreeByteSlots + code_point : (code_point + 0x2080) & 0xFFFF;
}

// The code page 932 code that stands for each character of the Basic
// Multilingual Plane past ASCII, or 0: the C library's own table, turned
// round once so that a large text costs a look-up a character. Built from
// what the library reads each code as, and what it writes for each
// character so read, kept only where that reads back as the character.
std::vector<CodePage932Encoder::Code> EncodeTable932(iconv_t to_932, iconv_t from_932) {
  const CodePage& code_page = CodePage932();
  std::vector<char32_t> read_as(0x10000, 0);
  std::string bytes;
  std::string utf8;
  for (unsigned code = 0x80; code < 0x10000; ++code) {
    const auto first = static_cast<char>(code >> 8);
    const auto second = static_cast<char>(code & 0xFF);
    if (code < 0x100 ? code_page.IsLead(second)
                     : !code_page.IsLead(first) || !code_page.IsTrail(second)) {
      continue;
    }
    bytes = code < 0x100 ? std::string(1, second) : std::string{first, second};
    if (ConvertWhole(from_932, bytes, utf8)) {
      const Utf8Character c = Utf8At(utf8, 0);
      if (c.well_formed && c.size == utf8.size()) read_as[code] = c.code_point;
    }
  }
  std::vector<CodePage932Encoder::Code> table(kSlots, {'\0', '\0'});
  for (const char32_t c : read_as) {
    if (c < 0x80 || c > 0xFFFF || table[Slot(c)][0] != 0) continue;
    utf8.clear();
    AppendUtf8(c, utf8);
    if (!ConvertWhole(to_932, utf8, bytes) || bytes.empty() || bytes.size() > 2) continue;
    unsigned code = 0;
    for (const char byte : bytes) code = (code << 8) | static_cast<unsigned char>(byte);
    if (read_as[code] == c) table[Slot(c)] = {bytes[0], bytes.size() == 2 ? bytes[1] : '\0'};
  }
  return table;
}

// EncodeAnsiInto through the table. ASCII (a skin's HTML) and three-byte
// characters (Japanese) take most of a text, and go without a call. Each
// byte is read before anything is written over it.
Encoded EncodeThroughTable(std::string_view utf8, char* out,
                           const CodePage932Encoder::Code* table) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* const end = begin + utf8.size();
  const auto* in = begin;
  char* const start = out;
  while (in != end) {
    if (*in < 0x80) {
      constexpr std::uint64_t kHighBits = 0x8080808080808080u;
      std::uint64_t word;
      while (end - in >= 8) {
        std::memcpy(&word, in, sizeof word);
        if ((word & kHighBits) != 0) break;
        std::memcpy(out, &word, sizeof word);
        out += sizeof word;
        in += sizeof word;
      }
      while (in != end && *in < 0x80) *out++ = static_cast<char>(*in++);
      continue;
    }
    // 1110xxxx 10xxxxxx 10xxxxxx, the table telling the forms that are no
    // character. A one-byte code writes a second byte that the next
    // character writes over.
    for (const auto* const stop = end - std::min<std::ptrdiff_t>(end - in, 3);
         in < stop && (FourBytesAt(in) & 0xC0C0F0) == 0x8080E0;) {
      const CodePage932Encoder::Code code =
          table[((std::uint32_t{in[0]} << 12) + (std::uint32_t{in[1]} << 6) + in[2]) & 0xFFFF];
      if (code[0] == 0) break;
      std::memcpy(out, code.data(), code.size());
      out += code[1] != 0 ? 2 : 1;
      in += 3;
    }
    if (*in < 0x80) continue;
    const Utf8Character c = Utf8At(utf8, static_cast<std::size_t>(in - begin));
    if (!c.well_formed || c.code_point > 0xFFFF) break;
    const CodePage932Encoder::Code code = table[Slot(c.code_point)];
    if (code[0] == 0) break;
    *out++ = code[0];
    if (code[1] != 0) *out++ = code[1];
    in += c.size;
  }
  return {static_cast<std::size_t>(in - begin), static_cast<std::size_t>(out - start)};
}

}  // namespace

CodePage932Encoder::~CodePage932Encoder() {
  if (to_932_ != kNoConverter) ::iconv_close(to_932_);
  if (from_932_ != kNoConverter) ::iconv_close(from_932_);
}

Encoded CodePage932Encoder::Encode(std::string_view utf8, char* out) {
  if (to_932_ == kNoConverter) {
    to_932_ = ::iconv_open("CP932", "UTF-8");
    from_932_ = ::iconv_open("UTF-8", "CP932");
  }
  if (to_932_ == kNoConverter || from_932_ == kNoConverter) {
    // Without the library's table only ASCII is certain.
    std::size_t ascii = 0;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    std::memmove(out, utf8.data(), ascii);
    return {ascii, ascii};
  }
  // Pages come in pieces: the table pays once enough of them came.
  encoded_ += utf8.size();
  if (encoded_ < table_from_ && table_.empty()) {
    // A piece is taken only when it reads back as it was: the library also
    // writes some characters as look-alikes (U+00A5 as "\\", U+301C as
    // U+FF5E's code) or as nothing (the tag characters), which Windows
    // refuses.
    std::string back;
    return TakeInPieces(utf8, out, [&](std::string_view piece, std::string& scratch) {
      if (!ConvertWhole(to_932_, piece, scratch) || !ConvertWhole(from_932_, scratch, back) ||
          back != piece) {
        scratch.clear();
        return false;
      }
      return true;
    });
  }
  if (table_.empty()) table_ = EncodeTable932(to_932_, from_932_);
  return EncodeThroughTable(utf8, out, table_.data());
}

}  // namespace brellam
