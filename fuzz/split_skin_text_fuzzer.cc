// Splits any bytes, and skins built from them, and holds every page against
// a slow line-by-line reading of the same rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/skin_text.h"
#include "fuzz_check.h"
#include "helpers/code_page.h"

namespace brellam {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::array<std::string_view, 3> kNames = {"Header.htm", "New.htm", "Res.htm"};

// Whether a character starts at each offset, parsing from the first byte.
std::vector<bool> CharacterStarts(std::string_view text, const CodePage& code_page) {
  std::vector<bool> starts(text.size() + 1, false);
  std::size_t i = 0;
  while (i < text.size()) {
    starts[i] = true;
    const bool pair =
        code_page.IsLead(text[i]) && i + 1 < text.size() && code_page.IsTrail(text[i + 1]);
    i += pair ? 2 : 1;
  }
  starts[i] = true;
  return starts;
}

bool NameAt(std::string_view text, std::size_t at, std::string_view name,
            const std::vector<bool>& starts) {
  return starts[at] && text.substr(at).starts_with(name);
}

std::string WithNewResAsNew(std::string_view text, const CodePage& code_page) {
  const std::vector<bool> starts = CharacterStarts(text, code_page);
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (NameAt(text, i, "NewRes.htm", starts)) {
      out += "New.htm";
      i += 10;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

struct Pages {
  std::string text;  // after the renaming
  std::string header;
  std::string new_res;
  std::string res;
};

// The rules as they are told: rename, cut into lines, mark the last line
// naming each page, copy the lines between the marks.
Pages SplitSlowly(std::string_view skin_text, const CodePage& code_page) {
  Pages pages{WithNewResAsNew(skin_text, code_page), {}, {}, {}};
  const std::string_view text = pages.text;
  const std::vector<bool> starts = CharacterStarts(text, code_page);
  std::vector<std::string_view> lines;
  std::array<long, 3> marks = {0, 0, 0};
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = text.find(kCrLf, begin);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    for (std::size_t name = 0; name < kNames.size(); ++name) {
      for (std::size_t at = begin; at < stop; ++at) {
        if (NameAt(text.substr(0, stop), at, kNames[name], starts)) {
          marks[name] = static_cast<long>(lines.size());
        }
      }
    }
    lines.push_back(text.substr(begin, stop - begin));
    if (end == std::string_view::npos) break;
    begin = end + kCrLf.size();
  }
  const auto copy = [&](long first, long last) {
    std::string page;
    for (long line = first; line <= last; ++line) {
      page.append(lines[static_cast<std::size_t>(line)]).append(kCrLf);
    }
    return page;
  };
  const long h = marks[0];
  const long n = marks[1];
  const long r = marks[2];
  const long last = static_cast<long>(lines.size()) - 1;
  if (n < r) {
    pages.header = copy(h + 1, n - 1);
    pages.new_res = copy(n + 1, r - 1);
    pages.res = copy(r + 1, last);
  } else {
    pages.header = copy(h + 1, r - 1);
    pages.res = copy(r + 1, n - 1);
    pages.new_res = copy(n + 1, last);
  }
  return pages;
}

bool IsWholeLines(const SkinPages& pages, ByteRange range) {
  const std::string_view text = pages.text;
  const bool starts_a_line = range.begin == 0 || text.substr(0, range.begin).ends_with(kCrLf);
  return range.begin <= range.end && range.end <= text.size() && starts_a_line &&
         (range.begin == range.end || text.substr(0, range.end).ends_with(kCrLf));
}

void CheckAgainstTheRules(std::string_view skin_text, const CodePage& code_page) {
  const SkinPages pages = SplitSkinText(std::string(skin_text), code_page);
  const Pages expected = SplitSlowly(skin_text, code_page);
  FUZZ_CHECK(pages.text == expected.text + std::string(kCrLf));
  for (const ByteRange range : {pages.header, pages.new_res, pages.res}) {
    FUZZ_CHECK(IsWholeLines(pages, range));
  }
  FUZZ_CHECK(pages.Header() == expected.header);
  FUZZ_CHECK(pages.NewRes() == expected.new_res);
  FUZZ_CHECK(pages.Res() == expected.res);
}

// A line of fuzz bytes without CR LF, in which no page file is named.
std::string PlainLine(FuzzedDataProvider& data) {
  std::string line = data.ConsumeRandomLengthString(64);
  for (std::size_t at = line.find(kCrLf); at != std::string::npos; at = line.find(kCrLf, at)) {
    line[at + 1] = ' ';
  }
  for (std::size_t dot = line.find(".htm"); dot != std::string::npos;
       dot = line.find(".htm", dot + 1)) {
    for (const std::string_view stem : {"Header", "New", "Res"}) {
      if (std::string_view(line).substr(0, dot).ends_with(stem)) line[dot + 3] = 'M';
    }
  }
  return line;
}

std::vector<std::string> PlainLines(FuzzedDataProvider& data) {
  std::vector<std::string> lines(data.ConsumeIntegralInRange<std::size_t>(0, 4));
  for (std::string& line : lines) line = PlainLine(data);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text.append(line).append(kCrLf);
  return text;
}

// Marker lines and pages in a known order split back into those pages; the
// part that comes last also takes the empty line after a final CR LF.
void CheckBuiltSkinSplitsBack(FuzzedDataProvider& data) {
  const std::string preamble = Joined(PlainLines(data));
  const auto marker = [&](std::string_view name) {
    return PlainLine(data) + " " + std::string(name) + " " + PlainLine(data) + std::string(kCrLf);
  };
  const std::string header_marker = marker("Header.htm");
  const std::string new_res_marker = marker(data.ConsumeBool() ? "NewRes.htm" : "New.htm");
  const std::string res_marker = marker("Res.htm");
  const bool res_first = data.ConsumeBool();
  const bool final_line_end = data.ConsumeBool();
  const std::string header = Joined(PlainLines(data));
  const std::string middle = Joined(PlainLines(data));
  const std::string last = Joined(PlainLines(data));

  std::string text = preamble + header_marker + header + (res_first ? res_marker : new_res_marker) +
                     middle + (res_first ? new_res_marker : res_marker) + last;
  if (!final_line_end) text.resize(text.size() - kCrLf.size());
  const std::string last_page = final_line_end ? last + std::string(kCrLf) : last;

  const SkinPages pages = SplitSkinText(text, CodePage932());
  FUZZ_CHECK(pages.Header() == header);
  FUZZ_CHECK(pages.NewRes() == (res_first ? last_page : middle));
  FUZZ_CHECK(pages.Res() == (res_first ? middle : last_page));
}

}  // namespace
}  // namespace brellam

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  brellam::CheckAgainstTheRules(input, brellam::CodePage932());
  brellam::CheckAgainstTheRules(input, brellam::SingleByteCodePage());
  FuzzedDataProvider data(bytes, size);
  brellam::CheckBuiltSkinSplitsBack(data);
  return 0;
}
