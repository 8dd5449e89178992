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
  EXPECT_EQ(WithoutTrailingSeparators("/", PathStyle::kPosix), "/");  // the root keeps its own
}

TEST(PathGrammarTest, LongPathForm) {
  struct Case {
    const char* path;
    const char* current_folder;
    const char* form;  // empty: no file or folder on a disk
  };
  const Case cases[] = {
      {"C:\\a b\\c", "", "\\\\?\\C:\\a b\\c"},
      {"\\\\srv\\share\\c", "", "\\\\?\\UNC\\srv\\share\\c"},
      {"\\\\?\\C:\\c", "", "\\\\?\\C:\\c"},
      {"\\\\.\\C:\\c", "", "\\\\?\\C:\\c"},
      // Already in that form: the system's to open as it is written.
      {"\\\\?\\unc\\srv\\share\\c", "", "\\\\?\\unc\\srv\\share\\c"},
      {"\\\\?\\C:\\a\\..\\b/c", "", "\\\\?\\C:\\a\\..\\b/c"},
      {"C:/a//b\\\\c/", "", "\\\\?\\C:\\a\\b\\c\\"},
      // Names end as they were given; ".." stops at the drive or the share.
      {"C:\\dir.\\Blue.txt .", "", "\\\\?\\C:\\dir.\\Blue.txt ."},
      {"C:\\a\\.\\..\\..\\b\\...", "", "\\\\?\\C:\\b\\..."},
      {"\\\\srv\\share\\..\\c", "", "\\\\?\\UNC\\srv\\share\\c"},
      {"Blue.txt ", "D:\\My Skins", "\\\\?\\D:\\My Skins\\Blue.txt "},
      {"..\\x", "\\\\?\\D:\\a\\b", "\\\\?\\D:\\a\\x"},
      {"\\x", "\\\\srv\\share\\dir", "\\\\?\\UNC\\srv\\share\\x"},
      {"D:x", "D:\\a", "\\\\?\\D:\\a\\x"},
      {"D:", "D:\\a", "\\\\?\\D:\\a"},
      {"x", "", ""},
      {"", "D:\\a", ""},
      {"x", "\\\\.\\pipe", ""},
      {"\\\\.\\pipe\\x", "D:\\a", ""},
      {"//./pipe/x", "D:\\a", ""},
      {"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x", "D:\\a", ""},
      {"\\\\.\\C:", "D:\\a", ""},
      {"\\\\?\\C:", "D:\\a", ""},
      {"\\\\.\\CON", "D:\\a", ""},
      {"\\\\?\\UNC\\srv", "D:\\a", ""},
      {"\\\\srv", "D:\\a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(LongPathForm(c.path, c.current_folder), c.form);
  }
}

}  // namespace
}  // namespace brellam
