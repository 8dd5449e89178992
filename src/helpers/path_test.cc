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

TEST(PathTest, AbsoluteOnlyFromARootOfItsOwn) {
  for (const char* path : {"C:\\k.exe", "z:/", "\\\\srv\\share\\k.exe", "//srv/share/",
                           "\\\\?\\C:\\k.exe", "\\\\?\\unc\\srv\\share\\"}) {
    EXPECT_TRUE(IsAbsolutePath(path, PathStyle::kWindows)) << path;
  }
  for (const char* path : {"", "k.exe", "C:k.exe", "C:", "\\k.exe", "1:\\k.exe", "\\\\srv\\share",
                           "\\\\srv\\\\k.exe", "\\\\\\share\\k.exe", "\\\\.\\C:\\k.exe",
                           "\\\\?\\C:/k.exe", "\\\\?\\UNC\\srv\\", "\\\\?\\k.exe", "/k.exe"}) {
    EXPECT_FALSE(IsAbsolutePath(path, PathStyle::kWindows)) << path;
  }
  EXPECT_TRUE(IsAbsolutePath("/opt/k", PathStyle::kPosix));
  for (const char* path : {"", "k", "~/k", "C:\\k.exe", "C:/k.exe"}) {
    EXPECT_FALSE(IsAbsolutePath(path, PathStyle::kPosix)) << path;
  }
}

}  // namespace
}  // namespace brellam
