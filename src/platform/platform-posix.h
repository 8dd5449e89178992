// The platform on Linux and other POSIX systems: the arguments as given,
// the settings store as an INI file or else the Wine prefix's registry,
// messages on stdout or stderr, code page 932, and paths handed to the
// file system as they are.
#ifndef BRELLAM_PLATFORM_PLATFORM_POSIX_H_
#define BRELLAM_PLATFORM_PLATFORM_POSIX_H_

#include <chrono>
#include <string>
#include <vector>

#include "platform/code_page_932-posix.h"
#include "platform/platform.h"

namespace brellam {

class PosixPlatform : public Platform {
 public:
  // Once `table_from` bytes were encoded, texts are encoded through a table
  // (see CodePage932Encoder). A lock that another process holds is waited
  // for `lock_wait` at the most.
  PosixPlatform(int argc, const char* const* argv, std::size_t table_from = 64 << 10,
                std::chrono::milliseconds lock_wait = std::chrono::seconds(10));
  PosixPlatform(const PosixPlatform&) = delete;
  PosixPlatform& operator=(const PosixPlatform&) = delete;

  CommandLine ReadCommandLine() const override;
  void ShowMessage(const Message& message) override;
  Status ReadSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string* value, std::string* reason) const override;
  std::string SettingSource() const override { return setting_source_; }
  PathStyle SettingPaths() const override {
    return setting_from_wine_ ? PathStyle::kWindows : PathStyle::kPosix;
  }
  Status SettingPathHere(const std::string& path, std::string* here,
                         std::string* reason) const override;

  PathStyle Paths() const override { return PathStyle::kPosix; }
  const CodePage& AnsiCodePage() const override { return CodePage932(); }
  Encoded EncodeAnsiInto(std::string_view utf8, char* out) const override;
  std::string DateSeparator() const override { return "/"; }
  LocalDate Today() const override;
  std::uint64_t RandomNumber() override;

  Status CurrentFolder(std::string* path, std::string* reason) const override;
  FileKind KindOf(const std::string& path) const override;
  // Names have no short forms here.
  std::string LongName(const std::string& path) const override { return path; }
  Status CreateFolder(const std::string& path, std::string* reason) override;
  Status RemoveFolder(const std::string& path, std::string* reason) override;
  Status ListFolder(const std::string& folder, std::vector<std::string>* names,
                    std::string* reason) override;
  Status ReadFile(const std::string& path, std::string* bytes, std::string* reason,
                  Links links) override;
  Status OpenForReading(const std::string& path, Links links, std::unique_ptr<FileReader>* file,
                        std::string* reason) override;
  Status NameInFolder(const std::string& folder, const std::string& name, std::string* found,
                      std::string* reason) override;
  Status CreateNewFile(const std::string& path, const std::string* bits_of,
                       std::unique_ptr<FileWriter>* file, std::string* reason) override;
  Status KeepAside(const std::string& path, const std::string& aside, std::string* reason) override;
  Status RenameReplacing(const std::string& from, const std::string& to,
                         std::string* reason) override;
  Status SyncFolderOf(const std::string& path, std::string* reason) override;
  Status RemoveFile(const std::string& path, std::string* reason) override;
  Status LockFile(const std::string& folder, std::string_view name, LockMode mode,
                  Links folder_links, std::unique_ptr<HeldLock>* lock,
                  std::string* reason) override;
  std::unique_ptr<HeldSignals> HoldSignals() override;

 private:
  std::vector<std::string> arguments_;
  mutable CodePage932Encoder encoder_;
  std::uint64_t fallback_counter_ = 0;
  std::chrono::milliseconds lock_wait_;
  // Of the last setting read: whether it came from the Wine prefix's
  // registry, and the file read.
  mutable bool setting_from_wine_ = false;
  mutable std::string setting_source_;
};

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_PLATFORM_POSIX_H_
