#include "platform/platform-posix.h"

#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "helpers/whole_file.h"
#include "platform/settings_ini.h"
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

std::int64_t ReadPath(const std::string& path, std::string& bytes) {
  // Without O_NONBLOCK a pipe with no writer would hold the open forever;
  // reads block again, so a writer that is there is read to its end.
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() >= 0) ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
  struct stat info;
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0) return -1;
  const auto size = static_cast<std::uint64_t>(S_ISREG(info.st_mode) ? info.st_size : 0);
  const int fd = file.get();
  return ReadWholeFile(
      size, [fd](char* into, std::size_t n) { return ReadSome(fd, into, n); }, bytes,
      PrepareReadBuffer);
}

// The host runs under Wine and keeps its settings where it would on
// Windows, in the prefix's registry; the one it keeps is the path of its
// program, which only means something here as a Unix path.
std::string ReadWineSetting(std::string_view application, std::string_view section,
                            std::string_view key) {
  const std::string prefix = WinePrefixFolder(std::getenv("WINEPREFIX"), std::getenv("HOME"));
  std::string text;
  if (prefix.empty() || ReadPath(prefix + "/user.reg", text) <= 0) return {};
  std::string registry_key = "Software\\VB and VBA Program Settings\\";
  registry_key.append(application).append("\\").append(section);
  return UnixPathInPrefix(prefix, ReadWineRegistryString(text, registry_key, key));
}

// One character of UTF-8 (or one stray byte) that the code page lacks.
std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

PosixPlatform::PosixPlatform(int argc, const char* const* argv)
    : arguments_(argv + (argc > 0 ? 1 : 0), argv + argc) {}

std::string PosixPlatform::ArgumentText() const {
  std::string text;
  for (const std::string& argument : arguments_) {
    if (&argument != &arguments_.front()) text.push_back(' ');
    text += argument;
  }
  return text;
}

void PosixPlatform::ShowMessage(const Message& message) {
  std::FILE* stream = message.success ? stdout : stderr;
  std::fprintf(stream, "%s: %s\n", std::string(kProgramName).c_str(), message.prompt.c_str());
  std::fflush(stream);
}

std::string PosixPlatform::ReadSetting(std::string_view application, std::string_view section,
                                       std::string_view key) const {
  const std::string path =
      SettingsFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), application);
  std::string text;
  std::string value;
  if (!path.empty() && ReadPath(path, text) > 0) value = ReadIniValue(text, section, key);
  if (value.empty()) value = ReadWineSetting(application, section, key);
  // The file system would read such a path only up to the NUL: a different
  // folder from the one stored.
  if (value.find('\0') != std::string::npos) return {};
  return value;
}

std::string PosixPlatform::ToAnsi(std::string_view text) const {
  std::string out;
  iconv_t to_932 = ::iconv_open("CP932", "UTF-8");
  if (to_932 == reinterpret_cast<iconv_t>(-1)) {
    for (char c : text) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    return out;
  }
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  while (in_left > 0) {
    char buffer[256];
    char* into = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = ::iconv(to_932, &in, &in_left, &into, &room);
    out.append(buffer, static_cast<std::size_t>(into - buffer));
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A character the code page lacks, or a byte that is no UTF-8.
      const std::size_t skip =
          std::min(in_left, Utf8SequenceLength(static_cast<unsigned char>(*in)));
      out.push_back('?');
      in += skip;
      in_left -= skip;
    }
  }
  ::iconv_close(to_932);
  return out;
}

LocalDate PosixPlatform::Today() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::uint64_t PosixPlatform::ProcessId() const { return static_cast<std::uint64_t>(::getpid()); }

bool PosixPlatform::IsFolder(const std::string& path) const {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string PosixPlatform::CreateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return {};
  // Kept before IsFolder can overwrite it: "file/" is no folder to stat.
  const int error = errno;
  if (error == EEXIST && IsFolder(path)) return {};
  return std::strerror(error);
}

std::int64_t PosixPlatform::ReadFileBytes(const std::string& path, std::string& bytes) {
  return ReadPath(path, bytes);
}

bool PosixPlatform::WriteFile(const std::string& path, std::string_view bytes) {
  FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.get() < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(file.get(), bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return file.Close();
}

bool PosixPlatform::RenameReplacing(const std::string& from, const std::string& to) {
  // A read-only file is the user's way of keeping it: rename would replace
  // it all the same, for root too.
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

void PosixPlatform::RemoveFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace brellam
