#include "skin_generator.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace brellam {

namespace {

// splitmix64: tiny, and the same sequence everywhere.
class Random {
 public:
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

 private:
  std::uint64_t state_ = 932;
};

// The top of a skin, in code page 932: a comment, the header page and the
// marker lines of the three pages.
constexpr std::string_view kTop =
    "<!-- \x83\x5C\x83\x74\x83\x67\x82\xCC\x83\x58\x83\x4C\x83\x93 -->\r\n"  // ソフトのスキン
    "<!-- Header.htm -->\r\n"
    "<html><head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
    "<style>body { color: #4a2030; } .new { border-left: 4px solid #ff8fb0; }</style>\r\n"
    "</head><body>\r\n"
    "<!-- NewRes.htm -->\r\n"
    "<dl class=\"new\"><dt><NAME/> <DATE/></dt><dd><MESSAGE/></dd></dl>\r\n"
    "<!-- Res.htm -->\r\n";

constexpr std::array<std::string_view, 4> kOpenTags = {"<dd>", "<p>", "<dt><b>", "<li>"};
constexpr std::array<std::string_view, 4> kCloseTags = {"</dd>", "</p>", "</b></dt>", "</li>"};
constexpr std::string_view kMention = "NewRes.htm";

// One double-byte character: mostly hiragana and kanji, some katakana
// (with "so", whose trail byte is a backslash), and punctuation.
void AppendCharacter(std::string& out, Random& random) {
  const std::size_t pick = random.Below(16);
  if (pick < 7) {  // hiragana 0x829F-0x82F1
    out += '\x82';
    out += static_cast<char>(0x9F + random.Below(0x53));
  } else if (pick < 12) {  // kanji with leads 0x89-0x97 and any trail byte
    out += static_cast<char>(0x89 + random.Below(15));
    const std::size_t trail = random.Below(188);
    out += static_cast<char>(trail < 63 ? 0x40 + trail : 0x80 + trail - 63);
  } else if (pick < 14) {  // katakana 0x8340-0x837E
    out += '\x83';
    out += static_cast<char>(0x40 + random.Below(0x3F));
  } else {  // "、" and "。"
    out += '\x81';
    out += pick == 14 ? '\x41' : '\x42';
  }
}

void AppendBodyLine(std::string& out, Random& random, bool mention) {
  const std::size_t tag = random.Below(kOpenTags.size());
  out += kOpenTags[tag];
  const std::size_t characters = 8 + random.Below(40);
  for (std::size_t i = 0; i < characters; ++i) {
    if (mention && i == characters / 2) out += kMention;
    AppendCharacter(out, random);
  }
  out += kCloseTags[tag];
  out += "\r\n";
}

}  // namespace

std::string GenerateSkinText(std::size_t size) {
  // Longer than any body line: tags, 47 characters, a mention and CR LF.
  constexpr std::size_t kLongestLine = 128;
  std::string text;
  text.reserve(size);
  text += kTop;
  Random random;
  for (std::size_t line = 1; text.size() + kLongestLine + 2 < size; ++line) {
    AppendBodyLine(text, random, line % 64 == 0);
  }
  // A blank line of the missing length makes the size exact.
  text.append(size - text.size() - 2, ' ').append("\r\n");
  return text;
}

}  // namespace brellam
