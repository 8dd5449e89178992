#include "helpers/text_file.h"

#include <memory>
#include <utility>

namespace brellam {

std::int64_t ReadFileBytes(Platform& platform, const std::string& path, std::string& bytes,
                           std::string* reason) {
  std::string read;
  std::string why;
  if (platform.ReadFile(path, &read, &why, Links::kFollow) != Status::kOk) {
    if (reason != nullptr) *reason = std::move(why);
    return -1;
  }
  const auto size = static_cast<std::int64_t>(read.size());
  if (size > 0) bytes = std::move(read);
  return size;
}

std::string ReadTextFile(Platform& platform, const std::string& path, std::string* reason) {
  std::string bytes;
  ReadFileBytes(platform, path, bytes, reason);
  return bytes;
}

Status WriteNewFile(Platform& platform, const std::string& path, std::string_view bytes,
                    std::string* reason) {
  std::unique_ptr<FileWriter> file;
  Status status = platform.CreateNewFile(path, nullptr, &file, reason);
  if (status == Status::kOk) status = file->Write(bytes, reason);
  return status == Status::kOk ? file->Finish(nullptr, reason) : status;
}

}  // namespace brellam
