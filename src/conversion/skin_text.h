// The skin text and how it is cut into the skin folder's three pages.
#ifndef BRELLAM_CONVERSION_SKIN_TEXT_H_
#define BRELLAM_CONVERSION_SKIN_TEXT_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "text/code_page.h"
#include "text/piece_window.h"

namespace brellam {

inline constexpr std::string_view kLineEnd = "\r\n";

// The page files of a skin folder, in the order their parts stand in a
// skin text.
inline constexpr std::array<std::string_view, 3> kPageFiles = {"Header.htm", "NewRes.htm",
                                                               "Res.htm"};

// A run of whole lines of SkinPages::text, line ends included.
struct ByteRange {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// The three page texts, as slices of one buffer.
struct SkinPages {
  std::string text;
  ByteRange header;
  ByteRange new_res;
  ByteRange res;

  std::string_view Page(ByteRange range) const {
    return std::string_view(text).substr(range.begin, range.end - range.begin);
  }
  std::string_view Header() const { return Page(header); }
  std::string_view NewRes() const { return Page(new_res); }
  std::string_view Res() const { return Page(res); }
};

// A page's whole lines in a text, from `begin` up to `end`; then, for the
// page that runs to the end, the CR LF of the text's last line, which has
// none of its own (after a final CR LF, it is an empty line).
struct PageLines {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
  bool line_end_after = false;
};

// How the characters of a text are told apart where page names are sought.
enum class Reading {
  kCodePage,  // the ANSI code page's, whose trail bytes begin no name
  kUnicode,   // UTF-8's, or UTF-16 units': every ASCII byte is a character
};

// Finds, in a skin text fed in pieces of any size, the last line that names
// each page ("Header.htm", "New.htm" or "NewRes.htm", "Res.htm"; a name
// counts only where a character starts), for both readings at once: whether
// a text without a byte-order mark is UTF-8 is known only at its end. Keeps
// the lines' places, never the text.
class SkinMarks {
 public:
  explicit SkinMarks(const CodePage& code_page) : code_page_(code_page), window_(code_page) {}

  void Feed(std::string_view bytes);
  void Finish();
  // After Finish: the Header, NewRes and Res pages as lines of the bytes
  // fed, which still name "NewRes.htm" where the pages will say "New.htm".
  std::array<PageLines, 3> Pages(Reading reading) const;

 private:
  static constexpr std::uint64_t kOpen = ~std::uint64_t{0};
  // A line that names a page: where it begins and where the next begins.
  struct Line {
    std::uint64_t begin = 0;
    std::uint64_t end = kOpen;  // until its CR LF is seen
  };

  void Visit(const TextSpan& span);
  std::uint64_t LineBeginBefore(const TextSpan& span, std::size_t from, std::size_t until) const;

  const CodePage& code_page_;
  PieceWindow<6, 3> window_;
  // For each reading (kCodePage, kUnicode) and page. Line 0 stands for a
  // page that no line names.
  std::array<std::array<Line, 3>, 2> lines_;
  // Some lines wait for their CR LF: all are the line the text fed so far
  // ends in.
  bool open_ = true;
  // Where the line that the last span decided up to begins.
  std::uint64_t line_begin_ = 0;
  std::uint64_t size_ = 0;
};

// Where page text goes, in pieces; false stops the writing.
using PageSink = std::function<bool(std::string_view)>;

// The pieces a page is written in.
inline constexpr std::size_t kPagePiece = 64 << 10;

// Writes a page's bytes, fed in pieces of any size, to a sink in pieces of
// at most kPagePiece bytes, with every "NewRes.htm" that starts a character
// as "New.htm", and the CR LF of PageLines::line_end_after at the end.
class PageRenamer {
 public:
  PageRenamer(const CodePage& code_page, bool line_end_after, PageSink sink)
      : code_page_(code_page),
        window_(code_page),
        line_end_after_(line_end_after),
        sink_(std::move(sink)) {}

  // False once the sink refused a piece; nothing more is written then.
  bool Feed(std::string_view bytes);
  bool Finish();

 private:
  void Visit(const TextSpan& span);
  void Emit(std::string_view bytes);
  void Flush();

  const CodePage& code_page_;
  PieceWindow<6, 3> window_;
  bool line_end_after_;
  PageSink sink_;
  std::unique_ptr<char[]> out_ = std::make_unique_for_overwrite<char[]>(kPagePiece);
  std::size_t out_size_ = 0;
  std::uint64_t emitted_ = 0;  // bytes of the page before it are written
  bool ok_ = true;
};

// Cuts a skin text, in its code page's bytes, into the Header, NewRes and
// Res pages, each part after the last line that names its page, the text
// after the last mark to the end; pages name "NewRes.htm" as "New.htm".
// Pure, and linear in the size.
SkinPages SplitSkinText(std::string skin_text, const CodePage& code_page);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_TEXT_H_
