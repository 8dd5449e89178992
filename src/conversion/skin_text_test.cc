#include "conversion/skin_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "conversion/skin_pages.h"
#include "fake_platform.h"

namespace brellam {
namespace {

struct SplitCase {
  const char* name;
  std::string skin_text;
  std::string header;
  std::string new_res;
  std::string res;
};

std::string CaseName(const testing::TestParamInfo<SplitCase>& param_info) {
  return param_info.param.name;
}

class SplitSkinTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitSkinTextTest, CutsPagesAtTheLastMarkerLines) {
  const SplitCase& c = GetParam();
  const SkinPages pages = SplitSkinText(c.skin_text, CodePage932());
  EXPECT_EQ(pages.Header(), c.header);
  EXPECT_EQ(pages.NewRes(), c.new_res);
  EXPECT_EQ(pages.Res(), c.res);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitSkinTextTest,
    testing::Values(
        SplitCase{"HeaderNewResRes", "Header.htm\r\nh\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr\r\n",
                  "h\r\n", "n\r\n", "r\r\n\r\n"},
        SplitCase{"ResBeforeNewResTheLastPartTakesTheEmptyLine",
                  "Header.htm\r\nh\r\nRes.htm\r\nr\r\nNewRes.htm\r\nn\r\n", "h\r\n", "n\r\n\r\n",
                  "r\r\n"},
        SplitCase{"NoMarkerEverythingButLineZeroIsNewRes", "zero\r\none\r\ntwo", "",
                  "one\r\ntwo\r\n", ""},
        SplitCase{"LineZeroIsDroppedWithoutHeaderMarker", "zero\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr",
                  "", "n\r\n", "r\r\n"},
        SplitCase{"OneLineNamingNewAndResGivesNoResText", "Header.htm\r\nh\r\nNew.htm Res.htm\r\nz",
                  "h\r\n", "z\r\n", ""},
        SplitCase{"MentionOfResInsideResMovesTheMark",
                  "Header.htm\r\nh\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr1\r\nsee Res.htm\r\nr2\r\n",
                  "h\r\n", "n\r\nRes.htm\r\nr1\r\n", "r2\r\n\r\n"},
        SplitCase{"MentionBeforeTheRealMarkerChangesNothing",
                  "Header.htm\r\nh Res.htm\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr", "h Res.htm\r\n",
                  "n\r\n", "r\r\n"},
        SplitCase{"MentionOfNewResInsideResSwapsTheBranch",
                  "Header.htm\r\nh\r\nNewRes.htm\r\nn\r\nRes.htm\r\nr1\r\na NewRes.htm\r\nr2",
                  "h\r\nNew.htm\r\nn\r\n", "r2\r\n", "r1\r\n"},
        SplitCase{"EveryNewResNameIsWrittenAsNew",
                  "Header.htm\r\nh\r\nRes.htm\r\nr\r\nsee NewRes.htm, NewNewRes.html\r\n"
                  "NewRes.htm\r\nn",
                  "h\r\n", "n\r\n", "r\r\nsee New.htm, NewNew.html\r\n"},
        SplitCase{"NamesAreCaseSensitive", "top\r\nheader.htm\r\nh\r\nNew.htm\r\nn\r\nRes.htm\r\nr",
                  "header.htm\r\nh\r\n", "n\r\n", "r\r\n"},
        SplitCase{"HeaderAfterTheOthersGivesNoHeaderText",
                  "New.htm\r\nn\r\nRes.htm\r\nr\r\nHeader.htm\r\nx", "", "n\r\n",
                  "r\r\nHeader.htm\r\nx\r\n"},
        SplitCase{"LoneCrAndLfStayInsideTheLine",
                  "Header.htm\r\na\rb\nc\r\nNew.htm\n\r\nn\r\nRes.htm\rr\r\nr", "a\rb\nc\r\n",
                  "n\r\n", "r\r\n"},
        SplitCase{"OneLineWithoutLineEnd", "Header.htm New.htm Res.htm", "", "", ""},
        SplitCase{"EmptyPagesBetweenAdjacentMarkers", "Header.htm\r\nNew.htm\r\nRes.htm\r\n", "",
                  "", "\r\n"}),
    CaseName);

// Code page 932: a lead byte with the byte after it is one character, so a
// name that begins on a trail byte is no name at all.
INSTANTIATE_TEST_SUITE_P(
    CodePage932, SplitSkinTextTest,
    testing::Values(
        // 0x83 'R' is one character: no Res marker, so R stays 0.
        SplitCase{"TrailByteStartsNoMarker", "Header.htm\r\nh\r\nNew.htm\r\nn\r\n\x83Res.htm\r\nr",
                  "", "n\r\n\x83Res.htm\r\nr\r\n", "h\r\n"},
        // "ソ" is 0x83 0x5C; the name after it starts a character.
        SplitCase{"NameAfterADoubleByteCharacterCounts",
                  "Header.htm\r\nh\r\nNew.htm\r\nn\r\n\x83\x5CRes.htm\r\nr", "h\r\n", "n\r\n",
                  "r\r\n"},
        // After 0x83 'N' the text reads "ewRes.htm": not replaced, a Res marker.
        SplitCase{"NewResOnATrailByteStaysAndNamesRes",
                  "Header.htm\r\nh\r\nNew.htm\r\nn\r\n\x83NewRes.htm\r\nr", "h\r\n", "n\r\n",
                  "r\r\n"},
        // Three lead bytes: the third pairs with 'R'.
        SplitCase{"OddRunOfLeadBytes", "Header.htm\r\nNew.htm\r\n\x81\x81\x81Res.htm\r\nr", "",
                  "\x81\x81\x81Res.htm\r\nr\r\n", ""},
        SplitCase{"EvenRunOfLeadBytes", "Header.htm\r\nNew.htm\r\n\x81\x81Res.htm\r\nr", "", "",
                  "r\r\n"},
        // Bytes no decoder would accept reach the page as they were.
        SplitCase{
            "UndecodableBytesPassThrough",
            "Header.htm\r\n\x80\xA0\xFD\xFE\xFF\x81\r\nNew.htm\r\n\x95\x5C\x83\x5C\r\nRes.htm",
            "\x80\xA0\xFD\xFE\xFF\x81\r\n", "\x95\x5C\x83\x5C\r\n", ""}),
    CaseName);

// Marks are offsets, not 16-bit line numbers: markers and mentions far past
// line 32767 split like any other.
TEST(SplitSkinTextLongTest, MarkersBeyondLine32767) {
  std::string text;
  std::string expected_res;
  for (int line = 0; line < 40000; ++line) text += "x\r\n";
  text += "Header.htm\r\nh\r\nNewRes.htm\r\nn\r\nRes.htm\r\n";
  for (int line = 0; line < 40000; ++line) {
    text += "r\r\n";
    expected_res += "r\r\n";
  }
  expected_res += "\r\n";
  const SkinPages pages = SplitSkinText(text, CodePage932());
  EXPECT_EQ(pages.Header(), "h\r\n");
  EXPECT_EQ(pages.NewRes(), "n\r\n");
  EXPECT_EQ(pages.Res(), expected_res);
}

// A page many times the pieces it is written in, fed in long pieces, with
// a run longer than one: the sink never gets more than a bounded piece,
// and the page comes whole.
TEST(PageWriterTest, WritesALargePageInBoundedPieces) {
  struct Case {
    TextEncoding encoding;
    std::string line;
    std::string written;
  };
  const Case cases[] = {
      {TextEncoding::kAnsi, "<p>\x83\x5CNewRes.htm</p>\r\n", "<p>\x83\x5CNew.htm</p>\r\n"},
      {TextEncoding::kUtf8, "<p>ソNewRes.htm😀</p>\r\n", "<p>\x83\x5CNew.htm&#128512;</p>\r\n"},
  };
  const FakePlatform platform;
  for (const Case& c : cases) {
    std::string page(3 * kPagePiece, 'a');
    std::string expected = page;
    for (int i = 0; i < 40000; ++i) {
      page += c.line;
      expected += c.written;
    }
    std::string written;
    std::size_t largest = 0;
    PageWriter writer(c.encoding, true, platform, [&](std::string_view bytes) {
      largest = std::max(largest, bytes.size());
      written += bytes;
      return true;
    });
    for (std::size_t at = 0; at < page.size(); at += 4 * kPagePiece) {
      writer.Feed(std::string_view(page).substr(at, 4 * kPagePiece));
    }
    EXPECT_TRUE(writer.Finish());
    EXPECT_LE(largest, kPagePiece);
    EXPECT_EQ(written, expected + "\r\n");
  }
}

}  // namespace
}  // namespace brellam
