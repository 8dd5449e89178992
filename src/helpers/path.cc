#include "helpers/path.h"

#include <algorithm>

namespace brellam {

namespace {

// Index just past the last separator, or 0 when there is none.
std::size_t AfterLastSeparator(std::string_view path, PathStyle style) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1], style)) return i;
  }
  return 0;
}

bool IsDriveRoot(std::string_view path, bool slash_too) {
  const char drive = static_cast<char>(path.empty() ? '\0' : path[0] | 0x20);
  return path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' &&
         (path[2] == '\\' || (slash_too && path[2] == '/'));
}

// "server\share\", at least, past the two separators of a network path.
bool IsShareRoot(std::string_view path, bool slash_too) {
  const auto separator = [slash_too](char c) { return c == '\\' || (slash_too && c == '/'); };
  const auto server = std::find_if(path.begin(), path.end(), separator);
  if (server == path.begin() || server == path.end()) return false;
  const auto share = std::find_if(server + 1, path.end(), separator);
  const std::string_view name(path.begin(), server);
  // "\\.\" and "\\?\" name devices, not servers.
  return share != server + 1 && share != path.end() && name != "." && name != "?";
}

}  // namespace

bool IsAbsolutePath(std::string_view path, PathStyle style) {
  if (style == PathStyle::kPosix) return path.starts_with('/');
  // Taken as it is written: only backslashes separate.
  if (path.starts_with("\\\\?\\")) {
    path.remove_prefix(4);
    const bool unc = path.size() >= 4 && (path[0] | 0x20) == 'u' && (path[1] | 0x20) == 'n' &&
                     (path[2] | 0x20) == 'c' && path[3] == '\\';
    return unc ? IsShareRoot(path.substr(4), false) : IsDriveRoot(path, false);
  }
  if (path.size() >= 2 && IsSeparator(path[0], style) && IsSeparator(path[1], style)) {
    return IsShareRoot(path.substr(2), true);
  }
  return IsDriveRoot(path, true);
}

std::string GetFileName(std::string_view path, PathStyle style) {
  return std::string(path.substr(AfterLastSeparator(path, style)));
}

std::string GetParentPath(std::string_view path, PathStyle style) {
  return std::string(path.substr(0, AfterLastSeparator(path, style)));
}

}  // namespace brellam
