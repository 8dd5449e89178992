#include "helpers/path.h"

#include <algorithm>
#include <vector>

#include "text/path_grammar.h"

namespace brellam {

namespace {

// Index just past the last separator, or 0 when there is none.
std::size_t AfterLastSeparator(std::string_view path, PathStyle style) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1], style)) return i;
  }
  // "Z:Blue.txt" is Blue.txt in the current folder of drive Z:.
  return style == PathStyle::kWindows && StartsWithDrive(path) ? 2 : 0;
}

// How much of a full path is its root ("/", "C:\", "\\server\share\");
// 0 for a path that is not full.
std::size_t RootLength(std::string_view path, PathStyle style) {
  if (style == PathStyle::kPosix) return path.starts_with('/') ? 1 : 0;
  if (StartsWithDrive(path)) return path.size() > 2 && IsSeparator(path[2], style) ? 3 : 0;
  if (path.size() < 2 || !IsSeparator(path[0], style) || !IsSeparator(path[1], style)) return 0;
  std::size_t at = 2;
  for (int part = 0; part < 2; ++part) {
    while (at < path.size() && !IsSeparator(path[at], style)) ++at;
    if (at < path.size()) ++at;
  }
  return at;
}

// The forms the system reads as they are, past any rule of names.
bool IsSystemForm(std::string_view path, PathStyle style) {
  return style == PathStyle::kWindows &&
         (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\"));
}

bool IsDriveRoot(std::string_view path, bool slash_too) {
  return StartsWithDrive(path) && path.size() >= 3 &&
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

bool IsFullPath(std::string_view path, PathStyle style) {
  return IsSystemForm(path, style) || RootLength(path, style) > 0;
}

std::string FullPath(std::string_view path, std::string_view current_folder, PathStyle style) {
  const bool windows = style == PathStyle::kWindows;
  if (IsSystemForm(path, style)) return std::string(path);
  const std::string separator(1, Separator(style));
  std::string whole;
  if (RootLength(path, style) > 0) {
    whole = path;
  } else if (windows && StartsWithDrive(path)) {
    // "C:x" is x in the current folder of drive C:, known only for the
    // current drive; elsewhere the drive's root stands for it.
    const bool current_drive =
        StartsWithDrive(current_folder) && (current_folder[0] | 0x20) == (path[0] | 0x20);
    whole = (current_drive ? std::string(current_folder) : std::string(path.substr(0, 2))) +
            separator + std::string(path.substr(2));
  } else if (windows && !path.empty() && IsSeparator(path[0], style)) {
    whole = std::string(current_folder.substr(0, RootLength(current_folder, style))) +
            std::string(path);
  } else {
    whole = std::string(current_folder) + separator + std::string(path);
  }

  const std::size_t root = RootLength(whole, style);
  std::string full = whole.substr(0, root);
  for (char& c : full) c = IsSeparator(c, style) ? Separator(style) : c;
  if (!full.empty() && full.back() != Separator(style)) full += separator;  // "\\server\share"
  std::vector<std::string_view> parts;
  ResolveNames(std::string_view(whole).substr(root), style, false, parts);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) full += separator;
    full += parts[i];
  }
  return full;
}

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
    // "\\.\C:\" is the drive path "C:\".
    const std::string_view device = path.substr(2);
    if (device.size() >= 2 && device[0] == '.' && IsSeparator(device[1], style)) {
      return IsDriveRoot(device.substr(2), true);
    }
    return IsShareRoot(device, true);
  }
  return IsDriveRoot(path, true);
}

std::string GetFileName(std::string_view path, PathStyle style) {
  return std::string(path.substr(AfterLastSeparator(path, style)));
}

std::string GetParentPath(std::string_view path, PathStyle style) {
  return std::string(path.substr(0, AfterLastSeparator(path, style)));
}

std::string JoinPath(std::string_view folder, std::string_view name, PathStyle style) {
  std::string path(folder);
  if (path.empty() || !IsSeparator(path.back(), style)) path += Separator(style);
  return path.append(name);
}

}  // namespace brellam
