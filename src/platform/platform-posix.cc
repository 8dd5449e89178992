#include "platform/platform-posix.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include "platform/desktop_dialog.h"
#include "platform/host_lookup-posix.h"
#include "platform/whole_file.h"
#include "text/settings_ini.h"
#include "text/utf8.h"
#include "text/wine_registry.h"

namespace brellam {

namespace {

// Closes the descriptor when the call that opened it returns.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now, for callers that must know whether the data reached the disk.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }
  // Keeps it open past the call, for the caller to close.
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// -1 on failure, else the count (0 at the end of the file).
std::int64_t ReadSome(int fd, char* into, std::size_t size) {
  ssize_t n;
  do {
    n = ::read(fd, into, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

// Asks for the buffer's memory up front, in huge pages where it is large:
// taking it one 4 KiB page fault at a time is dear where faults are (in a
// virtual machine), and alone made reading a large skin ten times slower
// than copying it. Only hints: without them all works the same.
void PrepareReadBuffer(char* data, std::size_t size) {
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
  if (end <= begin) return;
  void* const pages = reinterpret_cast<void*>(begin);
#ifdef MADV_HUGEPAGE
  if (size >= (std::size_t{2} << 20)) ::madvise(pages, end - begin, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
  ::madvise(pages, end - begin, MADV_POPULATE_WRITE);
#endif
}

// The program's own reasons, in the language of its messages.
constexpr const char* kNotRegular = "通常のファイルではない";

Status Failed(std::string* reason, int error, Status status = Status::kFailed) {
  *reason = std::strerror(error);
  return status;
}

Status ReadPath(const std::string& path, std::string* bytes, std::string* reason,
                Links links = Links::kFollow) {
  // Only a regular file is read: a device may never end, and a pipe whose
  // writer never closes blocks forever. Asked again of what was opened, in
  // case the name changed hands in between. Some files that say they are
  // regular wait for data all the same (under /proc and /sys): the file
  // stays non-blocking, and a read that would wait fails.
  const bool refuse_links = links == Links::kRefuse;
  struct stat info;
  if ((refuse_links ? ::lstat(path.c_str(), &info) : ::stat(path.c_str(), &info)) != 0) {
    return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
  }
  if (S_ISLNK(info.st_mode)) return Failed(reason, ELOOP, Status::kNotFile);
  FileDescriptor file(S_ISREG(info.st_mode)
                          ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK |
                                                     (refuse_links ? O_NOFOLLOW : 0))
                          : -1);
  if (file.get() >= 0 && ::fstat(file.get(), &info) != 0) return Failed(reason, errno);
  if (!S_ISREG(info.st_mode)) {
    *reason = kNotRegular;
    return Status::kNotFile;
  }
  // A link put in the file's place since.
  if (file.get() < 0)
    return Failed(reason, errno, errno == ELOOP ? Status::kNotFile : Status::kFailed);
  const int fd = file.get();
  errno = 0;
  const std::int64_t count = ReadWholeFile(
      static_cast<std::uint64_t>(info.st_size),
      [fd](char* into, std::size_t n) { return ReadSome(fd, into, n); }, *bytes, PrepareReadBuffer);
  if (count < 0) {
    *reason = errno != 0 ? std::strerror(errno) : "大きすぎてメモリに入らない";
    return Status::kFailed;
  }
  if (count == 0) bytes->clear();
  return Status::kOk;
}

// Writes in pieces and has the system start putting each on the disk at
// once, while the next is copied: the flush at the end then waits for
// less. Only a hint where the system has no such call.
bool WriteAll(int fd, std::string_view bytes) {
  constexpr std::size_t kPiece = std::size_t{8} << 20;
  off_t written = 0;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), std::min(bytes.size(), kPiece));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(fd, written, n, SYNC_FILE_RANGE_WRITE);
#endif
    written += n;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// All of `in` through `converter`, or nothing when any of it does not go.
bool ConvertWhole(iconv_t converter, std::string_view in, std::string& out) {
  out.resize(in.size() * 4);
  char* from = const_cast<char*>(in.data());
  std::size_t from_left = in.size();
  char* to = out.data();
  std::size_t room = out.size();
  ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
  const bool whole =
      ::iconv(converter, &from, &from_left, &to, &room) != static_cast<std::size_t>(-1);
  out.resize(static_cast<std::size_t>(to - out.data()));
  return whole;
}

// The code page 932 code that stands for each character of the Basic
// Multilingual Plane past ASCII, or 0: the C library's own table, turned
// round once so that a large text costs a look-up a character. Built from
// what the library reads each code as, and what it writes for each
// character so read, kept only where that reads back as the character.
std::vector<std::uint16_t> EncodeTable932(iconv_t to_932, iconv_t from_932) {
  const CodePage& code_page = CodePage932();
  std::vector<char32_t> read_as(0x10000, 0);
  std::string bytes;
  std::string utf8;
  for (unsigned code = 0x80; code < 0x10000; ++code) {
    const auto first = static_cast<char>(code >> 8);
    const auto second = static_cast<char>(code & 0xFF);
    if (code < 0x100 ? code_page.IsLead(second)
                     : !code_page.IsLead(first) || !code_page.IsTrail(second)) {
      continue;
    }
    bytes = code < 0x100 ? std::string(1, second) : std::string{first, second};
    if (ConvertWhole(from_932, bytes, utf8)) {
      const Utf8Character c = Utf8At(utf8, 0);
      if (c.well_formed && c.size == utf8.size()) read_as[code] = c.code_point;
    }
  }
  std::vector<std::uint16_t> table(0x10000, 0);
  for (const char32_t c : read_as) {
    if (c < 0x80 || c > 0xFFFF || table[c] != 0) continue;
    utf8.clear();
    AppendUtf8(c, utf8);
    if (!ConvertWhole(to_932, utf8, bytes) || bytes.empty() || bytes.size() > 2) continue;
    unsigned code = 0;
    for (const char byte : bytes) code = (code << 8) | static_cast<unsigned char>(byte);
    if (read_as[code] == c) table[c] = static_cast<std::uint16_t>(code);
  }
  return table;
}

// Every name in the folder but "." and "..".
bool ListEntries(const std::string& folder, std::vector<std::string>& names) {
  DIR* const listing = ::opendir(folder.c_str());
  if (listing == nullptr) return false;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(listing);
  return true;
}

std::string WinePrefix() {
  return WinePrefixFolder(std::getenv("WINEPREFIX"), std::getenv("HOME"));
}

// The host runs under Wine and keeps its settings where it would on
// Windows, in the prefix's registry. kMissing when there is no prefix or
// no value.
Status ReadWineSetting(std::string_view application, std::string_view section, std::string_view key,
                       std::string* value, std::string* reason) {
  const std::string prefix = WinePrefix();
  std::string text;
  if (prefix.empty() || ReadPath(prefix + "/user.reg", &text, reason) != Status::kOk) {
    return Status::kMissing;
  }
  std::string registry_key = "Software\\VB and VBA Program Settings\\";
  registry_key.append(application).append("\\").append(section);
  *value = ReadWineRegistryString(text, registry_key, key);
  // As a string the host stored with NULs after it reads on Windows.
  while (!value->empty() && value->back() == '\0') value->pop_back();
  return value->empty() ? Status::kMissing : Status::kOk;
}

}  // namespace

PosixPlatform::PosixPlatform(int argc, const char* const* argv, std::size_t table_from)
    : arguments_(argv + (argc > 0 ? 1 : 0), argv + argc), table_from_(table_from) {}

PosixPlatform::~PosixPlatform() {
  if (to_932_ != kNoConverter) ::iconv_close(to_932_);
  if (from_932_ != kNoConverter) ::iconv_close(from_932_);
}

CommandLine PosixPlatform::ReadCommandLine() const {
  // The text is what Windows would hand over for the same drop.
  CommandLine command_line{{}, arguments_};
  for (const std::string& argument : arguments_) {
    if (&argument != &arguments_.front()) command_line.text.push_back(' ');
    command_line.text += argument;
  }
  return command_line;
}

void PosixPlatform::ShowMessage(const Message& message) {
  std::FILE* stream = message.success ? stdout : stderr;
  std::fprintf(stream, "%s: %s\n", std::string(kProgramName).c_str(), message.prompt.c_str());
  std::fflush(stream);
  // Started from a file manager, nobody reads those streams.
  if (WantsDialog(::isatty(STDERR_FILENO) == 1, std::getenv("DISPLAY"),
                  std::getenv("WAYLAND_DISPLAY"))) {
    ShowDialog(message);
  }
}

Status PosixPlatform::ReadSetting(std::string_view application, std::string_view section,
                                  std::string_view key, std::string* value,
                                  std::string* reason) const {
  const std::string path =
      SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), application);
  std::string text;
  // A settings file that is there is the store, whatever it holds: the
  // prefix is asked only without one.
  Status status = path.empty() ? Status::kMissing : ReadPath(path, &text, reason);
  setting_from_wine_ = status == Status::kMissing;
  if (status == Status::kOk) {
    *value = ReadIniValue(text, section, key);
    if (value->empty()) return Status::kMissing;
  } else if (status == Status::kMissing) {
    status = ReadWineSetting(application, section, key, value, reason);
  }
  return status == Status::kOk || status == Status::kMissing ? status : Status::kFailed;
}

Status PosixPlatform::SettingPathHere(const std::string& path, std::string* here,
                                      std::string* reason) const {
  if (!setting_from_wine_) {
    *here = path;
    return Status::kOk;
  }
  // The host's path only means something here as the Unix path Wine
  // reaches it through.
  *here = UnixPathInPrefix(WinePrefix(), path, ListEntries, reason);
  return here->empty() ? Status::kFailed : Status::kOk;
}

Encoded PosixPlatform::EncodeAnsiInto(std::string_view utf8, char* out) const {
  if (to_932_ == kNoConverter) {
    to_932_ = ::iconv_open("CP932", "UTF-8");
    from_932_ = ::iconv_open("UTF-8", "CP932");
  }
  if (to_932_ == kNoConverter || from_932_ == kNoConverter) {
    // Without the library's table only ASCII is certain.
    std::size_t ascii = 0;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    std::memmove(out, utf8.data(), ascii);
    return {ascii, ascii};
  }
  if (utf8.size() < table_from_ && table_.empty()) {
    // A piece is taken only when it reads back as it was: the library also
    // writes some characters as look-alikes (U+00A5 as "\\", U+301C as
    // U+FF5E's code) or as nothing (the tag characters), which Windows
    // refuses.
    std::string back;
    return TakeInPieces(utf8, out, [&](std::string_view piece, std::string& scratch) {
      if (!ConvertWhole(to_932_, piece, scratch) || !ConvertWhole(from_932_, scratch, back) ||
          back != piece) {
        scratch.clear();
        return false;
      }
      return true;
    });
  }
  if (table_.empty()) table_ = EncodeTable932(to_932_, from_932_);
  char* const start = out;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[at]);
    if (byte < 0x80) {
      *out++ = static_cast<char>(byte);
      ++at;
      continue;
    }
    const Utf8Character c = Utf8At(utf8, at);
    const std::uint16_t code = c.well_formed && c.code_point <= 0xFFFF ? table_[c.code_point] : 0;
    if (code == 0) break;
    if (code > 0xFF) *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
    at += c.size;
  }
  return {at, static_cast<std::size_t>(out - start)};
}

LocalDate PosixPlatform::Today() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

Status PosixPlatform::CurrentFolder(std::string* path, std::string* reason) const {
  std::string folder(256, '\0');
  while (::getcwd(folder.data(), folder.size()) == nullptr) {
    if (errno != ERANGE) return Failed(reason, errno);
    folder.resize(folder.size() * 2);
  }
  folder.resize(std::strlen(folder.c_str()));
  *path = std::move(folder);
  return Status::kOk;
}

FileKind PosixPlatform::KindOf(const std::string& path) const {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return FileKind::kMissing;
  if (S_ISREG(info.st_mode)) return FileKind::kFile;
  return S_ISDIR(info.st_mode) ? FileKind::kFolder : FileKind::kOther;
}

Status PosixPlatform::CreateFolder(const std::string& path, std::string* reason) {
  if (::mkdir(path.c_str(), 0777) == 0) return Status::kOk;
  // Kept before KindOf can overwrite it: "file/" is no folder to stat.
  const int error = errno;
  if (error == EEXIST && KindOf(path) == FileKind::kFolder) return Status::kOk;
  return Failed(reason, error);
}

Status PosixPlatform::RemoveFolder(const std::string& path, std::string* reason) {
  if (::rmdir(path.c_str()) == 0) return Status::kOk;
  return Failed(reason, errno);
}

Status PosixPlatform::ReadFile(const std::string& path, std::string* bytes, std::string* reason,
                               Links links) {
  return ReadPath(path, bytes, reason, links);
}

Status PosixPlatform::NameInFolder(const std::string& folder, const std::string& name,
                                   std::string* found, std::string* reason) {
  std::vector<std::string> names;
  // A folder that cannot be listed holds nothing to be matched.
  if (!ListEntries(folder, names)) {
    *found = name;
    return Status::kOk;
  }
  return WineNameIn(names, name, *found, reason, CaseTwins::kRefused) ? Status::kOk
                                                                      : Status::kFailed;
}

namespace {

// Makes a new file holding `bytes`, with the permission bits `mode` when
// given: set on the open file, so that no name swapped in meanwhile gets them.
Status WriteNew(const std::string& path, std::string_view bytes, std::optional<mode_t> mode,
                std::string* reason) {
  FileDescriptor file(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (file.get() < 0)
    return Failed(reason, errno, errno == EEXIST ? Status::kTaken : Status::kFailed);
  if ((!mode || ::fchmod(file.get(), *mode) == 0) && WriteAll(file.get(), bytes) &&
      ::fsync(file.get()) == 0 && file.Close()) {
    return Status::kOk;
  }
  const int error = errno;
  file.Close();
  ::unlink(path.c_str());
  return Failed(reason, error);
}

// A file the user made read-only is theirs to keep: rename would replace
// it all the same, for root too.
bool MayReplace(const struct stat& info) {
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// A flushed copy of the regular file `from` as the new file `to`.
Status CopyNew(const std::string& from, const std::string& to, std::string* reason) {
  FileDescriptor source(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat info;
  if (source.get() < 0 || ::fstat(source.get(), &info) != 0) return Failed(reason, errno);
  if (!S_ISREG(info.st_mode)) {
    *reason = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : kNotRegular;
    return Status::kFailed;
  }
  FileDescriptor copy(
      ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (copy.get() < 0)
    return Failed(reason, errno, errno == EEXIST ? Status::kTaken : Status::kFailed);
  std::vector<char> buffer(std::size_t{1} << 20);
  std::int64_t n = 0;
  while ((n = ReadSome(source.get(), buffer.data(), buffer.size())) > 0 &&
         WriteAll(copy.get(), std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
  }
  if (n == 0 && ::fchmod(copy.get(), info.st_mode & 0777) == 0 && ::fsync(copy.get()) == 0 &&
      copy.Close()) {
    return Status::kOk;
  }
  const int error = errno;
  copy.Close();
  ::unlink(to.c_str());
  return Failed(reason, error);
}

}  // namespace

Status PosixPlatform::WriteNewFile(const std::string& path, std::string_view bytes,
                                   std::string* reason) {
  return WriteNew(path, bytes, std::nullopt, reason);
}

Status PosixPlatform::WriteReplacement(const std::string& path, std::string_view bytes,
                                       const std::string& replacing, std::string* reason) {
  struct stat info;
  const bool regular = ::lstat(replacing.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  return WriteNew(path, bytes, regular ? std::optional<mode_t>(info.st_mode & 0777) : std::nullopt,
                  reason);
}

Status PosixPlatform::KeepAside(const std::string& path, const std::string& aside,
                                std::string* reason) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) {
    return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
  }
  if (!MayReplace(info)) return Failed(reason, EACCES);
  // Not through a link: the link itself is what gets put back.
  if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), 0) == 0) return Status::kOk;
  if (errno == EEXIST) return Failed(reason, errno, Status::kTaken);
  return CopyNew(path, aside, reason);
}

Status PosixPlatform::RenameReplacing(const std::string& from, const std::string& to,
                                      std::string* reason) {
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0 && !MayReplace(info)) return Failed(reason, EACCES);
  if (::rename(from.c_str(), to.c_str()) != 0) return Failed(reason, errno);
  return Status::kOk;
}

Status PosixPlatform::SyncFolderOf(const std::string& path, std::string* reason) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  FileDescriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (handle.get() < 0) return Failed(reason, errno);
  // Some file systems keep no folder of their own to flush.
  if (::fsync(handle.get()) != 0 && errno != EINVAL) return Failed(reason, errno);
  return Status::kOk;
}

Status PosixPlatform::RemoveFile(const std::string& path, std::string* reason) {
  if (::unlink(path.c_str()) == 0) return Status::kOk;
  return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
}

Status PosixPlatform::LockFile(const std::string& path, std::string* reason) {
  // Never written: a file put there in wait for us loses nothing.
  FileDescriptor file(
      ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
  struct stat info;
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0) return Failed(reason, errno);
  if (!S_ISREG(info.st_mode)) {
    *reason = kNotRegular;
    return Status::kFailed;
  }
  int locked;
  do {
    locked = ::flock(file.get(), LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) return Failed(reason, errno);
  locks_[path] = file.Release();
  return Status::kOk;
}

void PosixPlatform::UnlockFile(const std::string& path) {
  const auto lock = locks_.find(path);
  if (lock == locks_.end()) return;
  ::close(lock->second);
  locks_.erase(lock);
}

std::uint64_t PosixPlatform::RandomNumber() {
  std::uint64_t number = 0;
  if (::getrandom(&number, sizeof number, 0) == static_cast<ssize_t>(sizeof number)) return number;
  // Without the kernel's randomness a name is only harder to guess; files
  // are still made only where none stands.
  return static_cast<std::uint64_t>(std::time(nullptr)) * 0x9E3779B97F4A7C15u ^
         static_cast<std::uint64_t>(::getpid()) ^ ++fallback_counter_;
}

}  // namespace brellam
