// What EncodeAnsi must do in code page 932, whichever platform does it.
#ifndef BRELLAM_TESTS_CODE_PAGE_932_CASES_H_
#define BRELLAM_TESTS_CODE_PAGE_932_CASES_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "code_page_932_reference.h"
#include "platform/platform.h"
#include "text/utf8.h"

namespace brellam {

inline void ExpectEncodesAsCodePage932(const Platform& platform) {
  struct Case {
    std::string utf8;
    std::string ansi;
    std::size_t taken;
  };
  const Case cases[] = {
      {"Blue", "Blue", 4},
      {"ブレラム", "\x83u\x83\x8C\x83\x89\x83\x80", 12},
      {"ソ表～", "\x83\x5C\x95\x5C\x81\x60", 9},
      {"髙①", "\xFB\xFC\x87\x40", 6},  // lead bytes from both ends of their ranges
      {"a한b", "a", 1},
      {"b😀", "b", 1},
      {"c\xFF", "c", 1},              // no UTF-8
      {"d\xE3\x81", "d", 1},          // cut short
      {"e¥", "e", 1},                 // "\" would be a look-alike
      {"f〜", "f", 1},                // WAVE DASH is not FULLWIDTH TILDE
      {"g\xF3\xA0\x80\x81", "g", 1},  // a tag character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    std::string ansi = "<";
    EXPECT_EQ(platform.EncodeAnsi(c.utf8, ansi), c.taken);
    EXPECT_EQ(ansi, "<" + c.ansi);
  }
}

// Whatever EncodeAnsi takes, `decode` (code page 932 into UTF-8) reads back
// as the same character, for every code point, and it is written as Wine's
// own table writes it. Of the characters that table writes, only
// `left_out` are refused.
inline void ExpectNoLookAlikes(const Platform& platform,
                               const std::function<std::string(const std::string&)>& decode,
                               std::size_t left_out) {
  const CodePage932Reference& reference = ReferenceCodePage932();
  std::size_t refused = 0;
  for (char32_t code_point = 0x80; code_point <= 0x10FFFF; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    std::string utf8;
    AppendUtf8(code_point, utf8);
    // Followed by more text, as in a page.
    utf8 += '.';
    std::string ansi;
    const auto written = reference.writes.find(code_point);
    if (platform.EncodeAnsi(utf8, ansi) != utf8.size()) {
      refused += written != reference.writes.end();
      continue;
    }
    ASSERT_EQ(decode(ansi), utf8) << "U+" << std::hex << static_cast<std::uint32_t>(code_point);
    ASSERT_NE(written, reference.writes.end())
        << "U+" << std::hex << static_cast<std::uint32_t>(code_point);
    ansi.pop_back();
    std::uint16_t code = 0;
    for (const char byte : ansi)
      code = static_cast<std::uint16_t>(code << 8 | static_cast<unsigned char>(byte));
    ASSERT_EQ(code, written->second) << "U+" << std::hex << static_cast<std::uint32_t>(code_point);
  }
  EXPECT_EQ(refused, left_out);
}

}  // namespace brellam

#endif  // BRELLAM_TESTS_CODE_PAGE_932_CASES_H_
