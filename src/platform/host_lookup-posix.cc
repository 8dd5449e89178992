#include "platform/host_lookup-posix.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "text/ascii.h"
#include "text/file_name_case.h"
#include "text/path_grammar.h"
#include "text/settings_ini.h"
#include "text/wine_registry.h"

namespace brellam {

namespace {

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

// The host runs under Wine and keeps its settings where it would on
// Windows, in the prefix's registry. kMissing when there is no prefix, no
// user.reg or no value.
Status ReadWineSetting(std::string_view application, std::string_view section, std::string_view key,
                       const ReadSettingsFile& read, std::string* value, std::string* source,
                       std::string* reason) {
  const std::string prefix = WinePrefix();
  if (prefix.empty()) return Answer(Status::kMissing, reason);
  *source = prefix + "/user.reg";
  std::string text;
  const Status status = read(*source, &text, reason);
  if (status != Status::kOk) return status;
  std::string registry_key = "Software\\VB and VBA Program Settings\\";
  registry_key.append(application).append("\\").append(section);
  std::string stored;
  const RegistryType type = ReadWineRegistryString(text, registry_key, key, &stored);
  if (type == RegistryType::kOther) return Answer(Status::kNotString, reason, stored);
  // As a string the host stored with NULs after it reads on Windows.
  while (!stored.empty() && stored.back() == '\0') stored.pop_back();
  if (stored.empty()) return Answer(Status::kMissing, reason);
  *value = std::move(stored);
  return Status::kOk;
}

}  // namespace

Status ReadHostSetting(std::string_view application, std::string_view section, std::string_view key,
                       const ReadSettingsFile& read, std::string* value, bool* from_wine,
                       std::string* source, std::string* reason) {
  *source = SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), application);
  std::string text;
  const Status status = source->empty() ? Status::kMissing : read(*source, &text, reason);
  *from_wine = status == Status::kMissing;
  if (*from_wine) return ReadWineSetting(application, section, key, read, value, source, reason);
  if (status != Status::kOk) return status;
  // Read as UTF-8, it would hold no name at all.
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return Answer(Status::kUtf16, reason);
  }
  std::string stored = ReadIniValue(text, section, key);
  if (stored.empty()) return Answer(Status::kMissing, reason);
  *value = std::move(stored);
  return Status::kOk;
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

Status UnixPathInPrefix(std::string_view prefix, std::string_view windows_path,
                        const ListFolder& list, std::string* unix_path, std::string* reason) {
  std::string_view rest = windows_path;
  if (rest.starts_with("\\\\?\\")) rest.remove_prefix(4);
  if (!StartsWithDrive(rest) || rest.size() < 3 || !IsSeparator(rest[2], PathStyle::kWindows)) {
    return Answer(Status::kNotOnADrive, reason);
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
    return Answer(Status::kNoSuchDrive, reason, std::string{AsciiUpper(drive), ':'});
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
      return Status::kCaseTwins;
    }
  }
  if (folder) path.push_back('/');
  *unix_path = std::move(path);
  return Status::kOk;
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
