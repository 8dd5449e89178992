// The text of Wine's registry files.
#ifndef BRELLAM_TEXT_WINE_REGISTRY_H_
#define BRELLAM_TEXT_WINE_REGISTRY_H_

#include <string>
#include <string_view>

namespace brellam {

enum class RegistryType { kMissing, kString, kOther };

// The type of `value` of `key` in the text of a prefix's user.reg (keys
// below HKEY_CURRENT_USER, backslash-separated), and in `text` the string
// in UTF-8 for kString, or for kOther its type as the file writes it
// ("dword", "hex", "hex(1)"); Wine writes a string in hex when it does not
// end with its NUL. Names match without regard to ASCII case. An
// expandable string comes with each %NAME% replaced by the user's variable
// of that name as the same file keeps it ("Environment", then "Volatile
// Environment"); a name it lacks stays as written.
RegistryType ReadWineRegistryString(std::string_view reg_text, std::string_view key,
                                    std::string_view value, std::string* text);

}  // namespace brellam

#endif  // BRELLAM_TEXT_WINE_REGISTRY_H_
