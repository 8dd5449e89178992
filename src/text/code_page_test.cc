#include "text/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "code_page_932_reference.h"

namespace brellam {
namespace {

TEST(CodePageTest, CharacterStartsIn932) {
  struct Case {
    std::string text;
    std::size_t pos;
    bool starts;
  };
  const Case cases[] = {
      {"abc", 0, true},
      {"abc", 2, true},
      {"\x83\x5C"
       "R",
       1, false},  // "ソ": 0x5C is its trail byte
      {"\x83\x5C"
       "R",
       2, true},
      {"\x83R", 1, false},     // a letter can be a trail byte too
      {"\x81\x81R", 2, true},  // two lead bytes make one character
      {"\x81\x81\x81R", 3, false},
      {"\x83\r", 1, true},  // CR is no trail byte: the lead byte stands alone
      {"\xA0R", 1, true},   // 0xA0 is no lead byte
      {"\xFD"
       "R",
       1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text) + " at " + std::to_string(c.pos));
    EXPECT_EQ(StartsCharacter(c.text, c.pos, CodePage932()), c.starts);
    EXPECT_TRUE(StartsCharacter(c.text, c.pos, SingleByteCodePage()));
  }
}

// A piece cut after a lead byte: whether it ends in one, and whether the
// next piece starts a character at its first byte.
TEST(CodePageTest, PiecesCutAfterALeadByte) {
  const std::tuple<std::string, bool, bool> ends[] = {
      {"\x83", false, true},         {"\x83\x5C", false, false}, {"\x81\x81", false, false},
      {"\x81\x81\x81", false, true}, {"\x81\x81", true, true},   {"", true, true}};
  for (const auto& [text, before, lead] : ends)
    EXPECT_EQ(EndsInLead(text, CodePage932(), before), lead);
  EXPECT_FALSE(StartsCharacter("\x5C", 0, CodePage932(), true));  // the lead's trail
  EXPECT_TRUE(StartsCharacter("\r", 0, CodePage932(), true));     // no trail: it stood alone
}

TEST(CodePageTest, LeadAndTrailBytesOf932AreWines) {
  const CodePage& reference = ReferenceCodePage932().code_page;
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(CodePage932().IsLead(static_cast<char>(b)), reference.IsLead(static_cast<char>(b)));
    EXPECT_EQ(CodePage932().IsTrail(static_cast<char>(b)), reference.IsTrail(static_cast<char>(b)));
  }
}

}  // namespace
}  // namespace brellam
