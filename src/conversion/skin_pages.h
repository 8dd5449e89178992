// A skin text's bytes into the pages the host reads.
#ifndef BRELLAM_CONVERSION_SKIN_PAGES_H_
#define BRELLAM_CONVERSION_SKIN_PAGES_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "conversion/skin_text.h"
#include "conversion/text_encoding.h"
#include "platform/platform.h"
#include "text/utf16.h"

namespace brellam {

// The second of the two looks through a skin text file: one page in the
// ANSI code page, written from its bytes (SkinLayout::pages) fed in pieces
// of any size. A text in the code page keeps its bytes; UTF-8 and UTF-16
// are split on their own characters and then written as AppendAnsi writes
// them, characters the code page lacks as HTML references. Every
// "NewRes.htm" becomes "New.htm" as in SplitSkinText. The sink gets pieces
// of at most kPagePiece bytes: memory does not grow with the page.
class PageWriter {
 public:
  PageWriter(TextEncoding encoding, bool line_end_after, const Platform& platform, PageSink sink);
  PageWriter(const PageWriter&) = delete;
  PageWriter& operator=(const PageWriter&) = delete;

  // False once the sink refused a piece; nothing more is written then.
  bool Feed(std::string_view bytes);
  bool Finish();

 private:
  bool Encode(std::string_view utf8);
  void EncodeWhole(std::string_view utf8);
  void Reserve(std::size_t size);
  bool Flush();

  const Platform& platform_;
  PageSink sink_;
  std::optional<Utf16Reader> utf16_;
  std::string utf8_;  // a piece of UTF-16 as UTF-8
  PageRenamer renamer_;
  bool unicode_;
  // A character that the end of the renamer's last piece cut short.
  std::string cut_;
  std::unique_ptr<char[]> out_;
  std::size_t out_size_ = 0;
  std::string replacement_;
  bool ok_ = true;
};

// The three pages in the ANSI code page, as PageWriter writes them, over
// the text itself.
SkinPages PagesInAnsi(DecodedText skin_text, const Platform& platform);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_PAGES_H_
