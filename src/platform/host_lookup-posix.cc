#include "platform/host_lookup-posix.h"

#include <algorithm>

#include "text/ascii.h"
#include "text/path_style.h"
#include "text/wine_registry.h"

namespace brellam {

namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

}  // namespace

std::string SettingsFilePath(const char* xdg_config_home, const char* home,
                             std::string_view application) {
  std::string folder;
  if (IsAbsolute(xdg_config_home)) {
    folder = xdg_config_home;
  } else if (IsAbsolute(home)) {
    folder = std::string(home) + "/.config";
  } else {
    return {};
  }
  return folder.append("/").append(application).append("/settings.ini");
}

std::string UnixPathInPrefix(std::string_view prefix, std::string_view windows_path,
                             const ListFolder& list, std::string* reason) {
  std::string_view rest = windows_path;
  if (rest.starts_with("\\\\?\\")) rest.remove_prefix(4);
  const char drive = AsciiLower(rest.empty() ? '\0' : rest[0]);
  if (rest.size() < 3 || drive < 'a' || drive > 'z' || rest[1] != ':' ||
      !IsSeparator(rest[2], PathStyle::kWindows)) {
    *reason = "ドライブ名から始まる絶対パスではない";
    return {};
  }
  rest.remove_prefix(3);
  // Resolved as Windows resolves a full path, before any file is looked at:
  // "." and empty parts go, ".." takes the part before it and stops at
  // the drive's root.
  std::vector<std::string_view> parts;
  bool folder = true;  // the path ends with a separator, "." or ".."
  for (std::size_t begin = 0; begin <= rest.size();) {
    std::size_t end = begin;
    while (end < rest.size() && !IsSeparator(rest[end], PathStyle::kWindows)) ++end;
    const std::string_view part = rest.substr(begin, end - begin);
    folder = part.empty() || part == "." || part == "..";
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!folder) {
      parts.push_back(part);
    }
    begin = end + 1;
  }
  // The drive is its link in dosdevices, which Wine names in lower case;
  // without one Wine has no such drive.
  std::string path = std::string(prefix) + "/dosdevices/";
  const std::string link{drive, ':'};
  std::vector<std::string> names;
  if (!list(path, names) || std::ranges::find(names, link) == names.end()) {
    *reason =
        "Wine にドライブ " + std::string(1, static_cast<char>(drive - 'a' + 'A')) + ": が無い";
    return {};
  }
  path += link;
  // Each part as Wine finds it in the folder it is in; below a part that
  // is not there, nothing is.
  bool listed = true;
  std::string found;
  for (const std::string_view part : parts) {
    path.push_back('/');
    names.clear();
    listed = listed && list(path, names);
    if (!listed) {
      path.append(part);
    } else if (WineNameIn(names, part, found, reason)) {
      path.append(found);
    } else {
      return {};
    }
  }
  if (folder) path.push_back('/');
  return path;
}

std::string WinePrefixFolder(const char* wineprefix, const char* home) {
  if (IsAbsolute(wineprefix)) return wineprefix;
  if (IsAbsolute(home)) return std::string(home) + "/.wine";
  return {};
}

}  // namespace brellam
