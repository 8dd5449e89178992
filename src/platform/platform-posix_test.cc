#include "platform/platform-posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

TEST(PosixArgumentsTest, JoinedWithSingleBlanks) {
  const char* none[] = {"brellam"};
  const char* two[] = {"brellam", "/a b/x.txt", "y.txt"};
  EXPECT_EQ(PosixPlatform(1, none).ArgumentText(), "");
  EXPECT_EQ(PosixPlatform(3, two).ArgumentText(), "/a b/x.txt y.txt");
}

TEST(PosixCodePageTest, TextIntoCodePage932) {
  const PosixPlatform platform(0, nullptr);
  EXPECT_EQ(platform.ToAnsi("Blue"), "Blue");
  EXPECT_EQ(platform.ToAnsi("ブレラム"), "\x83u\x83\x8C\x83\x89\x83\x80");
  EXPECT_EQ(platform.ToAnsi("ソ表"), "\x83\x5C\x95\x5C");
  // Characters that code page 932 lacks, and bytes that are no UTF-8.
  EXPECT_EQ(platform.ToAnsi("a한b😀c\xFF"
                            "d\xE3"),
            "a?b?c?d?");
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

TEST_F(PosixPlatformTest, ReadsAStreamWhoseSizeIsNotKnown) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const std::string sent(100000, 'q');
  ASSERT_EQ(::write(fds[1], sent.data(), 60000), 60000);
  std::string bytes;
  // Less than the pipe holds is in; the reader must stop at the end.
  ::close(fds[1]);
  EXPECT_EQ(platform.ReadFileBytes("/dev/fd/" + std::to_string(fds[0]), bytes), 60000);
  EXPECT_EQ(bytes, sent.substr(0, 60000));
  ::close(fds[0]);
}

TEST_F(PosixPlatformTest, APipeWithoutWriterReadsAsEmpty) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  std::string bytes = "before";
  EXPECT_EQ(platform.ReadFileBytes(Path("fifo"), bytes), 0);
  EXPECT_EQ(bytes, "before");
}

TEST_F(PosixPlatformTest, FoldersAreMadeOnceAndFailuresGiveTheReason) {
  EXPECT_FALSE(platform.IsFolder(Path("sub")));
  EXPECT_EQ(platform.CreateFolder(Path("sub") + "/"), "");
  EXPECT_TRUE(platform.IsFolder(Path("sub") + "/"));
  EXPECT_EQ(platform.CreateFolder(Path("sub")), "");  // made meanwhile: fine
  Put("file", "x");
  EXPECT_FALSE(platform.IsFolder(Path("file")));
  EXPECT_EQ(platform.CreateFolder(Path("file")), "File exists");
  EXPECT_EQ(platform.CreateFolder(Path("file") + "/"), "File exists");  // as MakeFolders asks
  EXPECT_EQ(platform.CreateFolder(Path("no/such")), "No such file or directory");
}

TEST_F(PosixPlatformTest, WritesAndReplacesButNotReadOnlyFiles) {
  EXPECT_TRUE(platform.WriteFile(Path("new"), "bytes\r\n"));
  EXPECT_EQ(Get("new"), "bytes\r\n");
  EXPECT_TRUE(platform.WriteFile(Path("new"), ""));
  EXPECT_EQ(Get("new"), "");
  EXPECT_FALSE(platform.WriteFile(Path("no/such"), "x"));

  Put("old", "old");
  EXPECT_TRUE(platform.WriteFile(Path("tmp"), "new"));
  EXPECT_TRUE(platform.RenameReplacing(Path("tmp"), Path("old")));
  EXPECT_EQ(Get("old"), "new");
  EXPECT_FALSE(fs::exists(dir / "tmp"));

  ASSERT_EQ(::chmod(Path("old").c_str(), 0444), 0);
  EXPECT_TRUE(platform.WriteFile(Path("tmp"), "newer"));
  EXPECT_FALSE(platform.RenameReplacing(Path("tmp"), Path("old")));
  EXPECT_EQ(Get("old"), "new");
  platform.RemoveFile(Path("tmp"));
  EXPECT_FALSE(fs::exists(dir / "tmp"));
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
