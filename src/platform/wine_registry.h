// Where a program run under Wine keeps what it would keep on Windows: its
// registry as text files in the prefix, its drives as links there.
#ifndef BRELLAM_PLATFORM_WINE_REGISTRY_H_
#define BRELLAM_PLATFORM_WINE_REGISTRY_H_

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

// An absolute Windows path ("C:\dir\file", "/" separating too) as the Unix
// path that reaches the same file through the prefix's link for the drive;
// empty for any other path (relative, "C:file", UNC).
std::string UnixPathInPrefix(std::string_view prefix, std::string_view windows_path);

// $WINEPREFIX, else $HOME/.wine, from the two variables' values (either may
// be absent, as a null pointer); empty when neither gives an absolute folder.
std::string WinePrefixFolder(const char* wineprefix, const char* home);

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_WINE_REGISTRY_H_
