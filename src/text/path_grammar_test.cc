#include "text/path_grammar.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(PathGrammarTest, WindowsPathsAsTheSystemReadsThem) {
  const std::pair<const char*, std::string> cases[] = {
      {R"(C:\Tools\Kyrlen.\kyrlen.exe)", R"(C:\Tools\Kyrlen\kyrlen.exe)"},
      {R"(C:\Tools\Kyrlen .\Kyrlen..\kyrlen.exe. .)", R"(C:\Tools\Kyrlen \Kyrlen.\kyrlen.exe)"},
      {R"(c:/a//b/./x/../Kyrlen/...)", R"(c:\a\b\Kyrlen\)"},
      {R"(C:\a\..\..\x\.)", R"(C:\x)"},
      {R"(\\.\C:\a\..\b.)", R"(C:\b)"},
      {R"(//srv/share/../x/)", R"(\\srv\share\x\)"},
      {R"(C:\Tools\...\kyrlen.exe)", "refused ..."},
      {R"(\\?\C:\Tools\Kyrlen. \kyrlen.exe)", R"(\\?\C:\Tools\Kyrlen. \kyrlen.exe)"},
      {R"(\\?\C:\Tools\..\kyrlen.exe)", "refused .."},
      {R"(\\?\C:\Tools/Kyrlen\kyrlen.exe)", "refused Tools/Kyrlen"},
      {R"(\\?\C:\Tools\\kyrlen.exe)", "refused "},
      {R"(\\?\C:\Tools\Kyrlen.\kyrlen.exe)", "refused Kyrlen."},
  };
  for (const auto& [path, read] : cases) {
    const WindowsPathReading reading = ReadWindowsPath(path);
    EXPECT_EQ(reading.refused ? "refused " + reading.name : reading.path, read) << path;
  }
  EXPECT_EQ(OrdinaryWindowsPath(R"(\\?\C:\Kyrlen\)"), R"(C:\Kyrlen\)");
  EXPECT_EQ(OrdinaryWindowsPath(R"(\\?\unc\srv\share\Kyrlen\)"), R"(\\srv\share\Kyrlen\)");
  EXPECT_EQ(OrdinaryWindowsPath(R"(\\srv\share\Kyrlen\)"), R"(\\srv\share\Kyrlen\)");
}

}  // namespace
}  // namespace brellam
