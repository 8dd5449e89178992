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
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// How an operation that can fail ended, in the program's own codes: the
// words for them, and for the system's reasons, are made only where the
// message is (conversion's messages.h). Whenever it is not kOk, the
// `reason` that the caller passed holds the system's own reason where it
// gave one (kFailed always has one), else what a code below says, else
// nothing.
enum class Status {
  kOk,
  kMissing,  // there is nothing of that name
  kTaken,    // something has the name that was to be new
  kNotFile,  // what has the name is no regular file of its own: a folder, a pipe, a device
  kFailed,
  kBusy,      // another program held the lock longer than a run waits
  kLinked,    // a link, or reached through one, where a folder of its own must be
  kNoLinks,   // the file system gives no file a second name
  kChanged,   // what was read changed while it was read
  kTooLarge,  // more than memory can hold
  // Names that differ only in letter case, which Windows counts as one:
  // `reason` holds them, each ended by a NUL (no file name holds one).
  kCaseTwins,
  kForeign,  // a file of the program's own name that the program did not write
  // Of the host's settings:
  kUtf16,        // a settings file in UTF-16, where UTF-8 is read
  kNotString,    // a stored value of another type: `reason` holds it as stored ("hex(1)")
  kNoSuchDrive,  // a path on a drive that the Wine prefix lacks: `reason` holds it ("D:")
  kNotOnADrive,  // a path that Wine reaches through no drive (a share's)
};

// Answers a status of the program's own, with what it says `reason` holds,
// or nothing.
inline Status Answer(Status status, std::string* reason, std::string_view what = {}) {
  reason->assign(what);
  return status;
}

// Whether a read takes the file that a symbolic link (on Windows, any
// reparse point) at the end of the path leads to, or refuses the link.
enum class Links { kFollow, kRefuse };

// What tells one version of a file from another, in the platform's own
// units: a file put in the place of another by a rename is another.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  bool operator==(const FileIdentity&) const = default;
};

// A regular file open for reading, closed when this goes.
class FileReader {
 public:
  virtual ~FileReader() = default;
  // Up to `size` bytes at `into`, and how many in `got`: 0 at the end.
  virtual Status Read(char* into, std::size_t size, std::size_t* got, std::string* reason) = 0;
  // The next Read starts `offset` bytes into the file.
  virtual Status Seek(std::uint64_t offset, std::string* reason) = 0;
  // As the system has it now.
  virtual FileIdentity Identity() const = 0;
};

// A new file being written. Unless Finish succeeds, it is removed when
// this goes: no half-written file is left behind.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  virtual Status Write(std::string_view bytes, std::string* reason) = 0;
  // Gives it the modification time of `dated_like` when given, puts it on
  // the disk and closes it: kOk only once all of it is there.
  virtual Status Finish(const FileIdentity* dated_like, std::string* reason) = 0;
};

// A lock file held by this run, let go when this goes and by the system
// when the process ends, however it ends.
class HeldLock {
 public:
  virtual ~HeldLock() = default;
  // Removes the lock file while it is still held, then lets it go.
  virtual Status RemoveLockFile(std::string* reason) = 0;
};

enum class LockMode { kExclusive, kShared };

// Signals held back while this lives (see Platform::HoldSignals).
class HeldSignals {
 public:
  virtual ~HeldSignals() = default;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Process and desktop.
  virtual CommandLine ReadCommandLine() const = 0;
  virtual void ShowMessage(const Message& message) = 0;

  // The per-user settings store: kMissing when it holds no such value;
  // `value` is set only on kOk. A string comes without the NULs that end
  // it, and with any inside it.
  virtual Status ReadSetting(std::string_view application, std::string_view section,
                             std::string_view key, std::string* value,
                             std::string* reason) const = 0;
  // Where ReadSetting last read, or found nothing: a file's path, or the
  // registry key.
  virtual std::string SettingSource() const = 0;
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
  // Only an empty folder goes.
  virtual Status RemoveFolder(const std::string& path, std::string* reason) = 0;
  // The names of what `folder` holds, "." and ".." aside.
  virtual Status ListFolder(const std::string& folder, std::vector<std::string>* names,
                            std::string* reason) = 0;
  // The whole of a regular file (anything else is kNotFile at once: a
  // device may never end, a pipe's writer never close), however its size
  // changes while it is read, and never waiting: a read that would wait
  // fails. `bytes` is replaced only on kOk.
  virtual Status ReadFile(const std::string& path, std::string* bytes, std::string* reason,
                          Links links) = 0;
  // A regular file to read in pieces, refused as ReadFile refuses.
  virtual Status OpenForReading(const std::string& path, Links links,
                                std::unique_ptr<FileReader>* file, std::string* reason) = 0;
  // The entry of `folder` (which ends with a separator) that the host,
  // whose file names ignore letter case, opens for `name`: on POSIX the
  // one entry that is `name` in any letter case, else `name`; on Windows,
  // whose file system does that itself, `name`. kCaseTwins when two or
  // more are: Windows would count them as one.
  virtual Status NameInFolder(const std::string& folder, const std::string& name,
                              std::string* found, std::string* reason) = 0;
  // Creates a file to write, only where nothing has its name (kTaken: not
  // even a link, which is not followed). When `bits_of` names a file, the
  // new one gets its permission bits while it is open, where the system
  // has any.
  virtual Status CreateNewFile(const std::string& path, const std::string* bits_of,
                               std::unique_ptr<FileWriter>* file, std::string* reason) = 0;
  // Gives the file at `path` a second, new name `aside` (kTaken as in
  // CreateNewFile), so that it can be put back after another file was
  // renamed over it. kMissing when nothing has the name; kNoLinks where
  // the file system cannot link (the caller copies it instead); fails as
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
  // Takes the lock file `name` in `folder`, waiting while another process
  // holds it in a mode that keeps `mode` out, but no longer than the
  // platform's lock wait (kBusy). Exclusive, it is made where missing;
  // shared, it is only taken where it is (kMissing), and nothing is made.
  // It is never written, so a file laid there in wait loses nothing. With
  // `folder_links` kRefuse, a folder that is a link, or that the opened
  // lock file turns out not to be in, is kLinked, and nothing is made
  // through it. kMissing also when, once taken, the lock file is no
  // longer the one of that name: another run removed it meanwhile.
  virtual Status LockFile(const std::string& folder, std::string_view name, LockMode mode,
                          Links folder_links, std::unique_ptr<HeldLock>* lock,
                          std::string* reason) = 0;
  // Holds back, until what it answers goes, the signals that end a run
  // from outside (POSIX: SIGINT, SIGTERM, SIGHUP, SIGQUIT); they act then.
  // Null where the system has no such signals.
  virtual std::unique_ptr<HeldSignals> HoldSignals() = 0;
};

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_PLATFORM_H_
