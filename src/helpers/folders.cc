#include "helpers/folders.h"

namespace brellam {

Status MakeFolders(Platform& platform, std::string folder,
                   std::initializer_list<std::string_view> names, std::string* path,
                   std::string* reason, std::vector<std::string>* made) {
  const PathStyle style = platform.Paths();
  for (const std::string_view name : names) {
    std::string found;
    if (platform.NameInFolder(folder, std::string(name), &found, reason) != Status::kOk) {
      *path = folder + std::string(name) + Separator(style);
      return Status::kFailed;
    }
    folder.append(found).push_back(Separator(style));
    if (platform.KindOf(folder) == FileKind::kFolder) continue;
    if (platform.CreateFolder(folder, reason) != Status::kOk) {
      *path = std::move(folder);
      return Status::kFailed;
    }
    if (made != nullptr) made->push_back(folder);
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
