#include "helpers/path.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

struct PathCase {
  const char* path;
  PathStyle style;
  const char* file_name;
  const char* parent;
};

TEST(PathTest, FileNameAndParentSplitAtTheLastSeparator) {
  const PathCase cases[] = {
      {"", PathStyle::kWindows, "", ""},
      {"C:\\a\\b.txt", PathStyle::kWindows, "b.txt", "C:\\a\\"},
      {"b.txt", PathStyle::kWindows, "b.txt", ""},
      {"Z:Blue.txt", PathStyle::kWindows, "Blue.txt", "Z:"},  // drive-relative
      {"Z:Blue.txt", PathStyle::kPosix, "Z:Blue.txt", ""},
      {"C:\\a\\", PathStyle::kWindows, "", "C:\\a\\"},
      {"C:/a/b.txt", PathStyle::kWindows, "b.txt", "C:/a/"},
      {"C:\\a/b\\c.exe", PathStyle::kWindows, "c.exe", "C:\\a/b\\"},
      {"\\\\srv\\share\\host.exe", PathStyle::kWindows, "host.exe", "\\\\srv\\share\\"},
      {"/opt/kyrlen/kyrlen.exe", PathStyle::kPosix, "kyrlen.exe", "/opt/kyrlen/"},
      {"/opt/kyrlen/", PathStyle::kPosix, "", "/opt/kyrlen/"},
      {"dir\\a.txt", PathStyle::kPosix, "dir\\a.txt", ""},  // a plain character on POSIX
      {"/", PathStyle::kPosix, "", "/"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(GetFileName(c.path, c.style), c.file_name);
    EXPECT_EQ(GetParentPath(c.path, c.style), c.parent);
  }
}

TEST(PathTest, FullPathByTheTextAlone) {
  struct Case {
    const char* path;
    PathStyle style;
    const char* full;
  };
  const Case cases[] = {
      {".", PathStyle::kWindows, "C:\\work\\Blue"},
      {"..\\..\\..\\x", PathStyle::kWindows, "C:\\x"},
      {"Red/./a\\\\b\\..\\", PathStyle::kWindows, "C:\\work\\Blue\\Red\\a"},
      {"D:\\skins\\.", PathStyle::kWindows, "D:\\skins"},
      {"D:/..", PathStyle::kWindows, "D:\\"},
      {"\\x\\.", PathStyle::kWindows, "C:\\x"},
      {"c:y", PathStyle::kWindows, "C:\\work\\Blue\\y"},
      {"D:y", PathStyle::kWindows, "D:\\y"},
      {"\\\\srv\\share\\a\\..\\..", PathStyle::kWindows, "\\\\srv\\share\\"},
      {"//srv/share", PathStyle::kWindows, "\\\\srv\\share\\"},
      {"\\\\?\\C:\\a\\..", PathStyle::kWindows, "\\\\?\\C:\\a\\.."},
      {"\\\\.\\C:\\a\\..", PathStyle::kWindows, "\\\\.\\C:\\a\\.."},
      {".", PathStyle::kPosix, "/home/u/Blue"},
      {"../../../..", PathStyle::kPosix, "/"},
      {"//a//./b/", PathStyle::kPosix, "/a/b"},
      {"a\\..", PathStyle::kPosix, "/home/u/Blue/a\\.."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const char* current = c.style == PathStyle::kWindows ? "C:\\work\\Blue" : "/home/u/Blue";
    EXPECT_EQ(FullPath(c.path, current, c.style), c.full);
  }
}

TEST(PathTest, AbsoluteOnlyFromARootOfItsOwn) {
  for (const char* path : {"C:\\k.exe", "z:/", "\\\\srv\\share\\k.exe", "//srv/share/",
                           "\\\\?\\C:\\k.exe", "\\\\?\\unc\\srv\\share\\", "\\\\.\\C:\\k.exe"}) {
    EXPECT_TRUE(IsAbsolutePath(path, PathStyle::kWindows)) << path;
  }
  for (const char* path :
       {"", "k.exe", "C:k.exe", "C:", "\\k.exe", "1:\\k.exe", "\\\\srv\\share", "\\\\srv\\\\k.exe",
        "\\\\\\share\\k.exe", "\\\\.\\C:k.exe", "\\\\?\\C:/k.exe", "\\\\?\\UNC\\srv\\",
        "\\\\?\\k.exe", "/k.exe", "\\\\?\\UNCsrv\\share\\k", "\\\\?\\UNC\\.\\x\\k"}) {
    EXPECT_FALSE(IsAbsolutePath(path, PathStyle::kWindows)) << path;
  }
  EXPECT_TRUE(IsAbsolutePath("/opt/k", PathStyle::kPosix));
  for (const char* path : {"", "k", "~/k", "C:\\k.exe", "C:/k.exe"}) {
    EXPECT_FALSE(IsAbsolutePath(path, PathStyle::kPosix)) << path;
  }
}

}  // namespace
}  // namespace brellam
