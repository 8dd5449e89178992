// Where a program run under Wine keeps what it would keep on Windows: its
// registry as text files in the prefix, its drives as links there.
#ifndef BRELLAM_TEXT_WINE_REGISTRY_H_
#define BRELLAM_TEXT_WINE_REGISTRY_H_

#include <functional>
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

// What a folder (its path ending with "/") holds, by name; false when it
// cannot be listed: it is missing, or no folder.
using ListFolder = std::function<bool(const std::string& folder, std::vector<std::string>& names)>;

// How Wine finds `wanted` among a folder's `names`: that very name, else
// the one that differs from it only in letter case, else `wanted` itself.
// False, with the reason, when two or more differ only in letter case.
bool WineNameIn(const std::vector<std::string>& names, std::string_view wanted, std::string& found,
                std::string* reason);

// An absolute Windows path ("C:\dir\file", "/" separating too, or its
// "\\?\" form) as the Unix path through which Wine reaches the same file
// in the prefix: through the drive's existing link in dosdevices, each part
// as WineNameIn finds it (`list` looks at the folders), "." and repeated
// separators dropped, ".." never above the drive's root. Empty, with the
// reason, for any other path (relative, "C:file", UNC), a drive the prefix
// lacks, or a part that two names match.
std::string UnixPathInPrefix(std::string_view prefix, std::string_view windows_path,
                             const ListFolder& list, std::string* reason);

// $WINEPREFIX, else $HOME/.wine, from the two variables' values (either may
// be absent, as a null pointer); empty when neither gives an absolute folder.
std::string WinePrefixFolder(const char* wineprefix, const char* home);

}  // namespace brellam

#endif  // BRELLAM_TEXT_WINE_REGISTRY_H_
