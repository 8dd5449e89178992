#include "helpers/text_file.h"

#include <cstdio>
#include <utility>

namespace brellam {

namespace {

// Another name is tried when one is taken; after so many, someone is
// taking them on purpose.
constexpr int kNameAttempts = 16;

// Beside the file, under a name no other process can guess, so that nothing
// can have been laid there in wait for it.
std::string TemporaryName(const std::string& path, std::uint64_t number) {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(number));
  return path + ".brellam-" + hex + ".tmp";
}

}  // namespace

std::int64_t ReadFileBytes(Platform& platform, const std::string& path, std::string& bytes) {
  std::string read;
  std::string reason;
  if (platform.ReadFile(path, &read, &reason, Links::kFollow) != Status::kOk) return -1;
  if (read.empty()) return 0;
  bytes = std::move(read);
  return static_cast<std::int64_t>(bytes.size());
}

std::string ReadTextFile(Platform& platform, const std::string& path) {
  std::string bytes;
  ReadFileBytes(platform, path, bytes);
  return bytes;
}

bool WriteTextFile(Platform& platform, const std::string& path, std::string_view text) {
  std::string reason;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string temporary = TemporaryName(path, platform.RandomNumber());
    const Status written = platform.WriteNewFile(temporary, text, &reason);
    if (written == Status::kTaken) continue;
    if (written != Status::kOk) return false;
    // The data is on the disk before its new name is, and the name after.
    if (platform.RenameReplacing(temporary, path, &reason) != Status::kOk) {
      platform.RemoveFile(temporary, &reason);
      return false;
    }
    return platform.SyncFolderOf(path, &reason) == Status::kOk;
  }
  return false;
}

}  // namespace brellam
