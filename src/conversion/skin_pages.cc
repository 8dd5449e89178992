#include "conversion/skin_pages.h"

#include <cstring>
#include <utility>

#include "conversion/pages_over_text.h"
#include "text/utf8.h"

namespace brellam {

namespace {

// Room for what a piece of the renamer's (at most kPagePiece bytes) becomes
// in the code page; what waits to go out goes first where there is not.
constexpr std::size_t kOutSize = kPagePiece;

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// How many bytes at the end of `utf8` start a character that they cut short.
std::size_t CutShort(std::string_view utf8) {
  for (std::size_t back = 1; back <= 3 && back <= utf8.size(); ++back) {
    const std::size_t at = utf8.size() - back;
    if (IsContinuation(utf8[at])) continue;
    const Utf8Character c = Utf8At(utf8, at);
    return !c.well_formed && at + c.size == utf8.size() ? back : 0;
  }
  return 0;
}

}  // namespace

PageWriter::PageWriter(TextEncoding encoding, bool line_end_after, const Platform& platform,
                       PageSink sink)
    : platform_(platform),
      sink_(std::move(sink)),
      renamer_(encoding == TextEncoding::kAnsi ? platform.AnsiCodePage() : SingleByteCodePage(),
               line_end_after,
               encoding == TextEncoding::kAnsi ? sink_ : PageSink([this](std::string_view utf8) {
                 return Encode(utf8);
               })),
      unicode_(encoding != TextEncoding::kAnsi) {
  if (encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be) {
    utf16_.emplace(encoding == TextEncoding::kUtf16Be);
  }
  if (unicode_) out_ = std::make_unique_for_overwrite<char[]>(kOutSize);
}

bool PageWriter::Feed(std::string_view bytes) {
  if (!utf16_) return renamer_.Feed(bytes);
  // In pieces whose UTF-8 stays within kPagePiece.
  while (!bytes.empty()) {
    const std::string_view piece = bytes.substr(0, kPagePiece / 2);
    bytes.remove_prefix(piece.size());
    utf8_.clear();
    utf16_->FeedAsUtf8(piece, utf8_);
    if (!renamer_.Feed(utf8_)) return false;
  }
  return true;
}

bool PageWriter::Finish() {
  if (utf16_) {
    utf8_.clear();
    utf16_->FinishAsUtf8(utf8_);
    renamer_.Feed(utf8_);
  }
  bool ok = renamer_.Finish();
  if (unicode_) {
    EncodeWhole(cut_);
    ok = Flush() && ok;
  }
  return ok;
}

// The renamer's pieces: each whole character now, one it cuts short with
// the next piece.
bool PageWriter::Encode(std::string_view utf8) {
  if (!cut_.empty()) {
    // Only bytes that can continue it belong to it.
    std::size_t taken = 0;
    while (cut_.size() + taken < 4 && taken < utf8.size() && IsContinuation(utf8[taken])) ++taken;
    cut_.append(utf8.substr(0, taken));
    utf8.remove_prefix(taken);
    if (utf8.empty() && CutShort(cut_) == cut_.size()) return ok_;
    EncodeWhole(cut_);
    cut_.clear();
  }
  const std::size_t whole = utf8.size() - CutShort(utf8);
  EncodeWhole(utf8.substr(0, whole));
  cut_.assign(utf8.substr(whole));
  return ok_;
}

void PageWriter::EncodeWhole(std::string_view utf8) {
  std::size_t at = 0;
  while (at < utf8.size()) {
    Reserve(utf8.size() - at);
    const Encoded encoded = platform_.EncodeAnsiInto(utf8.substr(at), out_.get() + out_size_);
    out_size_ += encoded.written;
    at += encoded.taken;
    if (at == utf8.size()) break;
    replacement_.clear();
    at += AppendReplacement(utf8, at, platform_, Unencodable::kReference, replacement_);
    Reserve(replacement_.size());
    std::memcpy(out_.get() + out_size_, replacement_.data(), replacement_.size());
    out_size_ += replacement_.size();
  }
}

void PageWriter::Reserve(std::size_t size) {
  if (out_size_ + size > kOutSize) Flush();
}

bool PageWriter::Flush() {
  if (ok_ && out_size_ > 0) ok_ = sink_(std::string_view(out_.get(), out_size_));
  out_size_ = 0;
  return ok_;
}

SkinPages PagesInAnsi(DecodedText skin_text, const Platform& platform) {
  // A decoded text is UTF-8, whatever it was read from.
  const TextEncoding encoding =
      skin_text.encoding == TextEncoding::kAnsi ? TextEncoding::kAnsi : TextEncoding::kUtf8;
  SkinMarks marks(platform.AnsiCodePage());
  marks.Feed(skin_text.text);
  marks.Finish();
  const Reading reading = encoding == TextEncoding::kAnsi ? Reading::kCodePage : Reading::kUnicode;
  return WritePagesOver(
      std::move(skin_text.text), marks.Pages(reading), [&](const PageLines& lines, PageSink sink) {
        return PageWriter(encoding, lines.line_end_after, platform, std::move(sink));
      });
}

}  // namespace brellam
