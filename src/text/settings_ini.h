// INI text, as the POSIX settings store keeps it: one file per
// application, in UTF-8.
#ifndef BRELLAM_TEXT_SETTINGS_INI_H_
#define BRELLAM_TEXT_SETTINGS_INI_H_

#include <string>
#include <string_view>

namespace brellam {

// The value of `key` in `[section]`, or the empty text. A leading BOM is
// skipped, lines end in LF or CR LF, blanks around names and values do not
// count, and lines starting with ";" or "#" are comments. Names match
// without regard to ASCII case; of two equal keys in a section, the first
// counts. A value in double quotes is taken without them.
std::string ReadIniValue(std::string_view ini_text, std::string_view section, std::string_view key);

}  // namespace brellam

#endif  // BRELLAM_TEXT_SETTINGS_INI_H_
