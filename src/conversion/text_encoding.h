// Which encoding a skin text's bytes are in, and text on its way into the
// ANSI code page, which is what the host program reads: characters it lacks
// become HTML references or the code-page-932 bytes people mean by them.
#ifndef BRELLAM_CONVERSION_TEXT_ENCODING_H_
#define BRELLAM_CONVERSION_TEXT_ENCODING_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace brellam {

enum class TextEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// A file's text: bytes of the ANSI code page, kept as they are, or the
// decoded text in UTF-8 without its byte-order mark.
struct DecodedText {
  TextEncoding encoding = TextEncoding::kAnsi;
  std::string text;
};

// How a text's bytes are to be read, decided from the bytes fed in pieces of
// any size: a byte-order mark first (UTF-8, UTF-16 LE or BE); then UTF-8
// when every byte is well-formed UTF-8 and at least one character takes
// three or four bytes, since text of ASCII and half-width katakana in code
// page 932 can be well-formed two-byte UTF-8; else the ANSI code page. So
// without a mark it is known only at the end. Linear in the size.
class EncodingCheck {
 public:
  // Handed the text after its mark, in pieces, one byte for each of its
  // code units: its own bytes, or for UTF-16 a unit's byte when it is
  // ASCII and 0x80 for any other. Line ends and page names stand there
  // where they stand in the text.
  using Units = std::function<void(std::string_view)>;

  explicit EncodingCheck(Units units) : units_(std::move(units)) {}

  void Feed(std::string_view bytes);
  // After the last piece: the encoding, and false, with the reason, for
  // bytes that are not what their mark says.
  bool Finish(TextEncoding* encoding, std::string* reason);
  // The bytes fed. Unit n of the text is at MarkSize() + n * UnitSize().
  std::uint64_t Size() const { return size_; }
  std::size_t MarkSize() const { return mark_size_; }
  std::size_t UnitSize() const { return utf16_ ? 2 : 1; }

 private:
  void Decide();
  void FeedText(std::string_view bytes);

  Units units_;
  std::string head_;  // the first bytes, until they show whether a mark begins the text
  bool decided_ = false;
  TextEncoding encoding_ = TextEncoding::kAnsi;
  std::size_t mark_size_ = 0;
  std::uint64_t size_ = 0;
  Utf8Checker utf8_;
  std::optional<Utf16Reader> utf16_;
  std::string unit_bytes_;
};

// The whole text, decided as EncodingCheck decides. Bytes that are refused
// give an empty text, and `reason` says why.
DecodedText DecodeText(std::string bytes, std::string* reason);

// What a character that the ANSI code page lacks becomes.
enum class Unencodable {
  kReference,     // "&#128512;": pages are HTML, so nothing is lost
  kQuestionMark,  // "?", where no reader would resolve a reference
};

// Appends UTF-8 text in the ANSI code page; bytes that are no UTF-8 become
// "?". In code page 932, the characters that other systems' Japanese tables
// put where Windows has its own (WAVE DASH and six more) become the bytes
// those tables give them, since people paste text from such systems.
void AppendAnsi(std::string_view utf8, const Platform& platform, Unencodable unencodable,
                std::string& ansi);

// For the character at `at` of `utf8`, which the platform's EncodeAnsi
// stopped at, appends what AppendAnsi writes for it, and answers its size.
std::size_t AppendReplacement(std::string_view utf8, std::size_t at, const Platform& platform,
                              Unencodable unencodable, std::string& ansi);

inline std::string ToAnsi(std::string_view utf8, const Platform& platform,
                          Unencodable unencodable) {
  std::string ansi;
  AppendAnsi(utf8, platform, unencodable, ansi);
  return ansi;
}

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_TEXT_ENCODING_H_
