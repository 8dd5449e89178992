// The POSIX settings store: one INI file per application, in UTF-8.
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

// ${XDG_CONFIG_HOME:-$HOME/.config}/<application>/settings.ini, from the two
// variables' values (either may be absent, as a null pointer); empty when
// neither gives an absolute folder.
std::string SettingsFilePath(const char* xdg_config_home, const char* home,
                             std::string_view application);

}  // namespace brellam

#endif  // BRELLAM_TEXT_SETTINGS_INI_H_
