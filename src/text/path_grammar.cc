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

bool StartsWithTwoSeparators(std::string_view path) {
  return path.size() >= 2 && IsWindowsSeparator(path[0]) && IsWindowsSeparator(path[1]);
}

// The name before the first separator; `path` moves past it and the
// separators after it.
std::string_view TakeName(std::string_view& path) {
  const std::size_t end = NextSeparator(path, 0);
  const std::string_view name = path.substr(0, end);
  path.remove_prefix(std::min(path.find_first_not_of("\\/", end), path.size()));
  return name;
}

// A full path's root in the long form ("\\?\C:\", "\\?\UNC\server\share\")
// and what follows it; false when `path` is not full or names no path on a
// drive or a share.
bool SplitLongRoot(std::string_view path, std::string& root, std::string_view& rest) {
  if (StartsWithDrive(path) && path.size() > 2 && IsWindowsSeparator(path[2])) {
    root = "\\\\?\\" + std::string(path.substr(0, 2)) + "\\";
    rest = path.substr(3);
    return true;
  }
  if (!StartsWithTwoSeparators(path)) return false;
  path.remove_prefix(2);
  if (path.size() >= 2 && (path[0] == '?' || path[0] == '.') && IsWindowsSeparator(path[1])) {
    // Of the device namespace, only a drive's path or a share's.
    path.remove_prefix(2);
    if (StartsWithDrive(path)) return SplitLongRoot(path, root, rest);
    const std::string_view unc = TakeName(path);
    if (unc.size() != 3 || (unc[0] | 0x20) != 'u' || (unc[1] | 0x20) != 'n' ||
        (unc[2] | 0x20) != 'c') {
      return false;
    }
  }
  const std::string_view server = TakeName(path);
  const std::string_view share = TakeName(path);
  for (const std::string_view name : {server, share}) {
    if (name.empty() || name == "." || name == ".." || name == "?") return false;
  }
  root = "\\\\?\\UNC\\" + std::string(server) + "\\" + std::string(share) + "\\";
  rest = path;
  return true;
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
  if (StartsWithDrive(path)) {
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

std::string LongPathForm(std::string_view path, std::string_view current_folder) {
  std::string full;
  std::string_view rest;
  if (path.empty()) return {};
  if (path.starts_with("\\\\?\\")) {
    return SplitLongRoot(path, full, rest) ? std::string(path) : std::string();
  }
  std::vector<std::string_view> names;
  if (!SplitLongRoot(path, full, rest)) {
    std::string_view current;
    if (StartsWithTwoSeparators(path) || !SplitLongRoot(current_folder, full, current)) return {};
    if (StartsWithDrive(path)) path.remove_prefix(2);
    // A rooted path ("\\x") keeps only the current folder's root.
    if (path.empty() || !IsWindowsSeparator(path[0])) {
      ResolveNames(current, PathStyle::kWindows, false, names);
    }
    rest = path;
  }
  ResolveNames(rest, PathStyle::kWindows, false, names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) full += '\\';
    full += names[i];
  }
  if (!names.empty() && !path.empty() && IsWindowsSeparator(path.back())) full += '\\';
  return full;
}

}  // namespace brellam
