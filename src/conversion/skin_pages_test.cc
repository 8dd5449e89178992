#include "conversion/skin_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fake_platform.h"

namespace brellam {
namespace {

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
