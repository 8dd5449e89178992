#include "helpers/file_name_case.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/utf8.h"

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
      {"σς", "ΣΣ"},
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
      {"Blue", "Blue2"}, {"ｂｌｕｅ", "blue"}, {"÷", "×"},       {"ı", "I"},
      {"ß", "SS"},       {"ソ", "ゾ"},         {"\xFF", "\xFE"},
  };
  for (const auto& [a, b] : apart) EXPECT_FALSE(IsSameFileName(a, b)) << a;
}

// Against the system's own upper case, over each block that is covered.
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
      if (c == 0xB5 || c == 0x131 || c == 0x17F) continue;  // left out: see the header
      const std::string upper = WindowsUpperCase(Utf8(c));
      changed += upper != Utf8(c) ? 1u : 0u;
#ifdef _WIN32
      const auto wide = [](const std::string& text) {
        wchar_t units[2] = {};
        return std::wstring(units,
                            static_cast<std::size_t>(::MultiByteToWideChar(
                                CP_UTF8, 0, text.data(), static_cast<int>(text.size()), units, 2)));
      };
      const std::wstring a = wide(Utf8(c));
      const std::wstring b = wide(upper);
      EXPECT_EQ(::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                       static_cast<int>(b.size()), TRUE),
                CSTR_EQUAL)
          << std::hex << static_cast<std::uint32_t>(c);
#else
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
