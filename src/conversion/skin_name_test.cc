#include "conversion/skin_name.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(SkinNameTest, CutBeforeTheLastDot) {
  EXPECT_EQ(SkinNameOf("Blue.txt"), "Blue");
  EXPECT_EQ(SkinNameOf("Blue.old.txt"), "Blue.old");
  EXPECT_EQ(SkinNameOf("Blue"), "Blue");  // no dot: the whole name
  EXPECT_EQ(SkinNameOf(".txt"), "");
  EXPECT_EQ(SkinNameOf("..txt"), ".");
  EXPECT_EQ(SkinNameOf("青空.txt"), "青空");
}

TEST(SkinNameTest, UsableAsOneFolder) {
  struct Case {
    const char* name;
    bool on_posix;
    bool on_windows;
  };
  const Case cases[] = {
      {"Blue", true, true},     {"Blue.old", true, true},   {"青空", true, true},
      {"", false, false},       {".", false, false},        {"..", false, false},
      {"...", true, false},     {". .", true, false},       {"a:b", true, false},
      {"a*b", true, false},     {"a?b", true, false},       {"a\"b", true, false},
      {"a<b>", true, false},    {"a|b", true, false},       {"a\\b", true, false},
      {"a\tb", false, false},   {"CON", true, false},       {"con", true, false},
      {"Aux.old", true, false}, {"NUL ", true, false},      {"COM1", true, false},
      {"lpt9.x", true, false},  {"COM0", true, true},       {"COM10", true, true},
      {"CONSOLE", true, true},  {"a b", true, true},        {".hidden", true, true},
      {"Blue.", true, false},   {"Blue ", true, false},     {"Blue. .", true, false},
      {"CONIN$", true, false},  {"conout$.x", true, false}, {"COM¹", true, false},
      {"lpt³", true, false},    {"COM⁴", true, true},       {"a\r\n#x=1", false, false},
      {"a\x7F", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsUsableSkinName(c.name, PathStyle::kPosix), c.on_posix);
    EXPECT_EQ(IsUsableSkinName(c.name, PathStyle::kWindows), c.on_windows);
  }
}

}  // namespace
}  // namespace brellam
