#include "platform/platform-posix.h"

#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
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
#include <utility>

#include "platform/settings_ini.h"
#include "platform/whole_file.h"
#include "platform/wine_registry.h"

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

Status ReadPath(const std::string& path, std::string* bytes, std::string* reason) {
  // Only a regular file is read: a device may never end, and a pipe whose
  // writer never closes blocks forever. Asked again of what was opened, in
  // case the name changed hands in between.
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    return Failed(reason, errno, errno == ENOENT ? Status::kMissing : Status::kFailed);
  }
  FileDescriptor file(
      S_ISREG(info.st_mode) ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1);
  if (file.get() >= 0 && ::fstat(file.get(), &info) != 0) return Failed(reason, errno);
  if (!S_ISREG(info.st_mode)) {
    *reason = "not a regular file";
    return Status::kFailed;
  }
  if (file.get() < 0) return Failed(reason, errno);
  ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
  const int fd = file.get();
  errno = 0;
  const std::int64_t count = ReadWholeFile(
      static_cast<std::uint64_t>(info.st_size),
      [fd](char* into, std::size_t n) { return ReadSome(fd, into, n); }, *bytes, PrepareReadBuffer);
  if (count < 0) {
    *reason = errno != 0 ? std::strerror(errno) : "too large to hold in memory";
    return Status::kFailed;
  }
  if (count == 0) bytes->clear();
  return Status::kOk;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr std::size_t kFailed = static_cast<std::size_t>(-1);

// Where the first character that the C library's code page 932 table maps
// one way only stands: each comes back from the bytes it is given as a
// different character (U+00A5 as a backslash, U+301C as U+FF5E, ...), or, for the
// tag characters, as nothing. Windows refuses all of them.
std::size_t FirstOneWayCharacter(std::string_view utf8) {
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    const std::string_view rest = utf8.substr(at);
    switch (static_cast<unsigned char>(utf8[at])) {
      case 0xC2:
        if (rest.size() >= 2 &&
            std::string_view("\xA2\xA3\xA5\xAC").find(rest[1]) != std::string_view::npos) {
          return at;
        }
        break;
      case 0xE2:
        for (std::string_view one_way :
             {"\xE2\x80\x94", "\xE2\x80\x96", "\xE2\x80\xBE", "\xE2\x88\x92"}) {
          if (rest.starts_with(one_way)) return at;
        }
        break;
      case 0xE3:
        if (rest.starts_with("\xE3\x80\x9C")) return at;
        break;
      case 0xF3:  // U+E0000-U+E007F
        if (rest.starts_with("\xF3\xA0\x80") || rest.starts_with("\xF3\xA0\x81")) return at;
        break;
      default:
        break;
    }
  }
  return std::string_view::npos;
}

// The host runs under Wine and keeps its settings where it would on
// Windows, in the prefix's registry; the one it keeps is the path of its
// program, which only means something here as a Unix path.
std::string ReadWineSetting(std::string_view application, std::string_view section,
                            std::string_view key) {
  const std::string prefix = WinePrefixFolder(std::getenv("WINEPREFIX"), std::getenv("HOME"));
  std::string text;
  std::string reason;
  if (prefix.empty() || ReadPath(prefix + "/user.reg", &text, &reason) != Status::kOk) return {};
  std::string registry_key = "Software\\VB and VBA Program Settings\\";
  registry_key.append(application).append("\\").append(section);
  return UnixPathInPrefix(prefix, ReadWineRegistryString(text, registry_key, key));
}

}  // namespace

PosixPlatform::PosixPlatform(int argc, const char* const* argv)
    : arguments_(argv + (argc > 0 ? 1 : 0), argv + argc) {}

PosixPlatform::~PosixPlatform() {
  if (to_932_ != kNoConverter) ::iconv_close(to_932_);
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
}

Status PosixPlatform::ReadSetting(std::string_view application, std::string_view section,
                                  std::string_view key, std::string* value,
                                  std::string* reason) const {
  const std::string path =
      SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), application);
  std::string text;
  std::string found;
  if (!path.empty() && ReadPath(path, &text, reason) == Status::kOk) {
    found = ReadIniValue(text, section, key);
  }
  if (found.empty()) found = ReadWineSetting(application, section, key);
  if (found.empty()) return Status::kMissing;
  // The file system would read such a path only up to the NUL: a different
  // folder from the one stored.
  if (found.find('\0') != std::string::npos) {
    *reason = "the stored path holds a NUL";
    return Status::kFailed;
  }
  *value = std::move(found);
  return Status::kOk;
}

std::size_t PosixPlatform::EncodeAnsi(std::string_view utf8, std::string& ansi) const {
  const std::size_t limit = std::min(utf8.size(), FirstOneWayCharacter(utf8));
  if (to_932_ == kNoConverter) to_932_ = ::iconv_open("CP932", "UTF-8");
  if (to_932_ == kNoConverter) {
    // Without the table only ASCII is certain.
    std::size_t ascii = 0;
    while (ascii < limit && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    ansi.append(utf8.substr(0, ascii));
    return ascii;
  }
  ::iconv(to_932_, nullptr, nullptr, nullptr, nullptr);
  // No character takes more bytes in code page 932 than in UTF-8, so each
  // piece's room is its own size; pieces keep that room small.
  constexpr std::size_t kPiece = 1 << 16;
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = limit;
  while (in_left > 0) {
    const std::size_t piece = std::min(in_left, kPiece);
    std::size_t piece_left = piece;
    const std::size_t old_size = ansi.size();
    ansi.resize(old_size + piece);
    char* out = ansi.data() + old_size;
    std::size_t room = piece;
    const std::size_t result = ::iconv(to_932_, &in, &piece_left, &out, &room);
    const int error = errno;
    ansi.resize(static_cast<std::size_t>(out - ansi.data()));
    in_left -= piece - piece_left;
    // A character cut by the end of a piece goes on in the next one; any
    // other stop is a character the code page lacks, or no UTF-8.
    if (result == kFailed && !(error == EINVAL && piece < in_left + (piece - piece_left))) break;
  }
  return limit - in_left;
}

LocalDate PosixPlatform::Today() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
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

Status PosixPlatform::ReadFile(const std::string& path, std::string* bytes, std::string* reason) {
  return ReadPath(path, bytes, reason);
}

Status PosixPlatform::WriteNewFile(const std::string& path, std::string_view bytes,
                                   std::string* reason) {
  FileDescriptor file(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (file.get() < 0)
    return Failed(reason, errno, errno == EEXIST ? Status::kTaken : Status::kFailed);
  if (WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.Close()) return Status::kOk;
  const int error = errno;
  file.Close();
  ::unlink(path.c_str());
  return Failed(reason, error);
}

Status PosixPlatform::RenameReplacing(const std::string& from, const std::string& to,
                                      std::string* reason) {
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0) {
    // A read-only file is the user's way of keeping it: rename would replace
    // it all the same, for root too.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return Failed(reason, EACCES);
    if (S_ISREG(info.st_mode) && ::chmod(from.c_str(), info.st_mode & 0777) != 0) {
      return Failed(reason, errno);
    }
  }
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

std::uint64_t PosixPlatform::RandomNumber() {
  std::uint64_t number = 0;
  if (::getrandom(&number, sizeof number, 0) == static_cast<ssize_t>(sizeof number)) return number;
  // Without the kernel's randomness a name is only harder to guess; files
  // are still made only where none stands.
  return static_cast<std::uint64_t>(std::time(nullptr)) * 0x9E3779B97F4A7C15u ^
         static_cast<std::uint64_t>(::getpid()) ^ ++fallback_counter_;
}

}  // namespace brellam
