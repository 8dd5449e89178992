// File names compared as Windows compares them: without regard to case.
#ifndef BRELLAM_TEXT_FILE_NAME_CASE_H_
#define BRELLAM_TEXT_FILE_NAME_CASE_H_

#include <string>
#include <string_view>

namespace brellam {

// The UTF-8 name with each letter in the upper case Windows gives it when
// it compares file names (a simple, one-for-one mapping, never by locale).
// Covered: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic, small Roman
// numerals, circled letters and full-width Latin letters, which is every
// letter with a case in the ANSI code pages that names must fit in. Other
// scripts with case (Armenian, Georgian, Latin Extended-B and beyond) are
// left as they are, and so are a few letters Windows' table leaves alone
// although Unicode gives them an upper case: U+00B5, U+0131, U+017F, and
// final sigma U+03C2 (Wine's copy of the table keeps it apart from sigma).
// Bytes that are no UTF-8 stay as they are.
std::string WindowsUpperCase(std::string_view utf8);

inline bool IsSameFileName(std::string_view a, std::string_view b) {
  return WindowsUpperCase(a) == WindowsUpperCase(b);
}

}  // namespace brellam

#endif  // BRELLAM_TEXT_FILE_NAME_CASE_H_
