// Loaded into the real program with LD_PRELOAD: writes each flush, rename,
// link and removal it makes, in order, to the file named by
// BRELLAM_SYNC_LOG, then lets the C library do it. A flush is written with
// the path its descriptor has at that moment. With BRELLAM_KILL_AT=N, the
// program is killed just before its Nth rename, link or removal.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Record(const std::string& line) {
  static int changes = 0;
  const char* kill_at = std::getenv("BRELLAM_KILL_AT");
  if (kill_at != nullptr && line.rfind("fsync", 0) != 0 && ++changes == std::atoi(kill_at)) {
    ::kill(::getpid(), SIGKILL);
  }
  const char* log = std::getenv("BRELLAM_SYNC_LOG");
  if (log == nullptr) return;
  const int fd = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string text = line + "\n";
  if (::write(fd, text.data(), text.size()) < 0) std::abort();
  ::close(fd);
}

std::string PathOf(int fd) {
  char path[4096];
  const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : "?";
}

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int fsync(int fd) {
  Record("fsync " + PathOf(fd));
  return Next<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd) {
  Record("fsync " + PathOf(fd));
  return Next<int (*)(int)>("fdatasync")(fd);
}

int rename(const char* from, const char* to) {
  Record(std::string("rename ") + from + " " + to);
  return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

int linkat(int from_folder, const char* from, int to_folder, const char* to, int flags) {
  Record(std::string("link ") + from + " " + to);
  return Next<int (*)(int, const char*, int, const char*, int)>("linkat")(from_folder, from,
                                                                          to_folder, to, flags);
}

int unlink(const char* path) {
  Record(std::string("unlink ") + path);
  return Next<int (*)(const char*)>("unlink")(path);
}

}  // extern "C"
