// The platform on Windows: the command line after the program's path, the
// per-user registry settings, MessageBoxW, the ANSI code page, and paths
// handed to the wide API so that any file name works.
#ifndef BRELLAM_PLATFORM_PLATFORM_WIN32_H_
#define BRELLAM_PLATFORM_PLATFORM_WIN32_H_

#include <chrono>
#include <string>

#include "platform/platform.h"

namespace brellam {

class Win32Platform : public Platform {
 public:
  // A lock that another process holds is waited for `lock_wait` at the most.
  explicit Win32Platform(std::chrono::milliseconds lock_wait = std::chrono::seconds(10));

  CommandLine ReadCommandLine() const override;
  void ShowMessage(const Message& message) override;
  Status ReadSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string* value, std::string* reason) const override;
  std::string SettingSource() const override;
  PathStyle SettingPaths() const override { return PathStyle::kWindows; }
  Status SettingPathHere(const std::string& path, std::string* here,
                         std::string* reason) const override;

  PathStyle Paths() const override { return PathStyle::kWindows; }
  const CodePage& AnsiCodePage() const override { return code_page_; }
  Encoded EncodeAnsiInto(std::string_view utf8, char* out) const override;
  std::string DateSeparator() const override;
  LocalDate Today() const override;
  std::uint64_t RandomNumber() override;

  Status CurrentFolder(std::string* path, std::string* reason) const override;
  FileKind KindOf(const std::string& path) const override;
  std::string LongName(const std::string& path) const override;
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
  // Nothing stops a process here but its own end: TerminateProcess cannot
  // be held back.
  std::unique_ptr<HeldSignals> HoldSignals() override { return nullptr; }

 private:
  CodePage code_page_;
  // The registry key ReadSetting last read.
  mutable std::string setting_source_;
  std::uint64_t fallback_counter_ = 0;
  std::chrono::milliseconds lock_wait_;
};

// Between the core's UTF-8 and the wide API's UTF-16.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The arguments part of a command line: what follows the program's path
// (quoted or not) and the blanks after it.
std::wstring ArgumentsOf(std::wstring_view command_line);

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_PLATFORM_WIN32_H_
