// Creating the chain of folders a path names.
#ifndef BRELLAM_HELPERS_FOLDERS_H_
#define BRELLAM_HELPERS_FOLDERS_H_

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

// Creates every missing folder along `path`, from the root down, and leaves
// existing ones alone. The server and share of a network path are never
// tested or made. Answers the folders it made, from the root down, each
// with its trailing separator. Throws FolderError.
std::vector<std::string> MakeFolders(Platform& platform, std::string_view path);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_FOLDERS_H_
