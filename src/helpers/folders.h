// Creating the folders a skin needs below one that is there.
#ifndef BRELLAM_HELPERS_FOLDERS_H_
#define BRELLAM_HELPERS_FOLDERS_H_

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace brellam {

// A folder that could not be made; it ends the run.
class FolderError : public std::runtime_error {
 public:
  FolderError(std::string path, std::string reason)
      : std::runtime_error(path + ": " + reason),
        path_(std::move(path)),
        reason_(std::move(reason)) {}
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

// Makes each of `names` in turn, the next inside the one before, below
// `folder` (ending with a separator), which must be there: it and the
// folders above it are never made. A name that is there in another letter
// case is the one used, as the host under Wine would find it. Answers the
// path of the last folder, without a separator at its end; adds each folder
// it made to `made`, with its separator. Throws FolderError.
std::string MakeFolders(Platform& platform, std::string folder,
                        std::initializer_list<std::string_view> names,
                        std::vector<std::string>* made = nullptr);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_FOLDERS_H_
