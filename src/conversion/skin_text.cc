#include "conversion/skin_text.h"

#include <array>
#include <cstring>
#include <utility>

namespace brellam {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kNewResName = kPageFiles[1];
constexpr std::string_view kNewName = "New.htm";
constexpr std::string_view kExtension = ".htm";
constexpr std::string_view kNewResStem = "NewRes";

// The page names a line is searched for, without their common extension.
enum Part { kHeader, kNewRes, kRes };
constexpr std::array<std::string_view, 3> kStems = {"Header", "New", "Res"};

bool HasNameAt(std::string_view text, std::size_t dot, std::string_view stem,
               const CodePage& code_page) {
  return dot >= stem.size() &&
         std::memcmp(text.data() + dot - stem.size(), stem.data(), stem.size()) == 0 &&
         StartsCharacter(text, dot - stem.size(), code_page);
}

// The next ".htm" from `from` on, or kNone.
std::size_t NextExtension(std::string_view text, std::size_t from) {
  while (from + kExtension.size() <= text.size()) {
    const void* dot = std::memchr(text.data() + from, '.', text.size() - from);
    if (dot == nullptr) return kNone;
    from = static_cast<std::size_t>(static_cast<const char*>(dot) - text.data());
    if (from + kExtension.size() <= text.size() && text[from + 1] == 'h' && text[from + 2] == 't' &&
        text[from + 3] == 'm') {
      return from;
    }
    ++from;
  }
  return kNone;
}

// Whose name, if any, ends at the ".htm" at `dot`; told apart by the letter
// before the dot. Of a "NewRes.htm", "Res.htm" is no name.
constexpr int kNewResFound = 3;
constexpr int kNothingFound = -1;
int NameEndingAt(std::string_view text, std::size_t dot, const CodePage& code_page) {
  switch (dot > 0 ? text[dot - 1] : '\0') {
    case 's':
      if (HasNameAt(text, dot, kNewResStem, code_page)) return kNewResFound;
      return HasNameAt(text, dot, kStems[kRes], code_page) ? kRes : kNothingFound;
    case 'w':
      return HasNameAt(text, dot, kStems[kNewRes], code_page) ? kNewRes : kNothingFound;
    case 'r':
      return HasNameAt(text, dot, kStems[kHeader], code_page) ? kHeader : kNothingFound;
    default:
      return kNothingFound;
  }
}

// One look through the text: every name ends in ".htm", so one search for
// it finds them all. Each "NewRes.htm" is written "New.htm" where it stands
// as it is found; the text only shrinks, so every byte moves towards the
// front at most once, and nothing is kept per name. Answers where the last
// name of each part starts in the text as it ends up (0, in line 0, when
// nowhere); of a "NewRes.htm", "Res.htm" is no name.
//
// Bytes from `out` on are still as they were read: what is written ends at
// least three bytes before `in`, the end of the last "NewRes.htm", whose
// "htm" no name ends in and no lead byte before a name reaches past.
std::array<std::size_t, 3> RenameAndFindNames(std::string& text, const CodePage& code_page) {
  std::array<std::size_t, 3> last = {0, 0, 0};
  std::size_t in = 0;
  std::size_t out = 0;
  for (std::size_t dot = NextExtension(text, 0); dot != kNone; dot = NextExtension(text, dot + 1)) {
    const int found = NameEndingAt(text, dot, code_page);
    if (found == kNewResFound) {
      const std::size_t at = dot - kNewResStem.size();
      std::memmove(text.data() + out, text.data() + in, at - in);
      out += at - in;
      std::memcpy(text.data() + out, kNewName.data(), kNewName.size());
      last[kNewRes] = out;
      out += kNewName.size();
      in = at + kNewResName.size();
      dot = in - 1;
    } else if (found != kNothingFound) {
      const auto part = static_cast<std::size_t>(found);
      last[part] = dot - kStems[part].size() - in + out;
    }
  }
  if (in > out) {
    std::memmove(text.data() + out, text.data() + in, text.size() - in);
    text.resize(out + text.size() - in);
  }
  return last;
}

// The whole line around `pos`, its CR LF included. Every line of the text
// ends with CR LF, the last one too.
ByteRange LineAround(std::string_view text, std::size_t pos) {
  std::size_t begin = pos;
  while (begin > 0 && !(text[begin - 1] == '\n' && begin >= 2 && text[begin - 2] == '\r')) {
    --begin;
  }
  return {begin, text.find(kLineEnd, pos) + kLineEnd.size()};
}

// The lines strictly between two marker lines; nothing when they touch or
// come in the other order.
ByteRange Between(ByteRange first, std::size_t end) {
  return {first.end, first.end < end ? end : first.end};
}

}  // namespace

SkinPages SplitSkinText(std::string skin_text, const CodePage& code_page) {
  const std::array<std::size_t, 3> last = RenameAndFindNames(skin_text, code_page);
  skin_text.append(kLineEnd);

  SkinPages pages;
  pages.text = std::move(skin_text);
  const std::string_view text(pages.text);
  const ByteRange header = LineAround(text, last[kHeader]);
  const ByteRange new_res = LineAround(text, last[kNewRes]);
  const ByteRange res = LineAround(text, last[kRes]);

  // The header part comes first; of the other two, the one whose marker
  // stands lower runs to the end of the text.
  if (new_res.begin < res.begin) {
    pages.header = Between(header, new_res.begin);
    pages.new_res = Between(new_res, res.begin);
    pages.res = Between(res, text.size());
  } else {
    pages.header = Between(header, res.begin);
    pages.res = Between(res, new_res.begin);
    pages.new_res = Between(new_res, text.size());
  }
  return pages;
}

}  // namespace brellam
