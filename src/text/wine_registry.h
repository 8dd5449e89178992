// The text of Wine's registry files, and how Wine matches names.
#ifndef BRELLAM_TEXT_WINE_REGISTRY_H_
#define BRELLAM_TEXT_WINE_REGISTRY_H_

#include <string>
#include <string_view>
#include <vector>

namespace brellam {

// The string `value` of `key` in the text of a prefix's user.reg (keys below
// HKEY_CURRENT_USER, backslash-separated), in UTF-8; empty when either is
// missing or the value is of another type. Names match without regard to
// ASCII case. An expandable string comes with each %NAME% replaced by the
// user's variable of that name as the same file keeps it ("Environment",
// then "Volatile Environment"); a name it lacks stays as written.
std::string ReadWineRegistryString(std::string_view reg_text, std::string_view key,
                                   std::string_view value);

// Whether the very name wins over others that differ from it only in
// letter case, as when Wine looks a name up, or all are refused, as for a
// name the host may open in any letter case.
enum class CaseTwins { kVeryNameWins, kRefused };

// How Wine finds `wanted` among a folder's `names`: that very name, else
// the one that differs from it only in letter case, else `wanted` itself.
// False, with a reason that names them, when two or more differ from it
// only in letter case, or with kRefused when any does beside it.
bool WineNameIn(const std::vector<std::string>& names, std::string_view wanted, std::string& found,
                std::string* reason, CaseTwins twins = CaseTwins::kVeryNameWins);

}  // namespace brellam

#endif  // BRELLAM_TEXT_WINE_REGISTRY_H_
