#include "platform/platform-posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "code_page_932_cases.h"
#include "test_support.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class PosixPlatformTest : public testing::Test {
 protected:
  std::string Path(const char* name) const { return (dir / name).string(); }

  // What reading answers, and the bytes that it leaves.
  std::pair<Status, std::string> Read(const std::string& path, Links links = Links::kFollow) {
    std::string bytes = "before";
    return {platform.ReadFile(path, &bytes, &reason, links), bytes};
  }

  // A new file of `bytes`, as the set replacement writes one.
  Status Put(const std::string& path, std::string_view bytes, const std::string* bits_of = nullptr,
             const FileIdentity* dated_like = nullptr) {
    std::unique_ptr<FileWriter> file;
    Status status = platform.CreateNewFile(path, bits_of, &file, &reason);
    if (status == Status::kOk) status = file->Write(bytes, &reason);
    return status == Status::kOk ? file->Finish(dated_like, &reason) : status;
  }

  // Sets an environment variable until the test ends.
  void SetVariable(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    restore.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name, value.c_str(), 1);
  }
  void TearDown() override {
    for (const auto& [name, value] : restore) {
      value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
  }

  const TemporaryFolder temporary{"posix"};
  const fs::path& dir = temporary.path();
  PosixPlatform platform{0, nullptr};
  std::string reason;
  std::vector<std::pair<const char*, std::optional<std::string>>> restore;
};

TEST(PosixArgumentsTest, AsGivenAndJoinedWithSingleBlanks) {
  const char* none[] = {"brellam"};
  const char* two[] = {"brellam", "/a b/x.txt", "\"y.txt"};
  EXPECT_EQ(PosixPlatform(1, none).ReadCommandLine().text, "");
  EXPECT_TRUE(PosixPlatform(1, none).ReadCommandLine().arguments.empty());
  EXPECT_EQ(PosixPlatform(3, two).ReadCommandLine().text, "/a b/x.txt \"y.txt");
  EXPECT_EQ(PosixPlatform(3, two).ReadCommandLine().arguments,
            (std::vector<std::string>{"/a b/x.txt", "\"y.txt"}));
}

// Through the C library piece by piece, and through the table made from it.
TEST(PosixCodePageTest, EncodesWhatCodePage932HoldsAsItself) {
  const iconv_t back = ::iconv_open("UTF-8", "CP932");
  ASSERT_NE(back, reinterpret_cast<iconv_t>(-1));
  for (const std::size_t table_from : {std::size_t{64} << 10, std::size_t{0}}) {
    SCOPED_TRACE(table_from);
    const PosixPlatform platform(0, nullptr, table_from);
    ExpectEncodesAsCodePage932(platform);
    ExpectNoLookAlikes(
        platform,
        [&](const std::string& ansi) {
          char utf8[8];
          char* in = const_cast<char*>(ansi.data());
          char* out = utf8;
          std::size_t in_left = ansi.size();
          std::size_t room = sizeof utf8;
          ::iconv(back, &in, &in_left, &out, &room);
          return std::string(utf8, static_cast<std::size_t>(out - utf8));
        },
        5);  // the C library lacks the single bytes 0x80, 0xA0 and 0xFD-0xFF
  }
  ::iconv_close(back);
}

TEST_F(PosixPlatformTest, ReadsWholeRegularFilesAndRefusesTheRest) {
  Spit(dir / "a.txt", std::string("x\0y\r\n", 5));
  Spit(dir / "empty.txt", "");
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "Header.htm\r\n", 12), 12);
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  const std::pair<std::string, std::pair<Status, std::string>> cases[] = {
      {Path("a.txt"), {Status::kOk, std::string("x\0y\r\n", 5)}},
      {Path("empty.txt"), {Status::kOk, ""}},
      {Path("missing"), {Status::kMissing, "before"}},
      {dir.string(), {Status::kNotFile, "before"}},
      {"/dev/fd/" + std::to_string(fds[0]), {Status::kNotFile, "before"}},
      {Path("fifo"), {Status::kNotFile, "before"}},
      {"/dev/zero", {Status::kNotFile, "before"}},
      {"/dev/null", {Status::kNotFile, "before"}},
  };
  for (const auto& [path, outcome] : cases) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Read(path), outcome);
  }
  // Where links are refused, only the name's own regular file is read.
  fs::create_symlink(dir / "a.txt", dir / "link");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  EXPECT_EQ(Read(Path("link")).first, Status::kOk);
  EXPECT_EQ(Read(Path("a.txt"), Links::kRefuse).first, Status::kOk);
  for (const char* name : {"link", "dangling", "fifo"}) {
    EXPECT_EQ(Read(Path(name), Links::kRefuse), std::pair(Status::kNotFile, "before"s)) << name;
  }
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST_F(PosixPlatformTest, FoldersAreMadeOnceAndFailuresGiveTheReason) {
  EXPECT_EQ(platform.KindOf(Path("sub")), FileKind::kMissing);
  EXPECT_EQ(platform.CreateFolder(Path("sub") + "/", &reason), Status::kOk);
  EXPECT_EQ(platform.KindOf(Path("sub") + "/"), FileKind::kFolder);
  EXPECT_EQ(platform.CreateFolder(Path("sub"), &reason), Status::kOk);  // made meanwhile: fine
  Spit(dir / "file", "x");
  EXPECT_EQ(platform.KindOf(Path("file")), FileKind::kFile);
  EXPECT_EQ(platform.KindOf("/dev/null"), FileKind::kOther);
  for (const auto& [path, why] :
       {std::pair{Path("file"), "File exists"},
        std::pair{Path("file") + "/", "File exists"},  // as MakeFolders asks
        std::pair{Path("no/such"), "No such file or directory"}}) {
    EXPECT_EQ(platform.CreateFolder(path, &reason), Status::kFailed);
    EXPECT_EQ(reason, why);
  }
  // Found in another letter case, as the host under Wine finds it; beside
  // a twin Windows would count as the same, refused.
  std::string found;
  EXPECT_EQ(platform.NameInFolder(Path(""), "FILE", &found, &reason), Status::kOk);
  EXPECT_EQ(found, "file");
  Spit(dir / "File", "x");
  EXPECT_EQ(platform.NameInFolder(Path(""), "file", &found, &reason), Status::kCaseTwins);
  EXPECT_EQ(reason, "File\0file\0"s);
  EXPECT_EQ(platform.RemoveFolder(Path("sub"), &reason), Status::kOk);
  EXPECT_EQ(platform.KindOf(Path("sub")), FileKind::kMissing);
}

TEST_F(PosixPlatformTest, WritesNewFilesAndReplacesButNotReadOnlyOnes) {
  EXPECT_EQ(Put(Path("new"), "bytes\r\n"), Status::kOk);
  EXPECT_EQ(Slurp(dir / "new"), "bytes\r\n");
  EXPECT_EQ(Put(Path("empty"), ""), Status::kOk);
  EXPECT_EQ(Slurp(dir / "empty"), "");
  EXPECT_EQ(Put(Path("no/such"), "x"), Status::kFailed);
  EXPECT_EQ(reason, "No such file or directory");
  {
    // A file that cannot be filled, here for want of room, is not left half done.
    const auto no_signal = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small = {4096, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_EQ(Put(Path("large"), std::string(10000, 'x')), Status::kFailed);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, no_signal);
    EXPECT_EQ(reason, "File too large");
    EXPECT_FALSE(fs::exists(dir / "large"));
  }

  Spit(dir / "old", "old");
  ASSERT_EQ(::chmod(Path("old").c_str(), 0640), 0);
  Spit(dir / "victim", "theirs");
  ASSERT_EQ(::chmod(Path("victim").c_str(), 0600), 0);
  const std::string old = Path("old");
  ASSERT_EQ(Put(Path("tmp"), "new", &old), Status::kOk);
  // Someone swaps the new file's name for a link before the rename: what
  // the link names keeps its bits.
  fs::rename(dir / "tmp", dir / "mine");
  fs::create_symlink(dir / "victim", dir / "tmp");
  EXPECT_EQ(platform.RenameReplacing(Path("tmp"), Path("old"), &reason), Status::kOk);
  EXPECT_EQ(fs::status(dir / "victim").permissions(), fs::perms(0600));
  EXPECT_EQ(platform.RenameReplacing(Path("mine"), Path("old"), &reason), Status::kOk);
  EXPECT_EQ(platform.SyncFolderOf(Path("old"), &reason), Status::kOk);
  EXPECT_EQ(Slurp(dir / "old"), "new");
  EXPECT_EQ(fs::status(dir / "old").permissions(), fs::perms(0640));
  EXPECT_FALSE(fs::exists(dir / "tmp"));

  ASSERT_EQ(::chmod(Path("old").c_str(), 0444), 0);
  // A copy kept aside keeps the old page's date.
  std::unique_ptr<FileReader> page;
  ASSERT_EQ(platform.OpenForReading(old, Links::kRefuse, &page, &reason), Status::kOk);
  const FileIdentity dated = page->Identity();
  ASSERT_EQ(Put(Path("tmp"), "newer", nullptr, &dated), Status::kOk);
  struct stat copy;
  ASSERT_EQ(::stat(Path("tmp").c_str(), &copy), 0);
  EXPECT_EQ(copy.st_mtim.tv_sec * 1000000000 + copy.st_mtim.tv_nsec, dated.modified);
  EXPECT_EQ(platform.RenameReplacing(Path("tmp"), Path("old"), &reason), Status::kFailed);
  EXPECT_EQ(Slurp(dir / "old"), "new");
  EXPECT_EQ(platform.RemoveFile(Path("tmp"), &reason), Status::kOk);
  EXPECT_EQ(platform.RemoveFile(Path("tmp"), &reason), Status::kMissing);
}

// Another run waits for the lock, but not for ever; a shared lock waits
// only for an exclusive one. Nothing is made through a link at the folder.
TEST_F(PosixPlatformTest, ALockIsWaitedForButNotForEver) {
  PosixPlatform quick(0, nullptr, 64 << 10, std::chrono::milliseconds(300));
  const std::string folder = dir.string();
  std::unique_ptr<HeldLock> lock;
  const auto take = [&](LockMode mode, Links links = Links::kRefuse) {
    lock.reset();
    return quick.LockFile(folder, ".lock", mode, links, &lock, &reason);
  };
  // Another process holds it in `mode`, for `milliseconds`, or until it is
  // killed; removes it before it lets go, when asked.
  const auto held = [&](int mode, int milliseconds, bool remove = false) {
    lock.reset();
    int ready[2];
    EXPECT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
      const int fd = ::open(Path(".lock").c_str(), O_RDONLY | O_CREAT, 0600);
      if (::flock(fd, mode) != 0 || ::write(ready[1], "x", 1) != 1) ::_exit(1);
      ::usleep(static_cast<useconds_t>(milliseconds) * 1000);
      if (remove) ::unlink(Path(".lock").c_str());
      ::_exit(0);
    }
    ::close(ready[1]);
    char byte;
    EXPECT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    return holder;
  };
  const auto ended = [](pid_t holder) {
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
  };
  EXPECT_EQ(take(LockMode::kShared), Status::kMissing);  // nothing is made
  EXPECT_FALSE(fs::exists(dir / ".lock"));
  ASSERT_EQ(take(LockMode::kExclusive), Status::kOk);
  const int other = ::open(Path(".lock").c_str(), O_RDONLY | O_CLOEXEC);
  EXPECT_NE(::flock(other, LOCK_SH | LOCK_NB), 0);
  lock.reset();
  EXPECT_EQ(::flock(other, LOCK_SH | LOCK_NB), 0);
  ::close(other);

  pid_t holder = held(LOCK_EX, 100);
  EXPECT_EQ(take(LockMode::kExclusive), Status::kOk);
  ended(holder);
  holder = held(LOCK_EX, 100, true);
  EXPECT_EQ(take(LockMode::kExclusive), Status::kMissing);  // the next run makes it again
  ended(holder);
  holder = held(LOCK_SH, 10000);
  EXPECT_EQ(take(LockMode::kShared), Status::kOk);
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(take(LockMode::kExclusive), Status::kBusy);
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
  ended(holder);

  fs::create_directory(dir / "real");
  fs::create_directory_symlink(dir / "real", dir / "linked");
  EXPECT_EQ(
      quick.LockFile(Path("linked"), ".lock", LockMode::kExclusive, Links::kRefuse, &lock, &reason),
      Status::kLinked);
  EXPECT_FALSE(fs::exists(dir / "real/.lock"));
  EXPECT_EQ(
      quick.LockFile(Path("linked"), ".lock", LockMode::kExclusive, Links::kFollow, &lock, &reason),
      Status::kOk);
  fs::create_symlink(dir / "nowhere", dir / "real/link");
  EXPECT_EQ(
      quick.LockFile(Path("real"), "link", LockMode::kExclusive, Links::kRefuse, &lock, &reason),
      Status::kFailed);
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(quick.LockFile(folder, "fifo", LockMode::kExclusive, Links::kRefuse, &lock, &reason),
            Status::kNotFile);
}

// A signal that would end a run waits while held, and acts when let go.
TEST_F(PosixPlatformTest, SignalsWaitWhileHeld) {
  int alive[2];
  ASSERT_EQ(::pipe(alive), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    std::unique_ptr<HeldSignals> held = platform.HoldSignals();
    ::raise(SIGTERM);
    if (::write(alive[1], "x", 1) != 1) ::_exit(1);
    held.reset();
    ::_exit(0);
  }
  char byte;
  EXPECT_EQ(::read(alive[0], &byte, 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  ::close(alive[0]);
  ::close(alive[1]);
}

// Whatever already has the name is taken: a link is not followed, a pipe not
// opened (that would hang), and no one's file is emptied or removed.
TEST_F(PosixPlatformTest, ANewFileTakesNothingOver) {
  Spit(dir / "target", "someone's");
  fs::create_symlink(dir / "target", dir / "link");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  Spit(dir / "theirs", "theirs");
  ASSERT_EQ(::chmod(Path("theirs").c_str(), 0), 0);
  for (const char* name : {"link", "dangling", "fifo", "theirs"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Put(Path(name), "mine"), Status::kTaken);
    EXPECT_EQ(reason, "File exists");
  }
  EXPECT_EQ(Slurp(dir / "target"), "someone's");
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_EQ(Slurp(dir / "theirs"), "theirs");
}

TEST_F(PosixPlatformTest, SettingsComeFromTheConfigHome) {
  SetVariable("XDG_CONFIG_HOME", dir.string());
  SetVariable("WINEPREFIX", Path("no prefix"));
  Spit(dir / "Kyrlen/settings.ini", "[Path]\nPath=/opt/kyrlen/kyrlen.exe\n");
  std::string value;
  EXPECT_EQ(platform.ReadSetting("Kyrlen", "Path", "Path", &value, &reason), Status::kOk);
  EXPECT_EQ(value, "/opt/kyrlen/kyrlen.exe");
  EXPECT_EQ(platform.ReadSetting("Other", "Path", "Path", &value, &reason), Status::kMissing);
  // Handed up as stored, NUL and all: the run refuses it.
  Spit(dir / "Kyrlen/settings.ini", "[Path]\nPath=/opt/kyrlen\0/x.exe\n"s);
  EXPECT_EQ(platform.ReadSetting("Kyrlen", "Path", "Path", &value, &reason), Status::kOk);
  EXPECT_EQ(value, "/opt/kyrlen\0/x.exe"s);
}

}  // namespace
}  // namespace brellam
