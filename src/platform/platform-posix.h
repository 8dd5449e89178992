// The platform on Linux and other POSIX systems: arguments joined into one
// text, the settings store as an INI file or else the Wine prefix's
// registry, messages on stdout or stderr, code page 932, and paths handed
// to the file system as they are.
#ifndef BRELLAM_PLATFORM_PLATFORM_POSIX_H_
#define BRELLAM_PLATFORM_PLATFORM_POSIX_H_

#include <string>
#include <vector>

#include "platform/platform.h"

namespace brellam {

class PosixPlatform : public Platform {
 public:
  PosixPlatform(int argc, const char* const* argv);

  std::string ArgumentText() const override;
  void ShowMessage(const Message& message) override;
  std::string ReadSetting(std::string_view application, std::string_view section,
                          std::string_view key) const override;

  PathStyle Paths() const override { return PathStyle::kPosix; }
  const CodePage& AnsiCodePage() const override { return CodePage932(); }
  std::string ToAnsi(std::string_view text) const override;
  std::string DateSeparator() const override { return "/"; }
  LocalDate Today() const override;
  std::uint64_t ProcessId() const override;

  bool IsFolder(const std::string& path) const override;
  std::string CreateFolder(const std::string& path) override;
  std::int64_t ReadFileBytes(const std::string& path, std::string& bytes) override;
  bool WriteFile(const std::string& path, std::string_view bytes) override;
  bool RenameReplacing(const std::string& from, const std::string& to) override;
  void RemoveFile(const std::string& path) override;

 private:
  std::vector<std::string> arguments_;
};

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_PLATFORM_POSIX_H_
