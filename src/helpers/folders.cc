#include "helpers/folders.h"

namespace brellam {

namespace {

// "\\server\share\" is made of the first four parts: two empty ones, the
// server and the share.
constexpr std::size_t kNetworkRootParts = 4;

bool IsNetworkPath(std::string_view path, PathStyle style) {
  return style == PathStyle::kWindows && path.size() >= 2 && IsSeparator(path[0], style) &&
         IsSeparator(path[1], style);
}

}  // namespace

std::vector<std::string> MakeFolders(Platform& platform, std::string_view path) {
  const PathStyle style = platform.Paths();
  const bool network = IsNetworkPath(path, style);
  std::vector<std::string> made;
  std::string prefix;
  std::size_t part_number = 0;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = begin;
    while (end < path.size() && !IsSeparator(path[end], style)) ++end;
    prefix.append(path.substr(begin, end - begin)).push_back(Separator(style));
    if (!(network && part_number < kNetworkRootParts) &&
        platform.KindOf(prefix) != FileKind::kFolder) {
      std::string reason;
      if (platform.CreateFolder(prefix, &reason) != Status::kOk) {
        throw FolderError(prefix, std::move(reason));
      }
      made.push_back(prefix);
    }
    ++part_number;
    begin = end + 1;
  }
  return made;
}

}  // namespace brellam
