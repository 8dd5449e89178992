#include "conversion/skin_text.h"

#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace brellam {

namespace {

constexpr std::size_t kNone = std::string_view::npos;
constexpr std::string_view kNewResName = "NewRes.htm";
constexpr std::string_view kNewName = "New.htm";
constexpr std::string_view kExtension = ".htm";
constexpr std::string_view kNewResStem = "NewRes";

// The page names a line is searched for, without their common extension.
enum Part { kHeader, kNewRes, kRes };
constexpr std::array<std::string_view, 3> kStems = {"Header", "New", "Res"};

// What one look through the text finds: where "NewRes.htm" stands (to be
// written "New.htm"), and where the last name of each part starts.
struct Names {
  std::vector<std::size_t> new_res_names;
  std::array<std::size_t, 3> last = {0, 0, 0};  // 0 (in line 0) when nowhere
};

bool HasNameAt(std::string_view text, std::size_t dot, std::string_view stem,
               const CodePage& code_page) {
  return dot >= stem.size() && text.compare(dot - stem.size(), stem.size(), stem) == 0 &&
         StartsCharacter(text, dot - stem.size(), code_page);
}

// Every name ends in ".htm", so one search for it finds them all, in the
// text as it was read. The positions are those after the "NewRes.htm" names
// before them became "New.htm"; of such a name, "Res.htm" is not a name.
Names FindNames(std::string_view text, const CodePage& code_page) {
  constexpr std::size_t kShrink = kNewResName.size() - kNewName.size();
  Names names;
  for (std::size_t dot = text.find(kExtension); dot != kNone;
       dot = text.find(kExtension, dot + 1)) {
    const std::size_t shift = kShrink * names.new_res_names.size();
    if (HasNameAt(text, dot, kNewResStem, code_page)) {
      names.new_res_names.push_back(dot - kNewResStem.size());
      names.last[kNewRes] = dot - kNewResStem.size() - shift;
      continue;
    }
    for (std::size_t part = 0; part < kStems.size(); ++part) {
      if (HasNameAt(text, dot, kStems[part], code_page)) {
        names.last[part] = dot - kStems[part].size() - shift;
      }
    }
  }
  return names;
}

// Writes each "NewRes.htm" found as "New.htm", in place: the text only
// shrinks, so every byte moves towards the front at most once.
void ReplaceNewResNames(std::string& text, const std::vector<std::size_t>& at_names) {
  std::size_t in = 0;
  std::size_t out = 0;
  for (const std::size_t at : at_names) {
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
  const Names names = FindNames(skin_text, code_page);
  ReplaceNewResNames(skin_text, names.new_res_names);
  skin_text.append(kLineEnd);

  SkinPages pages;
  pages.text = std::move(skin_text);
  const std::string_view text(pages.text);
  const std::array<std::size_t, 3>& last = names.last;
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
