#include "platform/platform-posix.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "code_page_932_cases.h"

namespace brellam {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class PosixPlatformTest : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/brellam-posix-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Path(const char* name) const { return (dir / name).string(); }
  void Put(const char* name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  std::string Get(const char* name) const {
    std::ifstream in(dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path dir;
  PosixPlatform platform{0, nullptr};
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

TEST(PosixCodePageTest, EncodesWhatCodePage932HoldsAsItself) {
  const PosixPlatform platform(0, nullptr);
  ExpectEncodesAsCodePage932(platform);
  const iconv_t back = ::iconv_open("UTF-8", "CP932");
  ASSERT_NE(back, reinterpret_cast<iconv_t>(-1));
  ExpectNoLookAlikes(platform, [&](const std::string& ansi) {
    char utf8[8];
    char* in = const_cast<char*>(ansi.data());
    char* out = utf8;
    std::size_t in_left = ansi.size();
    std::size_t room = sizeof utf8;
    ::iconv(back, &in, &in_left, &out, &room);
    return std::string(utf8, static_cast<std::size_t>(out - utf8));
  });
  ::iconv_close(back);
}

TEST_F(PosixPlatformTest, ReadsWholeFilesAndAnswersMissingOrEmpty) {
  Put("a.txt", std::string("x\0y\r\n", 5));
  Put("empty.txt", "");
  std::string bytes = "before";
  EXPECT_EQ(platform.ReadFileBytes(Path("missing"), bytes), -1);
  EXPECT_EQ(platform.ReadFileBytes(Path("empty.txt"), bytes), 0);
  EXPECT_EQ(platform.ReadFileBytes(dir.string(), bytes), -1);  // a folder
  EXPECT_EQ(bytes, "before");
  EXPECT_EQ(platform.ReadFileBytes(Path("a.txt"), bytes), 5);
  EXPECT_EQ(bytes, std::string("x\0y\r\n", 5));
}

// Refused at once: a device may never end, and a pipe's writer may never
// close.
TEST_F(PosixPlatformTest, OnlyRegularFilesAreRead) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "Header.htm\r\n", 12), 12);
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  for (const std::string& path : {"/dev/fd/" + std::to_string(fds[0]), Path("fifo"),
                                  std::string("/dev/zero"), std::string("/dev/null")}) {
    SCOPED_TRACE(path);
    std::string bytes = "before";
    EXPECT_EQ(platform.ReadFileBytes(path, bytes), -1);
    EXPECT_EQ(bytes, "before");
  }
  ::close(fds[0]);
  ::close(fds[1]);
}

TEST_F(PosixPlatformTest, FoldersAreMadeOnceAndFailuresGiveTheReason) {
  EXPECT_EQ(platform.KindOf(Path("sub")), FileKind::kMissing);
  EXPECT_EQ(platform.CreateFolder(Path("sub") + "/"), "");
  EXPECT_EQ(platform.KindOf(Path("sub") + "/"), FileKind::kFolder);
  EXPECT_EQ(platform.CreateFolder(Path("sub")), "");  // made meanwhile: fine
  Put("file", "x");
  EXPECT_EQ(platform.KindOf(Path("file")), FileKind::kFile);
  EXPECT_EQ(platform.KindOf("/dev/null"), FileKind::kOther);
  EXPECT_EQ(platform.CreateFolder(Path("file")), "File exists");
  EXPECT_EQ(platform.CreateFolder(Path("file") + "/"), "File exists");  // as MakeFolders asks
  EXPECT_EQ(platform.CreateFolder(Path("no/such")), "No such file or directory");
}

TEST_F(PosixPlatformTest, WritesNewFilesAndReplacesButNotReadOnlyOnes) {
  std::string reason;
  EXPECT_EQ(platform.WriteNewFile(Path("new"), "bytes\r\n", &reason), Status::kOk);
  EXPECT_EQ(Get("new"), "bytes\r\n");
  EXPECT_EQ(platform.WriteNewFile(Path("empty"), "", &reason), Status::kOk);
  EXPECT_EQ(Get("empty"), "");
  EXPECT_EQ(platform.WriteNewFile(Path("no/such"), "x", &reason), Status::kFailed);
  EXPECT_EQ(reason, "No such file or directory");
  {
    // A file that cannot be filled, here for want of room, is not left half done.
    const auto no_signal = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small = {4096, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_EQ(platform.WriteNewFile(Path("large"), std::string(10000, 'x'), &reason),
              Status::kFailed);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, no_signal);
    EXPECT_EQ(reason, "File too large");
    EXPECT_FALSE(fs::exists(dir / "large"));
  }

  Put("old", "old");
  ASSERT_EQ(::chmod(Path("old").c_str(), 0640), 0);
  ASSERT_EQ(platform.WriteNewFile(Path("tmp"), "new", &reason), Status::kOk);
  EXPECT_EQ(platform.RenameReplacing(Path("tmp"), Path("old"), &reason), Status::kOk);
  EXPECT_EQ(platform.SyncFolderOf(Path("old"), &reason), Status::kOk);
  EXPECT_EQ(Get("old"), "new");
  EXPECT_EQ(fs::status(dir / "old").permissions(), fs::perms(0640));
  EXPECT_FALSE(fs::exists(dir / "tmp"));

  ASSERT_EQ(::chmod(Path("old").c_str(), 0444), 0);
  ASSERT_EQ(platform.WriteNewFile(Path("tmp"), "newer", &reason), Status::kOk);
  EXPECT_EQ(platform.RenameReplacing(Path("tmp"), Path("old"), &reason), Status::kFailed);
  EXPECT_EQ(Get("old"), "new");
  EXPECT_EQ(platform.RemoveFile(Path("tmp"), &reason), Status::kOk);
  EXPECT_EQ(platform.RemoveFile(Path("tmp"), &reason), Status::kMissing);
}

// Whatever already has the name is taken: a link is not followed, a pipe not
// opened (that would hang), and no one's file is emptied or removed.
TEST_F(PosixPlatformTest, ANewFileTakesNothingOver) {
  Put("target", "someone's");
  fs::create_symlink(dir / "target", dir / "link");
  fs::create_symlink(dir / "nowhere", dir / "dangling");
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  Put("theirs", "theirs");
  ASSERT_EQ(::chmod(Path("theirs").c_str(), 0), 0);
  std::string reason;
  for (const char* name : {"link", "dangling", "fifo", "theirs"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(platform.WriteNewFile(Path(name), "mine", &reason), Status::kTaken);
    EXPECT_EQ(reason, "File exists");
  }
  EXPECT_EQ(Get("target"), "someone's");
  EXPECT_FALSE(fs::exists(dir / "nowhere"));
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_EQ(Get("theirs"), "theirs");
}

TEST_F(PosixPlatformTest, SettingsComeFromTheConfigHome) {
  fs::create_directories(dir / "Kyrlen");
  Put("Kyrlen/settings.ini", "[Path]\nPath=/opt/kyrlen/kyrlen.exe\n");
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string restore = saved ? saved : "";
  ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  EXPECT_EQ(platform.ReadSetting("Kyrlen", "Path", "Path"), "/opt/kyrlen/kyrlen.exe");
  EXPECT_EQ(platform.ReadSetting("Other", "Path", "Path"), "");
  Put("Kyrlen/settings.ini", "[Path]\nPath=/opt/kyrlen\0/x.exe\n"s);
  EXPECT_EQ(platform.ReadSetting("Kyrlen", "Path", "Path"), "");
  if (saved) {
    ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
}  // namespace brellam
