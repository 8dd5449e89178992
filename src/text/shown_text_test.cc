#include "text/shown_text.h"

#include <gtest/gtest.h>

namespace brellam {
namespace {

TEST(ShownTextTest, ControlsAndBytesThatAreNoUtf8AreEscapedByteByByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\dl\\青空 (2).txt", "C:\\dl\\青空 (2).txt"},
      {"a\nたぶん正常に終了", "a\\x0Aたぶん正常に終了"},
      {"\x1B]0;x\x07\r\t", "\\x1B]0;x\\x07\\x0D\\x09"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x7F~ \xC2\xA0", "\\x7F~ \xC2\xA0"},         // DEL; a no-break space stays
      {"\xC2\x85\xC2\x9F", "\\xC2\\x85\\xC2\\x9F"},  // C1
      {"a\xE2\x80\xA8"
       "b\xE2\x80\xA9",
       "a\\xE2\\x80\\xA8b\\xE2\\x80\\xA9"},  // line, paragraph
      {"\xFF\xE3\x81", "\\xFF\\xE3\\x81"},
      {"\xE3\x81\x41", "\\xE3\\x81A"},  // cut short
      {"\xC0\xAF\xE0\x9F\xBF\xED\xA0\x80",
       "\\xC0\\xAF\\xE0\\x9F\\xBF\\xED\\xA0\\x80"},  // overlong, surrogate
      {"\U000E0001x\u200B", "\\U000E0001x\\u200B"},  // format characters
  };
  for (const auto& [text, shown] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ShownText(text), shown);
  }
}

// Wider than 100 columns, a wide character counting two: start, "…", end.
TEST(ShownTextTest, LongLinesAreCutInTheMiddle) {
  const std::string a(49, 'a');
  const std::string z(49, 'z');
  std::string wide;
  for (int i = 0; i < 51; ++i) wide += "表";
  const std::pair<std::string, std::string> cases[] = {
      {std::string(100, 'a'), std::string(100, 'a')},
      {a + "bcd" + z, a + "…" + z},
      {wide, wide.substr(0, 24 * 3) + "…" + wide.substr(0, 24 * 3)},
      // An escape stays whole, though a part of it would fit.
      {a.substr(3) + "\\x0A" + z + "zz", a.substr(3) + "…" + z},
      {a.substr(5) + "\\u202E" + z + "zz", a.substr(5) + "…" + z},
  };
  for (const auto& [line, shown] : cases) {
    EXPECT_EQ(CutLongLines(line), shown) << line;
  }
}

}  // namespace
}  // namespace brellam
