#include "skin_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "conversion/skin_text.h"
#include "helpers/code_page.h"

namespace brellam {
namespace {

// Every lead byte is followed by a trail byte, and no CR or LF stands alone.
bool IsWholeLinesOf932(const std::string& text) {
  const CodePage& cp = CodePage932();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (cp.IsLead(text[i])) {
      if (i + 1 == text.size() || !cp.IsTrail(text[++i])) return false;
    } else if (text[i] == '\r' || text[i] == '\n') {
      if (text.compare(i, 2, "\r\n") != 0) return false;
      ++i;
    }
  }
  return text.ends_with("\r\n");
}

TEST(SkinGeneratorTest, MakesWholeLinesOfTheExactSizeThatSplitAsASkin) {
  for (const std::size_t size : {kMinSkinSize, std::size_t{30} << 10, (std::size_t{1} << 20) + 7}) {
    SCOPED_TRACE(size);
    const std::string text = GenerateSkinText(size);
    EXPECT_EQ(text.size(), size);
    EXPECT_EQ(text, GenerateSkinText(size));
    EXPECT_TRUE(IsWholeLinesOf932(text));

    const SkinPages pages = SplitSkinText(text, CodePage932());
    EXPECT_TRUE(pages.Header().starts_with("<html>"));
    EXPECT_EQ(pages.text.find("NewRes.htm"), std::string::npos);
    // The Res page starts near the top and runs up to the body's last
    // mention of NewRes.htm, a few KiB before the end.
    EXPECT_LT(pages.res.begin, 1024u);
    EXPECT_GT(pages.Res().size() + 8192, size);
  }
}

}  // namespace
}  // namespace brellam
