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
  EXPECT_EQ(reason, "untouched");
  EXPECT_EQ(ReadTextFile(platform, "C:\\s\\missing.txt", &reason), "");
  EXPECT_EQ(reason, "No such file");
}

// A name someone took is left to them and another is tried; every file is
// on the disk before it is renamed, and the folder is flushed once after.
TEST_F(TextFileTest, TakenTemporaryNamesAreLeftAlone) {
  const std::string taken = "C:\\s\\Res.htm.brellam-0000000000000001.tmp";
  const std::string mine = "C:\\s\\Res.htm.brellam-00000000000000ff.tmp";
  const std::string kept = "C:\\s\\Res.htm.brellam-0000000000000007.old";
  platform.files = {{taken, "someone's"}, {"C:\\s\\Res.htm", "old"}};
  platform.random_numbers = {1, 255};
  const NewFile files[] = {{"C:\\s\\Res.htm", "new"}, {"C:\\s\\Empty.htm", ""}};
  const std::string made[] = {"C:\\s\\"};
  const Replaced replaced = WriteTextFiles(platform, "C:\\s", files, made);
  EXPECT_TRUE(replaced.in_place);
  EXPECT_EQ(replaced.detail, "");
  EXPECT_EQ(platform.files,
            (std::map<std::string, std::string>{
                {taken, "someone's"}, {"C:\\s\\Res.htm", "new"}, {"C:\\s\\Empty.htm", ""}}));
  const std::string empty = "C:\\s\\Empty.htm";
  EXPECT_EQ(
      platform.writes,
      (std::vector<std::string>{
          "lock C:\\s\\.brellam.lock", "write and flush " + taken, "write and flush " + mine,
          "write and flush " + empty + ".brellam-0000000000000007.tmp",
          "keep C:\\s\\Res.htm as " + kept, "replace C:\\s\\Res.htm",
          "keep " + empty + " as " + empty + ".brellam-0000000000000007.old", "replace " + empty,
          "remove " + kept, "sync the folder of C:\\s\\Res.htm", "sync the folder of C:\\s"}));
  EXPECT_TRUE(platform.locked.empty());

  // Every name taken: given up, nothing removed.
  platform.files = {{"C:\\s\\Res.htm.brellam-0000000000000007.tmp", "someone's"}};
  EXPECT_FALSE(WriteTextFiles(platform, "C:\\s", files, {}).in_place);
  EXPECT_EQ(platform.files.size(), 1u);
}

}  // namespace
}  // namespace brellam
