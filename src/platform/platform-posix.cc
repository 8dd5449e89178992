#include "platform/platform-posix.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
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
#include <memory>
#include <utility>
#include <vector>

#include "platform/code_page_932-posix.h"
#include "platform/desktop_dialog.h"
#include "platform/host_lookup-posix.h"
#include "platform/whole_file.h"
#include "text/file_name_case.h"
#include "text/path_grammar.h"

namespace brellam {

namespace {

// Closes the descriptor when the call that opened it returns.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
    return *this;
  }
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

Status Failed(std::string* reason, int error, Status status = Status::kFailed) {
  *reason = std::strerror(error);
  return status;
}

// Opens the regular file at `path` to read: only a regular file, since a
// device may never end, and a pipe whose writer never closes blocks
// forever. Asked again of what was opened, in case the name changed hands
// in between. Some files that say they are regular wait for data all the
// same (under /proc and /sys): the file stays non-blocking, and a read
// that would wait fails.
Status OpenRegular(const std::string& path, Links links, FileDescriptor& file, struct stat& info,
                   std::string* reason) {
  const bool refuse_links = links == Links::kRefuse;
  if ((refuse_links ? ::lstat(path.c_str(), &info) : ::stat(path.c_str(), &info)) != 0) {
    return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
  }
  if (S_ISLNK(info.st_mode)) return Failed(reason, ELOOP, Status::kNotFile);
  file = FileDescriptor(S_ISREG(info.st_mode)
                            ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK |
                                                       (refuse_links ? O_NOFOLLOW : 0))
                            : -1);
  if (file.get() >= 0 && ::fstat(file.get(), &info) != 0) return Failed(reason, errno);
  if (!S_ISREG(info.st_mode)) return Answer(Status::kNotFile, reason);
  // A link put in the file's place since.
  if (file.get() < 0)
    return Failed(reason, errno, errno == ELOOP ? Status::kNotFile : Status::kFailed);
  return Status::kOk;
}

Status ReadPath(const std::string& path, std::string* bytes, std::string* reason,
                Links links = Links::kFollow) {
  FileDescriptor file(-1);
  struct stat info;
  const Status opened = OpenRegular(path, links, file, info, reason);
  if (opened != Status::kOk) return opened;
  const int fd = file.get();
  errno = 0;
  const std::int64_t count = ReadWholeFile(
      static_cast<std::uint64_t>(info.st_size),
      [fd](char* into, std::size_t n) { return ReadSome(fd, into, n); }, *bytes, PrepareReadBuffer);
  if (count < 0) return errno != 0 ? Failed(reason, errno) : Answer(Status::kTooLarge, reason);
  if (count == 0) bytes->clear();
  return Status::kOk;
}

FileIdentity IdentityOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

class PosixReader : public FileReader {
 public:
  explicit PosixReader(FileDescriptor& file) : fd_(file.Release()) {}
  PosixReader(const PosixReader&) = delete;
  PosixReader& operator=(const PosixReader&) = delete;
  ~PosixReader() override { ::close(fd_); }

  Status Read(char* into, std::size_t size, std::size_t* got, std::string* reason) override {
    const std::int64_t n = ReadSome(fd_, into, size);
    if (n < 0) return Failed(reason, errno);
    *got = static_cast<std::size_t>(n);
    return Status::kOk;
  }
  Status Seek(std::uint64_t offset, std::string* reason) override {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) return Failed(reason, errno);
    return Status::kOk;
  }
  FileIdentity Identity() const override {
    struct stat info {};
    ::fstat(fd_, &info);
    return IdentityOf(info);
  }

 private:
  int fd_;
};

// All of `bytes`, in pieces of at most 1 MiB: no one call holds more of
// a large page in flight.
bool WriteAll(int fd, std::string_view bytes) {
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), std::min(bytes.size(), kPiece));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
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

}  // namespace

PosixPlatform::PosixPlatform(int argc, const char* const* argv, std::size_t table_from,
                             std::chrono::milliseconds lock_wait)
    : arguments_(argv + (argc > 0 ? 1 : 0), argv + argc),
      encoder_(table_from),
      lock_wait_(lock_wait) {}

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
  const ReadSettingsFile read = [](const std::string& path, std::string* bytes, std::string* why) {
    return ReadPath(path, bytes, why);
  };
  return ReadHostSetting(application, section, key, read, value, &setting_from_wine_,
                         &setting_source_, reason);
}

Status PosixPlatform::SettingPathHere(const std::string& path, std::string* here,
                                      std::string* reason) const {
  if (!setting_from_wine_) {
    *here = path;
    return Status::kOk;
  }
  // The host's path only means something here as the Unix path Wine
  // reaches it through.
  return UnixPathInPrefix(WinePrefix(), path, ListEntries, here, reason);
}

Encoded PosixPlatform::EncodeAnsiInto(std::string_view utf8, char* out) const {
  return encoder_.Encode(utf8, out);
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
                                                                      : Status::kCaseTwins;
}

Status PosixPlatform::OpenForReading(const std::string& path, Links links,
                                     std::unique_ptr<FileReader>* file, std::string* reason) {
  FileDescriptor opened(-1);
  struct stat info;
  const Status status = OpenRegular(path, links, opened, info, reason);
  if (status == Status::kOk) *file = std::make_unique<PosixReader>(opened);
  return status;
}

Status PosixPlatform::ListFolder(const std::string& folder, std::vector<std::string>* names,
                                 std::string* reason) {
  names->clear();
  return ListEntries(folder, *names) ? Status::kOk : Failed(reason, errno);
}

Status PosixPlatform::RemoveFolder(const std::string& path, std::string* reason) {
  return ::rmdir(path.c_str()) == 0 ? Status::kOk : Failed(reason, errno);
}

namespace {

// A file the user made read-only is theirs to keep: rename would replace
// it all the same, for root too.
bool MayReplace(const struct stat& info) {
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

class PosixWriter : public FileWriter {
 public:
  PosixWriter(FileDescriptor& file, std::string path)
      : fd_(file.Release()), path_(std::move(path)) {}
  PosixWriter(const PosixWriter&) = delete;
  PosixWriter& operator=(const PosixWriter&) = delete;
  ~PosixWriter() override {
    if (fd_ < 0) return;
    ::close(fd_);
    ::unlink(path_.c_str());
  }

  // Has the system start putting each 8 MiB on the disk at once, while
  // the next is written: the flush at the end then waits for less. Only a
  // hint where the system has no such call.
  Status Write(std::string_view bytes, std::string* reason) override {
    if (!WriteAll(fd_, bytes)) return Failed(reason, errno);
    written_ += static_cast<off_t>(bytes.size());
#ifdef SYNC_FILE_RANGE_WRITE
    constexpr off_t kStarted = off_t{8} << 20;
    if (written_ - started_ >= kStarted) {
      ::sync_file_range(fd_, started_, written_ - started_, SYNC_FILE_RANGE_WRITE);
      started_ = written_;
    }
#endif
    return Status::kOk;
  }
  Status Finish(const FileIdentity* dated_like, std::string* reason) override {
    if (dated_like != nullptr) {
      const timespec times[2] = {{0, UTIME_OMIT},
                                 {static_cast<time_t>(dated_like->modified / 1000000000),
                                  static_cast<long>(dated_like->modified % 1000000000)}};
      if (::futimens(fd_, times) != 0) return Failed(reason, errno);
    }
    if (::fsync(fd_) != 0) return Failed(reason, errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) == 0) return Status::kOk;
    const int error = errno;
    ::unlink(path_.c_str());
    return Failed(reason, error);
  }

 private:
  int fd_;
  std::string path_;
  off_t written_ = 0;
  off_t started_ = 0;  // what the system was asked to put on the disk
};

class PosixLock : public HeldLock {
 public:
  PosixLock(FileDescriptor& folder, FileDescriptor& file, std::string_view name)
      : folder_(folder.Release()), file_(file.Release()), name_(name) {}
  Status RemoveLockFile(std::string* reason) override {
    const Status status =
        ::unlinkat(folder_.get(), name_.c_str(), 0) == 0 ? Status::kOk : Failed(reason, errno);
    ::close(file_.Release());
    return status;
  }

 private:
  FileDescriptor folder_;
  FileDescriptor file_;
  std::string name_;
};

class PosixSignals : public HeldSignals {
 public:
  PosixSignals() {
    sigset_t held;
    ::sigemptyset(&held);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::sigaddset(&held, signal);
    ::sigprocmask(SIG_BLOCK, &held, &before_);
  }
  PosixSignals(const PosixSignals&) = delete;
  PosixSignals& operator=(const PosixSignals&) = delete;
  ~PosixSignals() override { ::sigprocmask(SIG_SETMASK, &before_, nullptr); }

 private:
  sigset_t before_;
};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

Status PosixPlatform::CreateNewFile(const std::string& path, const std::string* bits_of,
                                    std::unique_ptr<FileWriter>* file, std::string* reason) {
  FileDescriptor created(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (created.get() < 0)
    return Failed(reason, errno, errno == EEXIST ? Status::kTaken : Status::kFailed);
  // Set on the open file, so that no name swapped in meanwhile gets them.
  struct stat info;
  if (bits_of != nullptr && ::lstat(bits_of->c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
      ::fchmod(created.get(), info.st_mode & 0777) != 0) {
    const int error = errno;
    ::unlink(path.c_str());
    return Failed(reason, error);
  }
  *file = std::make_unique<PosixWriter>(created, path);
  return Status::kOk;
}

Status PosixPlatform::KeepAside(const std::string& path, const std::string& aside,
                                std::string* reason) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) {
    return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
  }
  if (!MayReplace(info)) return Failed(reason, EACCES);
  if (S_ISDIR(info.st_mode)) return Failed(reason, EISDIR);
  // Not through a link: the link itself is what gets put back.
  if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), 0) == 0) return Status::kOk;
  const int error = errno;
  if (error == EEXIST) return Failed(reason, error, Status::kTaken);
  // File systems without links, or a link count that is full.
  const bool no_links =
      error == EPERM || error == EMLINK || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV;
  return Failed(reason, error, no_links ? Status::kNoLinks : Status::kFailed);
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

Status PosixPlatform::LockFile(const std::string& folder, std::string_view name, LockMode mode,
                               Links folder_links, std::unique_ptr<HeldLock>* lock,
                               std::string* reason) {
  // The folder is opened first, never through a link at its end when
  // refused: the lock file is then opened in it, and nothing is made
  // through a link.
  const std::string folder_path(folder.empty() ? "." : WithoutTrailingSeparators(folder, Paths()));
  const bool refuse = folder_links == Links::kRefuse;
  FileDescriptor dir(
      ::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (refuse ? O_NOFOLLOW : 0)));
  struct stat info;
  if (dir.get() < 0) {
    const int error = errno;
    if (error == ENOENT) return Failed(reason, error, Status::kMissing);
    if (refuse && ::lstat(folder_path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
      return Answer(Status::kLinked, reason);
    }
    return Failed(reason, error);
  }
  // Never written: a file put there in wait for us loses nothing.
  const bool exclusive = mode == LockMode::kExclusive;
  const std::string lock_name(name);
  FileDescriptor file(
      ::openat(dir.get(), lock_name.c_str(),
               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (exclusive ? O_CREAT : 0), 0666));
  if (file.get() < 0) {
    return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
  }
  if (::fstat(file.get(), &info) != 0) return Failed(reason, errno);
  if (!S_ISREG(info.st_mode)) return Answer(Status::kNotFile, reason);
  // Asked again and again rather than waited on, so that the wait ends.
  const auto deadline = std::chrono::steady_clock::now() + lock_wait_;
  while (::flock(file.get(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return Failed(reason, errno);
    if (std::chrono::steady_clock::now() >= deadline) return Answer(Status::kBusy, reason);
    ::usleep(10000);
  }
  // A run that held it may have removed it, or its folder, meanwhile; or
  // the folder became a link since it was opened.
  struct stat named;
  if (::fstatat(dir.get(), lock_name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
      !SameFile(named, info)) {
    return Answer(Status::kMissing, reason);
  }
  if (refuse && (::fstat(dir.get(), &info) != 0 || ::lstat(folder_path.c_str(), &named) != 0 ||
                 !SameFile(info, named))) {
    return Answer(Status::kLinked, reason);
  }
  *lock = std::make_unique<PosixLock>(dir, file, name);
  return Status::kOk;
}

std::unique_ptr<HeldSignals> PosixPlatform::HoldSignals() {
  return std::make_unique<PosixSignals>();
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
