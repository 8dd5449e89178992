// The text of Wine's registry files.
#ifndef BRELLAM_TEXT_WINE_REGISTRY_H_
#define BRELLAM_TEXT_WINE_REGISTRY_H_

#include <string>
#include <string_view>

namespace brellam {

// The string `value` of `key` in the text of a prefix's user.reg (keys below
// HKEY_CURRENT_USER, backslash-separated), in UTF-8; empty when either is
// missing or the value is of another type. Names match without regard to
// ASCII case. An expandable string comes with each %NAME% replaced by the
// user's variable of that name as the same file keeps it ("Environment",
// then "Volatile Environment"); a name it lacks stays as written.
std::string ReadWineRegistryString(std::string_view reg_text, std::string_view key,
                                   std::string_view value);

}  // namespace brellam

#endif  // BRELLAM_TEXT_WINE_REGISTRY_H_
