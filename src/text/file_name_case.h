// File names compared as Windows compares them, without regard to case,
// and found as Wine finds them.
#ifndef BRELLAM_TEXT_FILE_NAME_CASE_H_
#define BRELLAM_TEXT_FILE_NAME_CASE_H_

#include <string>
#include <string_view>
#include <vector>

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

// Whether the very name wins over others that differ from it only in
// letter case, as when Wine looks a name up, or all are refused, as for a
// name the host may open in any letter case.
enum class CaseTwins { kVeryNameWins, kRefused };

// How Wine finds `wanted` among a folder's `names`: that very name, else
// the one that differs from it only in letter case, else `wanted` itself.
// False when two or more differ from it only in letter case, or with
// kRefused when any does beside it: `twin_names` then holds them, in
// order, each ended by a NUL.
bool WineNameIn(const std::vector<std::string>& names, std::string_view wanted, std::string& found,
                std::string* twin_names, CaseTwins twins = CaseTwins::kVeryNameWins);

}  // namespace brellam

#endif  // BRELLAM_TEXT_FILE_NAME_CASE_H_
