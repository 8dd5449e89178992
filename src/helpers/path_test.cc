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

}  // namespace
}  // namespace brellam
