#include "conversion/skin_name.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

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

// Windows may run with UTF-8 as its ANSI code page: every character is in it.
class Utf8CodePagePlatform : public FakePlatform {
 public:
  Encoded EncodeAnsiInto(std::string_view utf8, char* out) const override {
    std::size_t at = 0;
    while (at < utf8.size() && Utf8At(utf8, at).well_formed) at += Utf8At(utf8, at).size;
    std::memmove(out, utf8.data(), at);
    return {at, at};
  }
};

TEST(SkinNameTest, UsableAsOneFolderOnEitherPlatform) {
  struct Case {
    const char* name;
    bool in_932;
    bool in_utf8;
  };
  const Case cases[] = {
      {"Blue", true, true},        {"Blue.old", true, true},  {"ソ表", true, true},
      {"", false, false},          {".", false, false},       {"..", false, false},
      {"...", false, false},       {". .", false, false},     {"a:b", false, false},
      {"a*b", false, false},       {"a?b", false, false},     {"a\"b", false, false},
      {"a<b>", false, false},      {"a|b", false, false},     {"a\\b", false, false},
      {"a/b", false, false},       {"a\tb", false, false},    {"CON", false, false},
      {"con", false, false},       {"Aux.old", false, false}, {"NUL ", false, false},
      {"COM1", false, false},      {"lpt9.x", false, false},  {"COM0", true, true},
      {"COM10", true, true},       {"CONSOLE", true, true},   {"a b", true, true},
      {".hidden", true, true},     {"Blue.", false, false},   {"Blue ", false, false},
      {"Blue. .", false, false},   {"CONIN$", false, false},  {"conout$.x", false, false},
      {"COM¹", false, false},      {"lpt³", false, false},    {"COM⁴", false, true},
      {"a\r\n#x=1", false, false}, {"a\x7F", false, false},   {"～", true, true},
      {"Blue😀", false, true},      {"café", false, true},     {"〜", false, true},
      {"a\xC2\x85", false, false}, {"a\xFF", false, false},   {"Con.a.b", false, false},
  };
  for (const PathStyle style : {PathStyle::kPosix, PathStyle::kWindows}) {
    FakePlatform in_932;
    Utf8CodePagePlatform in_utf8;
    in_932.style = in_utf8.style = style;
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      EXPECT_EQ(IsUsableSkinName(c.name, in_932), c.in_932);
      EXPECT_EQ(IsUsableSkinName(c.name, in_utf8), c.in_utf8);
    }
  }
}

}  // namespace
}  // namespace brellam
