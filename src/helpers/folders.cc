#include "helpers/folders.h"

namespace brellam {

std::string MakeFolders(Platform& platform, std::string folder,
                        std::initializer_list<std::string_view> names,
                        std::vector<std::string>* made) {
  const PathStyle style = platform.Paths();
  for (const std::string_view name : names) {
    std::string found;
    std::string reason;
    if (platform.NameInFolder(folder, std::string(name), &found, &reason) != Status::kOk) {
      throw FolderError(folder + std::string(name) + Separator(style), std::move(reason));
    }
    folder.append(found).push_back(Separator(style));
    if (platform.KindOf(folder) == FileKind::kFolder) continue;
    if (platform.CreateFolder(folder, &reason) != Status::kOk) {
      throw FolderError(folder, std::move(reason));
    }
    if (made != nullptr) made->push_back(folder);
  }
  if (!folder.empty()) folder.pop_back();
  return folder;
}

}  // namespace brellam
