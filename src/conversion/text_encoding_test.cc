#include "conversion/text_encoding.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace brellam {
namespace {

TEST(DecodeTextTest, EncodingFromTheBytes) {
  struct Case {
    const char* name;
    std::string bytes;
    TextEncoding encoding;
    std::string text;  // or the reason it cannot be decoded
  };
  const TextEncoding ansi = TextEncoding::kAnsi;
  const TextEncoding utf8 = TextEncoding::kUtf8;
  const Case cases[] = {
      {"CodePage932", "\x83\x5CRes.htm\r\n", ansi, "\x83\x5CRes.htm\r\n"},
      {"Ascii", "Header.htm\r\n", ansi, "Header.htm\r\n"},
      {"HalfWidthKatakanaThatIsTwoByteUtf8", "\xC2\xB1\xC3\xA9", ansi, "\xC2\xB1\xC3\xA9"},
      {"Utf8", "<p>ソRes.htm</p>", utf8, "<p>ソRes.htm</p>"},
      {"Utf8FourBytes", "a😀", utf8, "a😀"},
      {"Utf8Mark",
       "\xEF\xBB\xBF"
       "a",
       utf8, "a"},
      {"Overlong",
       "\xC0\xAF"
       "ソ",
       ansi,
       "\xC0\xAF"
       "ソ"},
      {"Surrogate",
       "\xED\xA0\x80"
       "ソ",
       ansi,
       "\xED\xA0\x80"
       "ソ"},
      {"BeyondU10FFFF",
       "\xF4\x90\x80\x80"
       "ソ",
       ansi,
       "\xF4\x90\x80\x80"
       "ソ"},
      {"CutShort", "ソ\xE3\x82", ansi, "ソ\xE3\x82"},
      {"Utf16Le", std::string("\xFF\xFE\xBD\x30R\0\r\0\n\0", 10), TextEncoding::kUtf16Le,
       "ソR\r\n"},
      {"Utf16BePair", std::string("\xFE\xFF\xD8\x3D\xDE\x00\0a", 8), TextEncoding::kUtf16Be, "😀a"},
      {"Utf16Edges", std::string("\xFF\xFE\xFF\x07\x00\x08\xFF\xDB\xFF\xDF", 10),
       TextEncoding::kUtf16Le, "\u07FF\u0800\U0010FFFF"},
      {"Utf8FromU0800", "\u07FF\u0800", utf8, "\u07FF\u0800"},
      {"Utf16OddSize",
       "\xFF\xFE"
       "a",
       TextEncoding::kUtf16Le, "UTF-16 なのにバイト数が奇数（3 バイト）"},
      {"Utf16LoneHigh",
       std::string("\xFF\xFE"
                   "a\0\x3D\xD8"
                   "a\0",
                   8),
       TextEncoding::kUtf16Le, "UTF-16 の対になっていないサロゲート（先頭から 5 バイト目）"},
      {"Utf16LoneLowAtTheEnd", std::string("\xFE\xFF\xDE\x00", 4), TextEncoding::kUtf16Be,
       "UTF-16 の対になっていないサロゲート（先頭から 3 バイト目）"},
      {"Utf8MarkThenIllFormed",
       "\xEF\xBB\xBF"
       "ab\xFF",
       utf8, "UTF-8 として正しくないバイト（先頭から 6 バイト目）"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string reason;
    const DecodedText decoded = DecodeText(c.bytes, &reason);
    EXPECT_EQ(decoded.encoding, c.encoding);
    EXPECT_EQ(reason.empty() ? decoded.text : reason + decoded.text, c.text);
  }
}

TEST(ToAnsiTest, ReferencesSubstitutesAndQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string references;
    std::string question_marks;
  };
  const Case cases[] = {
      {"ソ表 a", "\x83\x5C\x95\x5C a", "\x83\x5C\x95\x5C a"},
      {"a😀b한", "a&#128512;b&#54620;", "a?b?"},
      // Where Windows' code page 932 has its own characters for these.
      {"〜‖−—¢£¬", "\x81\x60\x81\x61\x81\x7C\x81\x5C\x81\x91\x81\x92\x81\xCA",
       "\x81\x60\x81\x61\x81\x7C\x81\x5C\x81\x91\x81\x92\x81\xCA"},
      {"あ\xFF\xE3\x81", "\x82\xA0??", "\x82\xA0??"},
  };
  const FakePlatform platform;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(ToAnsi(c.utf8, platform, Unencodable::kReference), c.references);
    EXPECT_EQ(ToAnsi(c.utf8, platform, Unencodable::kQuestionMark), c.question_marks);
  }
}

}  // namespace
}  // namespace brellam
