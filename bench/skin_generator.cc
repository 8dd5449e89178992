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

// The first line of a skin, a comment: "ソフトのスキン" in each encoding.
constexpr std::string_view kTitle932 =
    "<!-- \x83\x5C\x83\x74\x83\x67\x82\xCC\x83\x58\x83\x4C\x83\x93 -->\r\n";
constexpr std::string_view kTitleUtf8 =
    "<!-- \xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88\xE3\x81\xAE\xE3\x82\xB9\xE3\x82\xAD\xE3\x83\xB3 "
    "-->\r\n";

// The rest of the top: the header page and the marker lines of the three
// pages.
constexpr std::string_view kTop =
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

// Kanji of UTF-8 texts: runs of code points that code page 932 holds whole,
// all of its first level, so that converting back writes no character
// reference.
struct KanjiRun {
  std::size_t first;
  std::size_t count;
};
constexpr std::array<KanjiRun, 8> kKanjiRuns = {{{0x5408, 10},
                                                 {0x5C3A, 7},
                                                 {0x5B97, 7},
                                                 {0x53C8, 7},
                                                 {0x5143, 7},
                                                 {0x7D17, 5},
                                                 {0x79BD, 5},
                                                 {0x65E5, 5}}};

// A character of the Basic Multilingual Plane from U+0800 on: three bytes.
void AppendUtf8(std::string& out, std::size_t code_point) {
  out += static_cast<char>(0xE0 | code_point >> 12);
  out += static_cast<char>(0x80 | (code_point >> 6 & 0x3F));
  out += static_cast<char>(0x80 | (code_point & 0x3F));
}

// A character given by its code in code page 932 and in Unicode.
void Append(std::string& out, SkinEncoding encoding, std::size_t cp932, std::size_t unicode) {
  if (encoding == SkinEncoding::kUtf8) {
    AppendUtf8(out, unicode);
  } else {
    out += static_cast<char>(cp932 >> 8);
    out += static_cast<char>(cp932 & 0xFF);
  }
}

// One double-byte character of code page 932: mostly hiragana and kanji,
// some katakana (with "so", whose trail byte is a backslash), and
// punctuation.
void AppendCharacter(std::string& out, Random& random, SkinEncoding encoding) {
  const std::size_t pick = random.Below(16);
  if (pick < 7) {  // hiragana 0x829F-0x82F1
    const std::size_t i = random.Below(0x53);
    Append(out, encoding, 0x829F + i, 0x3041 + i);
  } else if (pick < 12 && encoding == SkinEncoding::kUtf8) {
    const KanjiRun& run = kKanjiRuns[random.Below(kKanjiRuns.size())];
    AppendUtf8(out, run.first + random.Below(run.count));
  } else if (pick < 12) {  // kanji with leads 0x89-0x97 and any trail byte
    out += static_cast<char>(0x89 + random.Below(15));
    const std::size_t trail = random.Below(188);
    out += static_cast<char>(trail < 63 ? 0x40 + trail : 0x80 + trail - 63);
  } else if (pick < 14) {  // katakana 0x8340-0x837E
    const std::size_t i = random.Below(0x3F);
    Append(out, encoding, 0x8340 + i, 0x30A1 + i);
  } else {  // "、" and "。"
    Append(out, encoding, 0x8141 + pick - 14, 0x3001 + pick - 14);
  }
}

void AppendBodyLine(std::string& out, Random& random, bool mention, SkinEncoding encoding) {
  const std::size_t tag = random.Below(kOpenTags.size());
  out += kOpenTags[tag];
  const std::size_t characters = 8 + random.Below(40);
  for (std::size_t i = 0; i < characters; ++i) {
    if (mention && i == characters / 2) out += kMention;
    AppendCharacter(out, random, encoding);
  }
  out += kCloseTags[tag];
  out += "\r\n";
}

}  // namespace

std::string GenerateSkinText(std::size_t size, const SkinOptions& options) {
  const bool utf8 = options.encoding == SkinEncoding::kUtf8;
  // Longer than any body line: tags, 47 characters, a mention and CR LF.
  const std::size_t longest_line = 32 + 48 * (utf8 ? 3 : 2);
  std::string text;
  text.reserve(size);
  text += utf8 ? kTitleUtf8 : kTitle932;
  text += kTop;
  Random random;
  for (std::size_t line = 1; text.size() + longest_line + 2 < size; ++line) {
    AppendBodyLine(text, random, line % options.mention_every == 0, options.encoding);
  }
  // A blank line of the missing length makes the size exact.
  text.append(size - text.size() - 2, ' ').append("\r\n");
  return text;
}

}  // namespace brellam
