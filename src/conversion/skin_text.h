// The skin text and how it is cut into the skin folder's three pages.
#ifndef BRELLAM_CONVERSION_SKIN_TEXT_H_
#define BRELLAM_CONVERSION_SKIN_TEXT_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "text/code_page.h"

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

// The three page texts, as slices of one buffer: the skin text after its
// "NewRes.htm" names became "New.htm", with one CR LF added at its end so
// that its last line is a whole line too.
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

// Cuts a skin text, in its code page's bytes, into the Header, NewRes and
// Res pages. Each part begins after the last line that names its page file
// ("Header.htm", "New.htm" or "NewRes.htm", "Res.htm"); a name counts only
// where a character of the code page starts. Pure, and linear in the size.
SkinPages SplitSkinText(std::string skin_text, const CodePage& code_page);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_TEXT_H_
