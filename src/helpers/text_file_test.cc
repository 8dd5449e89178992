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

}  // namespace
}  // namespace brellam
