// Outside text (a dropped name, a path, a stored setting) made safe to show.
#ifndef BRELLAM_TEXT_SHOWN_TEXT_H_
#define BRELLAM_TEXT_SHOWN_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace brellam {

// The UTF-8 text with every control character (C0, DEL, C1), the line and
// paragraph separators (U+2028, U+2029) and every byte that is no UTF-8
// written as "\xHH", one per byte, and every format character as
// "\u202E" ("\U000E0001" past U+FFFF): a name can neither break its line
// of a message, nor drive the terminal that shows it, nor read as another.
std::string ShownText(std::string_view utf8);

// The columns a character takes where a message is shown: two for a wide
// (East Asian) one, one for any other.
inline std::size_t Columns(char32_t code_point) {
  const bool half_width = code_point < 0x1100 || (code_point >= 0xFF61 && code_point <= 0xFFDC);
  return half_width ? 1 : 2;
}

// The most columns a line of a box may take. Under Wine a 1024-pixel
// screen holds a box with a hundred columns of a path, though not of the
// widest letters alone ("W", "@").
inline constexpr std::size_t kMostLineColumns = 100;

// `text` as a box or a dialog shows it: each line wider than
// kMostLineColumns as its start, "…" and its end, together that wide at
// most. Characters stay whole; so do ShownText's escapes.
std::string CutLongLines(std::string_view text);

}  // namespace brellam

#endif  // BRELLAM_TEXT_SHOWN_TEXT_H_
