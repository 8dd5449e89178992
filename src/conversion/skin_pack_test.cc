#include "conversion/skin_pack.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(PackSkinTextTest, MarkerLinesPagesAndNoMoreLineEndsThanConvertingAdds) {
  struct Case {
    const char* name;
    std::array<std::string, 3> pages;
    std::string text;
    std::vector<std::string_view> changed;
  };
  const Case cases[] = {
      {"AsConverted",
       {"<html>\r\n", "\x90V\r\n", "\x83\x8C\r\n\r\n"},
       "<!-- Blue -->\r\n<!-- Header.htm -->\r\n<html>\r\n<!-- NewRes.htm -->\r\n\x90V\r\n"
       "<!-- Res.htm -->\r\n\x83\x8C\r\n",
       {}},
      {"PagesWithoutLineEndsGainOne",
       {"h", "", "r"},
       "<!-- Blue -->\r\n<!-- Header.htm -->\r\nh\r\n<!-- NewRes.htm -->\r\n<!-- Res.htm -->\r\nr",
       {}},
      {"EmptyResPage",
       {"", "", ""},
       "<!-- Blue -->\r\n<!-- Header.htm -->\r\n<!-- NewRes.htm -->\r\n<!-- Res.htm -->",
       {}},
      {"PagesThatNameOtherPages",
       {"<a href=\"NewRes.htm\">\r\n", "n\r\n", "see Res.htm\r\nr\r\n"},
       "<!-- Blue -->\r\n<!-- Header.htm -->\r\n<a href=\"NewRes.htm\">\r\n<!-- NewRes.htm -->\r\n"
       "n\r\n<!-- Res.htm -->\r\nsee Res.htm\r\nr",
       {"Header.htm", "NewRes.htm", "Res.htm"}},
      // Would be read as UTF-8, and its page written back in the code page.
      {"ReadAsUtf8", {"h\r\n", "\xE6\x96\xB0\r\n", "r\r\n"}, "", {"NewRes.htm"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PackedSkin packed = PackSkinText("Blue", c.pages, CodePage932());
    if (!c.text.empty()) {
      EXPECT_EQ(packed.text, c.text);
    }
    EXPECT_EQ(packed.changed, c.changed);
  }
}

}  // namespace
}  // namespace brellam
