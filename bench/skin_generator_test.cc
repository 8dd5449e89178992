#include "skin_generator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "conversion/skin_text.h"
#include "text/code_page.h"
#ifdef _WIN32
#include "platform/platform-win32.h"
#else
#include "platform/platform-posix.h"
#endif

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

// The system's own conversion judges which characters code page 932 holds:
// it stops at the first it lacks.
std::string Into932(const std::string& utf8) {
#ifdef _WIN32
  const Win32Platform platform;
#else
  const PosixPlatform platform(0, nullptr);
#endif
  std::string ansi;
  if (platform.EncodeAnsi(utf8, ansi) != utf8.size()) ansi += '?';
  return ansi;
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

TEST(SkinGeneratorTest, MakesWholeLinesOfTheExactSizeThatSplitAsASkin) {
  const SkinOptions kOptions[] = {{}, {1, SkinEncoding::kCodePage932}, {64, SkinEncoding::kUtf8}};
  for (const SkinOptions& options : kOptions) {
    for (const std::size_t size :
         {kMinSkinSize, std::size_t{30} << 10, (std::size_t{1} << 20) + 7}) {
      const bool utf8 = options.encoding == SkinEncoding::kUtf8;
      SCOPED_TRACE(testing::Message()
                   << size << " bytes, every " << options.mention_every << (utf8 ? ", UTF-8" : ""));
      const std::string text = GenerateSkinText(size, options);
      EXPECT_EQ(text.size(), size);
      EXPECT_EQ(text, GenerateSkinText(size, options));
      EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF"));
      const std::string in932 = utf8 ? Into932(text) : text;
      EXPECT_EQ(in932.find('?'), std::string::npos);
      EXPECT_TRUE(IsWholeLinesOf932(in932));

      // Of the body lines, between the nine at the top and the blank one at
      // the end, every n-th mentions the name, as the top's marker does.
      const std::size_t body_lines = Count(text, "\r\n") - 10;
      EXPECT_EQ(Count(text, "NewRes.htm"), 1 + body_lines / options.mention_every);

      const SkinPages pages = SplitSkinText(in932, CodePage932());
      EXPECT_TRUE(pages.Header().starts_with("<html>"));
      EXPECT_EQ(pages.text.find("NewRes.htm"), std::string::npos);
      // The Res page starts near the top and runs up to the body's last
      // mention of NewRes.htm, a few KiB before the end.
      EXPECT_LT(pages.res.begin, 1024u);
      EXPECT_GT(pages.Res().size() + 8192, pages.text.size());
    }
  }
}

}  // namespace
}  // namespace brellam
