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

TEST_F(TextFileTest, ReadGivesTheBytesOrTheEmptyText) {
  platform.files = {{"C:\\s\\a.txt", "\x83\x5C\r\n"}, {"C:\\s\\empty.txt", ""}};
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\a.txt"), "\x83\x5C\r\n");
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\empty.txt"), "");
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\missing.txt"), "");
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
  platform.unwritable = {"C:\\s\\Header.htm.brellam-7.tmp"};
  EXPECT_FALSE(WriteTextFile(platform, "C:\\s\\Res.htm", "new"));
  EXPECT_FALSE(WriteTextFile(platform, "C:\\s\\Header.htm", "new"));
  EXPECT_FALSE(WriteTextFile(platform, "C:\\missing\\Res.htm", "new"));
  EXPECT_EQ(platform.files, (std::map<std::string, std::string>{{"C:\\s\\Res.htm", "old"},
                                                                {"C:\\s\\Header.htm", "kept"}}));
}

}  // namespace
}  // namespace brellam
