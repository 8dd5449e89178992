// How the text of a path names a file before any file is looked at: its
// names, "." and "..", and what Windows' ordinary rules take from a name.
// Written once, here, for every reader of a path.
#ifndef BRELLAM_TEXT_PATH_GRAMMAR_H_
#define BRELLAM_TEXT_PATH_GRAMMAR_H_

#include <string>
#include <string_view>
#include <vector>

#include "text/path_style.h"

namespace brellam {

// Whether the path starts with a drive: a letter and a colon ("C:").
inline bool StartsWithDrive(std::string_view path) {
  const char letter = path.empty() ? '\0' : static_cast<char>(path[0] | 0x20);
  return path.size() >= 2 && letter >= 'a' && letter <= 'z' && path[1] == ':';
}

// `path` without the separators at its end, but for its first character:
// "/" stays "/".
inline std::string_view WithoutTrailingSeparators(std::string_view path, PathStyle style) {
  while (path.size() > 1 && IsSeparator(path.back(), style)) path.remove_suffix(1);
  return path;
}

// The names of `rest`, a path past its root, as the system resolves them
// by their text: separators of `style` split it, empty names and "." go,
// and ".." takes away the name before it, never one above the root. With
// `windows_trims`, a name first loses what Windows' ordinary rules take:
// one dot at its end when a separator follows it, else every dot and
// blank at its end. False when that leaves a name of "..", which the
// system would not resolve again: `refused` is then the name as given.
bool ResolveNames(std::string_view rest, PathStyle style, bool windows_trims,
                  std::vector<std::string_view>& names, std::string_view* refused = nullptr);

// A full Windows path read as the system reads it.
struct WindowsPathReading {
  std::string path;  // what the system opens; ends with "\" when the path did
  bool refused = false;
  std::string name;  // when refused: a name of the path the system cannot open
};

// The absolute Windows path `path` (see IsAbsolutePath) as Windows reads
// it. In the ordinary form ("C:\...", "\\server\share\...", and
// "\\.\C:\...", which is "C:\..."), "/" separates as "\" does and the
// names are ResolveNames' with Windows' trims. The "\\?\" form is taken
// literally, so it comes back as it is, and is refused where a name of it
// is ".", ".." or empty, or holds a "/", which the system opens no file
// by, or ends with a dot, which the ordinary form of the path loses.
WindowsPathReading ReadWindowsPath(std::string_view path);

// A path ReadWindowsPath gave, in the form a program that holds MAX_PATH
// bytes opens: without "\\?\" ("\\?\UNC\server\..." as "\\server\...").
std::string OrdinaryWindowsPath(std::string_view path);

// The form in which Windows' wide API opens exactly what `path` names, past
// MAX_PATH too: "\\?\C:\..." or "\\?\UNC\server\share\...", separators
// collapsed and "." and ".." resolved, but every name kept as given, blanks
// and dots at its end included (the system's own full path drops them). A
// path already in that form is the system's to open as it is, and is
// given back unchanged. A relative path is taken from `current_folder`, a
// drive-relative one ("D:x") from that drive's. Empty for what is no path
// on a drive or a share (the device namespace: "\\.\pipe\x",
// "\\?\GLOBALROOT\...", the bare volume "\\.\C:"), and for a relative path
// without a full current folder.
std::string LongPathForm(std::string_view path, std::string_view current_folder = {});

}  // namespace brellam

#endif  // BRELLAM_TEXT_PATH_GRAMMAR_H_
