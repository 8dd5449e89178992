// The path helpers and the folders below the host's on any path, in both path styles,
// against an in-memory file system.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/skin_name.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "helpers/folders.h"
#include "helpers/path.h"
#include "text/file_name_case.h"
#include "text/shown_text.h"
#include "text/utf8.h"

namespace brellam {
namespace {

constexpr PathStyle kStyles[] = {PathStyle::kPosix, PathStyle::kWindows};

std::size_t SeparatorCount(std::string_view path, PathStyle style) {
  std::size_t count = 0;
  for (char c : path) count += IsSeparator(c, style) ? 1 : 0;
  return count;
}

void CheckFileNameAndParent(std::string_view path, PathStyle style) {
  const std::string name = GetFileName(path, style);
  const std::string parent = GetParentPath(path, style);
  FUZZ_CHECK(parent + name == path);
  FUZZ_CHECK(SeparatorCount(name, style) == 0);
  // "Z:" of "Z:Blue.txt" on Windows
  FUZZ_CHECK(parent.empty() || IsSeparator(parent.back(), style) ||
             (style == PathStyle::kWindows && parent.size() == 2 && parent[1] == ':'));
  FUZZ_CHECK(GetFileName(parent, style).empty());
  FUZZ_CHECK(GetParentPath(parent, style) == parent);
}

// A usable skin name makes exactly one folder inside the host's skin folder.
void CheckSkinName(std::string_view file_name, PathStyle style) {
  const std::string skin_name = SkinNameOf(file_name);
  const std::string_view extension = file_name.substr(skin_name.size());
  FUZZ_CHECK(file_name.starts_with(skin_name));
  FUZZ_CHECK(extension.empty() == (file_name.find('.') == std::string_view::npos));
  FUZZ_CHECK(extension.empty() || extension.rfind('.') == 0);
  FakePlatform platform;
  platform.style = style;
  if (!IsUsableSkinName(skin_name, platform)) return;

  const std::string sep(1, Separator(style));
  const bool windows = style == PathStyle::kWindows;
  const std::string host = windows ? "C:\\Host\\" : "/opt/host/";
  platform.folders = {host};
  std::string made;
  std::string reason;
  FUZZ_CHECK(MakeFolders(platform, host, {"skin", skin_name}, &made, &reason) == Status::kOk &&
             made == host + "skin" + sep + skin_name);
  FUZZ_CHECK(
      platform.created_folders ==
      (std::vector<std::string>{host + "skin" + sep, host + "skin" + sep + skin_name + sep}));
}

// Shown text is well-formed UTF-8 on one line with no control character;
// its escapes aside, it is the text itself.
void CheckShownText(std::string_view text) {
  const std::string shown = ShownText(text);
  for (std::size_t at = 0; at < shown.size();) {
    const Utf8Character c = Utf8At(shown, at);
    FUZZ_CHECK(c.well_formed && c.code_point >= 0x20 &&
               (c.code_point < 0x7F || c.code_point > 0x9F));
    at += c.size;
  }
  FUZZ_CHECK(shown.size() >= text.size());
  if (text.find('\\') == std::string_view::npos) {
    FUZZ_CHECK((shown == text) == (shown.find('\\') == std::string::npos));
  }
  const std::string upper = WindowsUpperCase(text);
  FUZZ_CHECK(WindowsUpperCase(upper) == upper);
}

// A full path is plain: made full again it stays; no "." or ".." or empty
// part is left in it.
void CheckFullPath(std::string_view path, PathStyle style) {
  const std::string current = style == PathStyle::kWindows ? "C:\\cur\\dir" : "/cur/dir";
  const std::string full = FullPath(path, current, style);
  FUZZ_CHECK(FullPath(full, "", style) == full);
  FUZZ_CHECK(IsFullPath(full, style));
  // A network path's server and share are the system's to read.
  if (style == PathStyle::kWindows && full.starts_with("\\\\")) return;
  const std::string sep(1, Separator(style));
  for (const char* bad : {"..", "."}) {
    FUZZ_CHECK(!full.ends_with(sep + bad) && full.find(sep + bad + sep) == std::string::npos);
  }
}

// The parts of the path as folders below one that is there: each folder
// tested or made lies below it, each made one below the one before, and
// afterwards the whole chain exists. The host's folder is absolute along
// with its program's path.
void CheckFolderChain(std::string_view path, PathStyle style) {
  const std::string parent = GetParentPath(path, style);
  FUZZ_CHECK(!IsAbsolutePath(path, style) || IsAbsolutePath(parent, style));
  FUZZ_CHECK(IsAbsolutePath(path, PathStyle::kPosix) == path.starts_with('/'));

  FakePlatform platform;
  platform.style = style;
  const std::string base = style == PathStyle::kWindows ? "C:\\Host\\" : "/opt/host/";
  platform.folders = {base};
  std::vector<std::string> parts;
  for (std::string_view rest = path; !rest.empty();) {
    std::size_t end = 0;
    while (end < rest.size() && !IsSeparator(rest[end], style)) ++end;
    const std::string_view part = rest.substr(0, end);
    if (!part.empty() && part != "." && part != ".." && parts.size() < 2) parts.emplace_back(part);
    rest.remove_prefix(std::min(rest.size(), end + 1));
  }
  if (parts.size() < 2) return;
  std::string made;
  std::string reason;
  FUZZ_CHECK(MakeFolders(platform, base, {parts[0], parts[1]}, &made, &reason) == Status::kOk);
  FUZZ_CHECK(made == base + parts[0] + Separator(style) + parts[1]);
  std::size_t previous = base.size();
  for (const std::string& folder : platform.created_folders) {
    FUZZ_CHECK(folder.starts_with(base) && folder.size() > previous);
    previous = folder.size();
  }
  for (const std::string& folder : platform.tested_folders) FUZZ_CHECK(folder.starts_with(base));
  FUZZ_CHECK(platform.KindOf(made) == FileKind::kFolder);

  const std::size_t created = platform.created_folders.size();
  FUZZ_CHECK(MakeFolders(platform, base, {parts[0], parts[1]}, &made, &reason) == Status::kOk);
  FUZZ_CHECK(platform.created_folders.size() == created);
}

}  // namespace
}  // namespace brellam

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(bytes), size);
  for (const brellam::PathStyle style : brellam::kStyles) {
    brellam::CheckFileNameAndParent(path, style);
    brellam::CheckSkinName(brellam::GetFileName(path, style), style);
    brellam::CheckFolderChain(path, style);
    brellam::CheckFullPath(path, style);
  }
  brellam::CheckShownText(path);
  return 0;
}
