// The one seam between the conversion and the system it runs on: a POSIX
// and a Win32 implementation are chosen at build time, and tests put a
// fake in their place. Paths and texts are UTF-8 (on POSIX, paths are the
// bytes given); file contents are bytes of the ANSI code page. What can
// fail answers a Status, and the system's reason beside it; nothing throws
// but for want of memory.
#ifndef BRELLAM_PLATFORM_PLATFORM_H_
#define BRELLAM_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/local_date.h"
#include "text/code_page.h"
#include "text/command_line.h"
#include "text/path_style.h"
#include "text/utf8.h"

namespace brellam {

inline constexpr std::string_view kProgramName = "brellam";

// What the one message box of a run says; lines are separated by "\n".
struct Message {
  std::string prompt;
  bool success = false;
};

// What a path names; kMissing also when the system cannot tell.
enum class FileKind { kMissing, kFile, kFolder, kOther };

// How an operation that can fail ended. Whenever it is not kOk, the
// system's reason is in the `reason` that the caller passed.
enum class Status {
  kOk,
  kMissing,  // there is nothing of that name
  kTaken,    // something has the name that was to be new
  kNotFile,  // what has the name is no regular file of its own
  kFailed,
};

// Whether a read takes the file that a symbolic link (on Windows, any
// reparse point) at the end of the path leads to, or refuses the link.
enum class Links { kFollow, kRefuse };

class Platform {
 public:
  virtual ~Platform() = default;

  // Process and desktop.
  virtual CommandLine ReadCommandLine() const = 0;
  virtual void ShowMessage(const Message& message) = 0;

  // The per-user settings store: kMissing when it holds no such value.
  // kFailed also for a value that cannot be used as it is; `value` then
  // holds what is stored, when anything is, for the message. A string
  // comes without the NULs that end it, and with any inside it.
  virtual Status ReadSetting(std::string_view application, std::string_view section,
                             std::string_view key, std::string* value,
                             std::string* reason) const = 0;
  // How a path in the value ReadSetting last answered is written:
  // kWindows where the host stored it itself (on Windows, or in a Wine
  // prefix), else this system's own way (a settings file on POSIX).
  virtual PathStyle SettingPaths() const = 0;
  // Where this system has `path`, a path of that value as the host reads
  // it: on POSIX, for a Windows path from a Wine prefix, the path through
  // which Wine reaches the same file (kFailed, with the reason, where Wine
  // would not find it); else `path` itself.
  virtual Status SettingPathHere(const std::string& path, std::string* here,
                                 std::string* reason) const = 0;

  // Locale and clock.
  virtual PathStyle Paths() const = 0;
  virtual const CodePage& AnsiCodePage() const = 0;
  // Writes at `out` the ANSI code page bytes of the longest start of `utf8`
  // that the code page holds character for character, never as a
  // look-alike, and answers how much of `utf8` that took and how many bytes
  // it wrote. The character after it is one the code page lacks, or bytes
  // that are no UTF-8. No character takes more bytes in an ANSI code page
  // than in UTF-8, and each is read before its bytes are written: `out`
  // needs room for utf8.size() bytes, and may be `utf8` itself or before it.
  virtual Encoded EncodeAnsiInto(std::string_view utf8, char* out) const = 0;
  // The same, appended to `ansi`; answers how much of `utf8` it took.
  std::size_t EncodeAnsi(std::string_view utf8, std::string& ansi) const {
    const std::size_t old_size = ansi.size();
    ansi.resize(old_size + utf8.size());
    const Encoded encoded = EncodeAnsiInto(utf8, ansi.data() + old_size);
    ansi.resize(old_size + encoded.written);
    return encoded.taken;
  }
  virtual std::string DateSeparator() const = 0;
  virtual LocalDate Today() const = 0;
  // Bits no other process can guess.
  virtual std::uint64_t RandomNumber() = 0;

  // File system.
  // The process's current folder, in full: what a relative path is read in.
  virtual Status CurrentFolder(std::string* path, std::string* reason) const = 0;
  virtual FileKind KindOf(const std::string& path) const = 0;
  // `path` with its last name as the system holds it, not in a short form
  // ("BLUE~MM0"); `path` itself when the system cannot tell.
  virtual std::string LongName(const std::string& path) const = 0;
  // kOk also when the folder is there already.
  virtual Status CreateFolder(const std::string& path, std::string* reason) = 0;
  // Removes the folder, only while it is empty.
  virtual Status RemoveFolder(const std::string& path, std::string* reason) = 0;
  // The whole of a regular file (anything else is kNotFile at once: a
  // device may never end, a pipe's writer never close), however its size
  // changes while it is read, and never waiting: a read that would wait
  // fails. `bytes` is replaced only on kOk.
  virtual Status ReadFile(const std::string& path, std::string* bytes, std::string* reason,
                          Links links) = 0;
  // The entry of `folder` (which ends with a separator) that the host,
  // whose file names ignore letter case, opens for `name`: on POSIX the
  // one entry that is `name` in any letter case, else `name`; on Windows,
  // whose file system does that itself, `name`. kFailed, naming them,
  // when two or more are: Windows would count them as one.
  virtual Status NameInFolder(const std::string& folder, const std::string& name,
                              std::string* found, std::string* reason) = 0;
  // Creates the file, only where nothing has its name (kTaken: not even a
  // link, which is not followed), writes exactly `bytes` and answers kOk
  // once they are on the disk. A file it made but could not fill is gone.
  virtual Status WriteNewFile(const std::string& path, std::string_view bytes,
                              std::string* reason) = 0;
  // As WriteNewFile, for a file that is to replace `replacing`: it gets the
  // permission bits of the file there, if any, while it is still open.
  virtual Status WriteReplacement(const std::string& path, std::string_view bytes,
                                  const std::string& replacing, std::string* reason) = 0;
  // Gives the file at `path` a second, new name `aside` (kTaken as in
  // WriteNewFile), so that it can be put back after another file was
  // renamed over it: a hard link, or wherever the system cannot link, a
  // copy on the disk. kMissing when nothing has the name; fails as
  // RenameReplacing would for a file that may not be replaced.
  virtual Status KeepAside(const std::string& path, const std::string& aside,
                           std::string* reason) = 0;
  // Puts `from` in the place of `to`, which may exist unless read-only.
  virtual Status RenameReplacing(const std::string& from, const std::string& to,
                                 std::string* reason) = 0;
  // Makes the names in the folder that `path` is in durable, where the
  // system needs to be asked (after RenameReplacing).
  virtual Status SyncFolderOf(const std::string& path, std::string* reason) = 0;
  virtual Status RemoveFile(const std::string& path, std::string* reason) = 0;
  // Waits until no other process holds the lock file `path`, made where
  // missing and never removed, then holds it until UnlockFile or the end
  // of the process, however it ends.
  virtual Status LockFile(const std::string& path, std::string* reason) = 0;
  virtual void UnlockFile(const std::string& path) = 0;
};

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_PLATFORM_H_
