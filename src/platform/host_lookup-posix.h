// Where the host keeps its settings on a POSIX system: an INI file in the
// user's configuration folder, else the registry of the Wine prefix it
// runs in, where a Windows path reaches its file through the drive links.
#ifndef BRELLAM_PLATFORM_HOST_LOOKUP_POSIX_H_
#define BRELLAM_PLATFORM_HOST_LOOKUP_POSIX_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace brellam {

// Reads a whole file, following links, as PosixPlatform::ReadFile does.
using ReadSettingsFile =
    std::function<Status(const std::string& path, std::string* bytes, std::string* reason)>;

// The host's setting, as Platform::ReadSetting answers it: from
// settings.ini in the user's configuration folder when there is one,
// whatever it holds (kUtf16 for one in UTF-16), else from the registry of
// the Wine prefix the host runs in; `from_wine` says which, and `source`
// is the file read, or last looked for.
Status ReadHostSetting(std::string_view application, std::string_view section, std::string_view key,
                       const ReadSettingsFile& read, std::string* value, bool* from_wine,
                       std::string* source, std::string* reason);

// ${XDG_CONFIG_HOME:-$HOME/.config}/<application>/settings.ini, from the two
// variables' values (either may be absent, as a null pointer); empty when
// neither gives an absolute folder.
std::string SettingsFilePath(const char* xdg_config_home, const char* home,
                             std::string_view application);

// What a folder (its path ending with "/") holds, by name; false when it
// cannot be listed: it is missing, or no folder.
using ListFolder = std::function<bool(const std::string& folder, std::vector<std::string>& names)>;

// An absolute Windows path ("C:\dir\file", "/" separating too, or its
// "\\?\" form) as the Unix path through which Wine reaches the same file
// in the prefix: through the drive's existing link in dosdevices, each part
// as WineNameIn finds it (`list` looks at the folders), "." and repeated
// separators dropped, ".." never above the drive's root. kNotOnADrive for
// any other path (relative, "C:file", UNC), kNoSuchDrive for a drive the
// prefix lacks, kCaseTwins for a part that two names match.
Status UnixPathInPrefix(std::string_view prefix, std::string_view windows_path,
                        const ListFolder& list, std::string* unix_path, std::string* reason);

// $WINEPREFIX, else $HOME/.wine, from the two variables' values (either may
// be absent, as a null pointer); empty when neither gives an absolute folder.
std::string WinePrefixFolder(const char* wineprefix, const char* home);

// The folder of the Wine prefix the host runs in, by this process's
// variables.
std::string WinePrefix();

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_HOST_LOOKUP_POSIX_H_
