#include "conversion/skin_text.h"

#include <array>
#include <cstring>
#include <utility>

namespace brellam {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kNewResName = "NewRes.htm";
constexpr std::string_view kNewName = "New.htm";
constexpr std::string_view kExtension = ".htm";

// The page names a line is searched for, without their common extension.
enum Part { kHeader, kNewRes, kRes };
constexpr std::array<std::string_view, 3> kStems = {"Header", "New", "Res"};

std::size_t FindName(std::string_view text, std::string_view name, std::size_t from,
                     const CodePage& code_page) {
  for (std::size_t at = text.find(name, from); at != kNone; at = text.find(name, at + 1)) {
    if (StartsCharacter(text, at, code_page)) return at;
  }
  return kNone;
}

// Rewrites every "NewRes.htm" as "New.htm" in place. The text only shrinks,
// and each match is looked for in bytes that have not been moved yet.
void ReplaceNewResNames(std::string& text, const CodePage& code_page) {
  const std::string_view source(text);
  std::size_t in = 0;
  std::size_t out = 0;
  for (std::size_t at = FindName(source, kNewResName, 0, code_page); at != kNone;
       at = FindName(source, kNewResName, in, code_page)) {
    std::memmove(text.data() + out, text.data() + in, at - in);
    out += at - in;
    std::memcpy(text.data() + out, kNewName.data(), kNewName.size());
    out += kNewName.size();
    in = at + kNewResName.size();
  }
  if (in == 0) return;
  std::memmove(text.data() + out, text.data() + in, text.size() - in);
  text.resize(out + text.size() - in);
}

// Where the last name of each part starts; 0 (in line 0) when it is nowhere.
std::array<std::size_t, 3> FindLastNames(std::string_view text, const CodePage& code_page) {
  std::array<std::size_t, 3> last = {0, 0, 0};
  for (std::size_t dot = text.find(kExtension); dot != kNone;
       dot = text.find(kExtension, dot + 1)) {
    for (std::size_t part = 0; part < kStems.size(); ++part) {
      const std::string_view stem = kStems[part];
      if (dot < stem.size()) continue;
      const std::size_t at = dot - stem.size();
      if (text.compare(at, stem.size(), stem) == 0 && StartsCharacter(text, at, code_page)) {
        last[part] = at;
      }
    }
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
  ReplaceNewResNames(skin_text, code_page);
  skin_text.append(kLineEnd);

  SkinPages pages;
  pages.text = std::move(skin_text);
  const std::string_view text(pages.text);
  const std::array<std::size_t, 3> last = FindLastNames(text, code_page);
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
