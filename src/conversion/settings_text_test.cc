#include "conversion/settings_text.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(SettingsTextTest, SixLinesWithTitleAndPaddedDate) {
  EXPECT_EQ(BuildSettingsText("Blue", {2004, 3, 5}, "/"),
            "#Title=Blue\r\n"
            "#Creator=ブレラム\r\n"
            "#Date=2004/03/05\r\n"
            "#Comment=このスキンはブレラムによって生成されました\r\n"
            "#NameTagDelete=0\r\n"
            "#MessageTabDelete=0\r\n");
}

TEST(SettingsTextTest, DateUsesTheLocaleSeparator) {
  const std::string text = BuildSettingsText("", {2026, 12, 31}, "-");
  EXPECT_NE(text.find("#Title=\r\n"), std::string::npos);
  EXPECT_NE(text.find("#Date=2026-12-31\r\n"), std::string::npos);
}

}  // namespace
}  // namespace brellam
