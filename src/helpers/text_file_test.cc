#include "helpers/text_file.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace brellam {
namespace {

class TextFileTest : public testing::Test {
 protected:
  TextFileTest() { platform.folders = {"C:\\", "C:\\s\\"}; }
  FakePlatform platform;
};

TEST_F(TextFileTest, ReadGivesTheBytesOrTheEmptyTextAndWhy) {
  platform.files = {{"C:\\s\\a.txt", "\x83\x5C\r\n"}, {"C:\\s\\empty.txt", ""}};
  std::string reason = "untouched";
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\a.txt", &reason), "\x83\x5C\r\n");
  EXPECT_EQ(reason, "untouched");
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\empty.txt", &reason), "");
  EXPECT_EQ(reason, "0 バイト");
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\missing.txt", &reason), "");
  EXPECT_EQ(reason, "No such file");
}

TEST_F(TextFileTest, WriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
  platform.files = {{"C:\\s\\Res.htm", "old"}};
  EXPECT_TRUE(WriteTextFile(platform, "C:\\s\\Res.htm", "new\r\n"));
  EXPECT_TRUE(WriteTextFile(platform, "C:\\s\\Empty.htm", ""));
  EXPECT_EQ(platform.files, (std::map<std::string, std::string>{{"C:\\s\\Res.htm", "new\r\n"},
                                                                {"C:\\s\\Empty.htm", ""}}));
}

TEST_F(TextFileTest, FailedWriteKeepsTheOldFileAndRemovesTheTemporaryOne) {
  platform.files = {{"C:\\s\\Res.htm", "old"}, {"C:\\s\\Header.htm", "kept"}};
  platform.read_only = {"C:\\s\\Res.htm"};
  platform.unwritable = {"C:\\s\\Header.htm.brellam-0000000000000007.tmp"};
  EXPECT_FALSE(WriteTextFile(platform, "C:\\s\\Res.htm", "new"));
  EXPECT_FALSE(WriteTextFile(platform, "C:\\s\\Header.htm", "new"));
  EXPECT_FALSE(WriteTextFile(platform, "C:\\missing\\Res.htm", "new"));
  EXPECT_EQ(platform.files, (std::map<std::string, std::string>{{"C:\\s\\Res.htm", "old"},
                                                                {"C:\\s\\Header.htm", "kept"}}));
}

// A name someone took is left to them and another is tried; each file's
// data is flushed before its rename, and its folder after.
TEST_F(TextFileTest, TakenTemporaryNamesAreLeftAlone) {
  const std::string taken = "C:\\s\\Res.htm.brellam-0000000000000001.tmp";
  const std::string mine = "C:\\s\\Res.htm.brellam-00000000000000ff.tmp";
  platform.files = {{taken, "someone's"}};
  platform.random_numbers = {1, 255};
  EXPECT_TRUE(WriteTextFile(platform, "C:\\s\\Res.htm", "new"));
  EXPECT_EQ(platform.files,
            (std::map<std::string, std::string>{{taken, "someone's"}, {"C:\\s\\Res.htm", "new"}}));
  EXPECT_EQ(platform.writes, (std::vector<std::string>{
                                 "write and flush " + taken, "write and flush " + mine,
                                 "replace C:\\s\\Res.htm", "sync the folder of C:\\s\\Res.htm"}));

  // Every name taken: given up, nothing removed.
  platform.files = {{"C:\\s\\Res.htm.brellam-0000000000000007.tmp", "someone's"}};
  EXPECT_FALSE(WriteTextFile(platform, "C:\\s\\Res.htm", "new"));
  EXPECT_EQ(platform.files.size(), 1u);
}

}  // namespace
}  // namespace brellam
