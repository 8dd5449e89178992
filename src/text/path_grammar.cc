#include "text/path_grammar.h"

#include <algorithm>

namespace brellam {

namespace {

bool IsWindowsSeparator(char c) { return IsSeparator(c, PathStyle::kWindows); }

// The index of the first separator at or after `from`, or the size.
std::size_t NextSeparator(std::string_view path, std::size_t from) {
  while (from < path.size() && !IsWindowsSeparator(path[from])) ++from;
  return from;
}

}  // namespace

bool ResolveNames(std::string_view rest, PathStyle style, bool windows_trims,
                  std::vector<std::string_view>& names, std::string_view* refused) {
  for (std::size_t begin = 0; begin <= rest.size();) {
    std::size_t end = begin;
    while (end < rest.size() && !IsSeparator(rest[end], style)) ++end;
    const std::string_view given = rest.substr(begin, end - begin);
    begin = end + 1;
    if (given == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    std::string_view name = given;
    if (windows_trims && name != ".") {
      if (end < rest.size() && name.ends_with('.')) name.remove_suffix(1);
      while (end == rest.size() && (name.ends_with('.') || name.ends_with(' '))) {
        name.remove_suffix(1);
      }
      if (name == "..") {
        if (refused != nullptr) *refused = given;
        return false;
      }
    }
    if (!name.empty() && name != ".") names.push_back(name);
  }
  return true;
}

WindowsPathReading ReadWindowsPath(std::string_view path) {
  WindowsPathReading read;
  if (path.starts_with("\\\\?\\")) {
    // Past "\\?\" only a backslash separates, and each name is opened as
    // it is written. A name that ends with a dot, which the ordinary rules
    // take away, would not be the one a program holding MAX_PATH opens.
    read.path = path;
    const std::string_view rest = path.substr(4);
    for (std::size_t begin = 0; begin <= rest.size();) {
      const std::size_t end = std::min(rest.find('\\', begin), rest.size());
      const std::string_view name = rest.substr(begin, end - begin);
      if (name.ends_with('.') || name.find('/') != std::string_view::npos ||
          (name.empty() && end < rest.size())) {
        read.refused = true;
        read.name = name;
        return read;
      }
      begin = end + 1;
    }
    return read;
  }
  if (path.size() >= 4 && IsWindowsSeparator(path[0]) && IsWindowsSeparator(path[1]) &&
      path[2] == '.' && IsWindowsSeparator(path[3])) {
    path.remove_prefix(4);
  }
  std::size_t root_end = 0;
  if (path.size() >= 2 && path[1] == ':') {
    read.path = std::string(path.substr(0, 2)) + "\\";
    root_end = 3;
  } else {
    // The server and the share are names the system keeps as they are.
    read.path = "\\\\";
    root_end = 2;
    for (int part = 0; part < 2; ++part) {
      const std::size_t end = NextSeparator(path, root_end);
      read.path.append(path.substr(root_end, end - root_end)).push_back('\\');
      root_end = end + 1;
    }
  }
  const std::string_view rest = path.substr(std::min(root_end, path.size()));
  std::vector<std::string_view> names;
  std::string_view refused;
  if (!ResolveNames(rest, PathStyle::kWindows, true, names, &refused)) {
    read.refused = true;
    read.name = refused;
    return read;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) read.path += '\\';
    read.path += names[i];
  }
  // A path that ends with a separator, or with a name the trims emptied,
  // names a folder and keeps saying so.
  std::size_t after = rest.size();
  while (after > 0 && !IsWindowsSeparator(rest[after - 1])) --after;
  const std::string_view last = rest.substr(after);
  if (!names.empty() && last != "." && last != ".." &&
      last.find_first_not_of(". ") == std::string_view::npos) {
    read.path += '\\';
  }
  return read;
}

std::string OrdinaryWindowsPath(std::string_view path) {
  if (!path.starts_with("\\\\?\\")) return std::string(path);
  path.remove_prefix(4);
  const bool unc = path.size() >= 4 && (path[0] | 0x20) == 'u' && (path[1] | 0x20) == 'n' &&
                   (path[2] | 0x20) == 'c' && path[3] == '\\';
  return unc ? "\\\\" + std::string(path.substr(4)) : std::string(path);
}

}  // namespace brellam
