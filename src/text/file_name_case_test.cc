#include "text/file_name_case.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "text/utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <clocale>
#include <cwctype>
#endif

namespace brellam {
namespace {

std::string Utf8(char32_t c) {
  std::string text;
  AppendUtf8(c, text);
  return text;
}

TEST(FileNameCaseTest, NamesThatWindowsTakesForOne) {
  const std::pair<const char*, const char*> same[] = {
      {"Blue", "bLUE"},
      {"ｂｌｕｅ", "ＢＬＵＥ"},
      {"àéÿ", "ÀÉŸ"},
      {"σΣ", "Σσ"},
      {"ά", "Ά"},
      {"ёя", "ЁЯ"},
      {"ⅰⓐ", "ⅠⒶ"},
      {"łž", "ŁŽ"},
      {"青空", "青空"},
      {"\xFF", "\xFF"},
      {"a\xE3\x81", "A\xE3\x81"},
  };
  for (const auto& [a, b] : same) EXPECT_TRUE(IsSameFileName(a, b)) << a;
  const std::pair<const char*, const char*> apart[] = {
      {"Blue", "Blue2"}, {"ｂｌｕｅ", "blue"}, {"÷", "×"},   {"ı", "I"},
      {"ß", "SS"},       {"ς", "Σ"},           {"ソ", "ゾ"}, {"\xFF", "\xFE"},
  };
  for (const auto& [a, b] : apart) EXPECT_FALSE(IsSameFileName(a, b)) << a;
}

// Against the system: on Windows, whether it takes any two letters of a
// covered block for one; elsewhere, the C library's upper case of each.
TEST(FileNameCaseTest, EachCoveredLetterAsTheSystemUpperCasesIt) {
#ifndef _WIN32
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
#endif
  const std::pair<char32_t, char32_t> blocks[] = {{0x00, 0x17F},    {0x384, 0x3CE},
                                                  {0x400, 0x52F},   {0x2160, 0x217F},
                                                  {0x24B6, 0x24E9}, {0xFF00, 0xFF5F}};
  std::size_t changed = 0;
  for (const auto& [first, last] : blocks) {
    for (char32_t c = first; c <= last; ++c) {
      const std::string upper = WindowsUpperCase(Utf8(c));
      changed += upper != Utf8(c) ? 1u : 0u;
#ifdef _WIN32
      for (char32_t d = first; d < c; ++d) {
        const wchar_t a = static_cast<wchar_t>(c);
        const wchar_t b = static_cast<wchar_t>(d);
        EXPECT_EQ(::CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL,
                  upper == WindowsUpperCase(Utf8(d)))
            << std::hex << static_cast<std::uint32_t>(c) << " " << static_cast<std::uint32_t>(d);
      }
#else
      if (c == 0xB5 || c == 0x131 || c == 0x17F || c == 0x3C2) continue;  // see the header
      EXPECT_EQ(upper, Utf8(static_cast<char32_t>(std::towupper(static_cast<std::wint_t>(c)))))
          << std::hex << static_cast<std::uint32_t>(c);
#endif
    }
  }
  EXPECT_GT(changed, 350u);
#ifndef _WIN32
  std::setlocale(LC_CTYPE, "C");
#endif
}

}  // namespace
}  // namespace brellam
