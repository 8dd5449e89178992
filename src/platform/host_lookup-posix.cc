#include "platform/host_lookup-posix.h"

#include <algorithm>
#include <cstdlib>

#include "text/ascii.h"
#include "text/file_name_case.h"
#include "text/path_grammar.h"
#include "text/settings_ini.h"
#include "text/wine_registry.h"

namespace brellam {

namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

// The host runs under Wine and keeps its settings where it would on
// Windows, in the prefix's registry. kMissing when there is no prefix or
// no value.
Status ReadWineSetting(std::string_view application, std::string_view section, std::string_view key,
                       const ReadSettingsFile& read, std::string* value, std::string* reason) {
  const std::string prefix = WinePrefix();
  std::string text;
  if (prefix.empty() || read(prefix + "/user.reg", &text, reason) != Status::kOk) {
    return Status::kMissing;
  }
  std::string registry_key = "Software\\VB and VBA Program Settings\\";
  registry_key.append(application).append("\\").append(section);
  *value = ReadWineRegistryString(text, registry_key, key);
  // As a string the host stored with NULs after it reads on Windows.
  while (!value->empty() && value->back() == '\0') value->pop_back();
  return value->empty() ? Status::kMissing : Status::kOk;
}

}  // namespace

Status ReadHostSetting(std::string_view application, std::string_view section, std::string_view key,
                       const ReadSettingsFile& read, std::string* value, bool* from_wine,
                       std::string* reason) {
  const std::string path =
      SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), application);
  std::string text;
  Status status = path.empty() ? Status::kMissing : read(path, &text, reason);
  *from_wine = status == Status::kMissing;
  if (status == Status::kOk) {
    *value = ReadIniValue(text, section, key);
    if (value->empty()) return Status::kMissing;
  } else if (status == Status::kMissing) {
    status = ReadWineSetting(application, section, key, read, value, reason);
  }
  return status == Status::kOk || status == Status::kMissing ? status : Status::kFailed;
}

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
  if (!StartsWithDrive(rest) || rest.size() < 3 || !IsSeparator(rest[2], PathStyle::kWindows)) {
    *reason = "ドライブ名から始まる絶対パスではない";
    return {};
  }
  const char drive = AsciiLower(rest[0]);
  rest.remove_prefix(3);
  // Resolved as Windows resolves a full path, before any file is looked at.
  std::vector<std::string_view> parts;
  ResolveNames(rest, PathStyle::kWindows, false, parts);
  const std::string_view last = rest.substr(rest.find_last_of("\\/") + 1);
  const bool folder = last.empty() || last == "." || last == "..";
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

std::string WinePrefix() {
  return WinePrefixFolder(std::getenv("WINEPREFIX"), std::getenv("HOME"));
}

}  // namespace brellam
