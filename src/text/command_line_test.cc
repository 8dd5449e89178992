#include "text/command_line.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(SplitCommandLineTest, AsTheWindowsRuntimeSplitsArguments) {
  struct Case {
    const char* text;
    std::vector<std::string> arguments;
  };
  const Case cases[] = {
      {"", {}},
      {" \t a  b\t", {"a", "b"}},
      {"\"D:\\My Skins\\Blue.txt\" D:\\x.txt", {"D:\\My Skins\\Blue.txt", "D:\\x.txt"}},
      {"a\"b c\"d \"\"", {"ab cd", ""}},
      {"a\\\\b \"C:\\dir\\\\\" y", {"a\\\\b", "C:\\dir\\", "y"}},
      {"a\\\"b \"c\"\"d\" \"open", {"a\"b", "c\"d", "open"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(SplitCommandLine(c.text), c.arguments);
  }
}

}  // namespace
}  // namespace brellam
