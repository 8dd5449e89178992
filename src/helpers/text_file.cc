#include "helpers/text_file.h"

namespace brellam {

std::string ReadTextFile(Platform& platform, const std::string& path) {
  std::string bytes;
  if (platform.ReadFileBytes(path, bytes) <= 0) return {};
  return bytes;
}

bool WriteTextFile(Platform& platform, const std::string& path, std::string_view text) {
  const std::string temporary = path + ".brellam-" + std::to_string(platform.ProcessId()) + ".tmp";
  if (platform.WriteFile(temporary, text) && platform.RenameReplacing(temporary, path)) return true;
  platform.RemoveFile(temporary);
  return false;
}

}  // namespace brellam
