#include "helpers/text_file.h"

#include <memory>

namespace brellam {

Status ReadFileBytes(Platform& platform, const std::string& path, std::string* bytes,
                     std::string* reason) {
  return platform.ReadFile(path, bytes, reason, Links::kRefuse);
}

Status ReadTextFile(Platform& platform, const std::string& path, std::unique_ptr<FileReader>* file,
                    std::string* reason) {
  return platform.OpenForReading(path, Links::kFollow, file, reason);
}

Status WriteNewFile(Platform& platform, const std::string& path, std::string_view bytes,
                    std::string* reason) {
  std::unique_ptr<FileWriter> file;
  Status status = platform.CreateNewFile(path, nullptr, &file, reason);
  if (status == Status::kOk) status = file->Write(bytes, reason);
  return status == Status::kOk ? file->Finish(nullptr, reason) : status;
}

}  // namespace brellam
