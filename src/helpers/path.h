// Path-name helpers. Pure: they only look at the text.
#ifndef BRELLAM_HELPERS_PATH_H_
#define BRELLAM_HELPERS_PATH_H_

#include <string>
#include <string_view>

#include "text/path_style.h"

namespace brellam {

// The part after the last separator; empty when the path ends with one.
// On Windows a drive-relative path without one ("Z:Blue.txt") has the
// part after its drive.
std::string GetFileName(std::string_view path, PathStyle style);

// The part before GetFileName's: up to and including the last separator,
// or the drive; empty when there is neither.
std::string GetParentPath(std::string_view path, PathStyle style);

// `name` in `folder`: the folder, a separator unless it ends with one, and
// the name.
std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style);

// The path made full and plain by its text alone, as the system would read
// it, never by asking the file system: a relative path (on Windows also
// "\x" and "C:x") taken from `current_folder`, "." dropped, ".." never
// above the root, separators single and the style's own, no separator at
// the end but the root's. A Windows path in the "\\?\" or "\\.\" form
// is the system's own to read and is given back as it is.
std::string FullPath(std::string_view path, std::string_view current_folder, PathStyle style);

// Whether FullPath would not need the current folder. Looser than
// IsAbsolutePath: a root FullPath completes ("\\server", "\\?\anything")
// counts.
bool IsFullPath(std::string_view path, PathStyle style);
// Whether the path names the same file from whatever folder is current:
// on POSIX it starts with "/"; on Windows with a drive's root ("X:\" or
// "X:/"), a share's ("\\server\share\"), or the "\\?\" form of either
// ("\\?\X:\", "\\?\UNC\server\share\"). "C:file" is not: it is
// taken from the drive's current folder. "\\.\X:\" is the drive path "X:\".
bool IsAbsolutePath(std::string_view path, PathStyle style);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_PATH_H_
