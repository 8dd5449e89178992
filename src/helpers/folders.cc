#include "helpers/folders.h"

#include <utility>

namespace brellam {

namespace {

// Runs that keep making the same folder in two letter cases at once give
// way to each other only so many times.
constexpr int kMostAttempts = 4;

}  // namespace

Status MakeFolders(Platform& platform, std::string folder,
                   std::initializer_list<std::string_view> names, std::string* path,
                   std::string* reason, std::vector<std::string>* made) {
  const PathStyle style = platform.Paths();
  for (const std::string_view name : names) {
    for (int attempt = 0;; ++attempt) {
      std::string found;
      Status status = platform.NameInFolder(folder, std::string(name), &found, reason);
      if (status != Status::kOk) {
        *path = folder + std::string(name) + Separator(style);
        return status;
      }
      std::string next = folder + found + Separator(style);
      if (platform.KindOf(next) == FileKind::kFolder) {
        folder = std::move(next);
        break;
      }
      // So many gave way in turn: the twins the last look found are why.
      status = attempt == kMostAttempts ? Status::kCaseTwins : platform.CreateFolder(next, reason);
      if (status != Status::kOk) {
        *path = std::move(next);
        return status;
      }
      // Another run may have made it in another letter case meanwhile, a
      // twin that Windows counts as the same folder: the one that finds
      // the other gives way, and takes it.
      std::string why;
      status = platform.NameInFolder(folder, std::string(name), &found, reason);
      if (status == Status::kOk) {
        if (made != nullptr) made->push_back(next);
        folder = std::move(next);
        break;
      }
      if (platform.RemoveFolder(next, &why) != Status::kOk) {
        *path = std::move(next);
        return status;
      }
    }
  }
  if (!folder.empty()) folder.pop_back();
  *path = std::move(folder);
  return Status::kOk;
}

void RemoveMadeFolders(Platform& platform, std::span<const std::string> made) {
  std::string reason;
  for (std::size_t i = made.size(); i-- > 0;) {
    if (platform.RemoveFolder(made[i], &reason) != Status::kOk) return;
  }
}

}  // namespace brellam
