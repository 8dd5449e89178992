// Splits any bytes, and skins built from them, and holds every page against
// a slow line-by-line reading of the same rules.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "code_page_932_reference.h"
#include "conversion/messages.h"
#include "conversion/skin_layout.h"
#include "conversion/skin_pack.h"
#include "conversion/skin_pages.h"
#include "conversion/skin_text.h"
#include "conversion/text_encoding.h"
#include "fake_platform.h"
#include "fuzz_check.h"
#include "text/code_page.h"
#include "text/utf8.h"

namespace brellam {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The rules are told on characters; a text here is a string of units (bytes
// of a code page, or code points) and where characters start in it.
template <typename Unit>
using Text = std::basic_string<Unit>;
template <typename Unit>
using StartsOf = std::function<std::vector<bool>(const Text<Unit>&)>;

template <typename Unit>
Text<Unit> Units(std::string_view ascii) {
  return Text<Unit>(ascii.begin(), ascii.end());
}

// Whether a character starts at each offset, parsing from the first byte.
std::vector<bool> CharacterStarts(const std::string& text, const CodePage& code_page) {
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

template <typename Unit>
bool NameAt(const Text<Unit>& text, std::size_t at, std::size_t stop, std::string_view name,
            const std::vector<bool>& starts) {
  return starts[at] && at + name.size() <= stop &&
         text.compare(at, name.size(), Units<Unit>(name)) == 0;
}

template <typename Unit>
Text<Unit> WithNewResAsNew(const Text<Unit>& text, const StartsOf<Unit>& starts_of) {
  const std::vector<bool> starts = starts_of(text);
  Text<Unit> out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (NameAt(text, i, text.size(), "NewRes.htm", starts)) {
      out += Units<Unit>("New.htm");
      i += 10;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

template <typename Unit>
struct Pages {
  Text<Unit> text;  // after the renaming
  Text<Unit> header;
  Text<Unit> new_res;
  Text<Unit> res;
};

// The rules as they are told: rename, cut into lines, mark the last line
// naming each page, copy the lines between the marks.
template <typename Unit>
Pages<Unit> SplitSlowly(const Text<Unit>& skin_text, const StartsOf<Unit>& starts_of) {
  constexpr std::array<std::string_view, 3> kNames = {"Header.htm", "New.htm", "Res.htm"};
  const Text<Unit> line_end = Units<Unit>(kCrLf);
  Pages<Unit> pages{WithNewResAsNew(skin_text, starts_of), {}, {}, {}};
  const Text<Unit>& text = pages.text;
  const std::vector<bool> starts = starts_of(text);
  std::vector<Text<Unit>> lines;
  std::array<long, 3> marks = {0, 0, 0};
  std::size_t begin = 0;
  while (true) {
    const std::size_t end = text.find(line_end, begin);
    const std::size_t stop = end == Text<Unit>::npos ? text.size() : end;
    for (std::size_t name = 0; name < kNames.size(); ++name) {
      for (std::size_t at = begin; at < stop; ++at) {
        if (NameAt(text, at, stop, kNames[name], starts))
          marks[name] = static_cast<long>(lines.size());
      }
    }
    lines.push_back(text.substr(begin, stop - begin));
    if (end == Text<Unit>::npos) break;
    begin = end + line_end.size();
  }
  const auto copy = [&](long first, long last) {
    Text<Unit> page;
    for (long line = first; line <= last; ++line) {
      page.append(lines[static_cast<std::size_t>(line)]).append(line_end);
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

// Code page 932's lead and trail bytes come from Wine's table, not from the
// one the split uses.
Pages<char> SplitSlowly(std::string_view skin_text, const CodePage& code_page) {
  const CodePage& table = code_page.number == 932 ? ReferenceCodePage932().code_page : code_page;
  return SplitSlowly<char>(std::string(skin_text),
                           [&](const std::string& text) { return CharacterStarts(text, table); });
}

bool IsWholeLines(const SkinPages& pages, ByteRange range) {
  const std::string_view text = pages.text;
  const bool starts_a_line = range.begin == 0 || text.substr(0, range.begin).ends_with(kCrLf);
  return range.begin <= range.end && range.end <= text.size() && starts_a_line &&
         (range.begin == range.end || text.substr(0, range.end).ends_with(kCrLf));
}

void CheckAgainstTheRules(std::string_view skin_text, const CodePage& code_page) {
  const SkinPages pages = SplitSkinText(std::string(skin_text), code_page);
  const Pages<char> expected = SplitSlowly(skin_text, code_page);
  FUZZ_CHECK(pages.text.size() ==
             pages.Header().size() + pages.NewRes().size() + pages.Res().size());
  for (const ByteRange range : {pages.header, pages.new_res, pages.res}) {
    FUZZ_CHECK(IsWholeLines(pages, range));
  }
  FUZZ_CHECK(pages.Header() == expected.header);
  FUZZ_CHECK(pages.NewRes() == expected.new_res);
  FUZZ_CHECK(pages.Res() == expected.res);
}

// Code points of well-formed UTF-8 (shortest form, no surrogates, up to
// U+10FFFF), or none, and then where the first character that is not
// starts in `bad`.
std::optional<std::u32string> SlowUtf8(std::string_view bytes, std::size_t* bad = nullptr) {
  std::u32string code_points;
  std::size_t unused;
  if (bad == nullptr) bad = &unused;
  for (std::size_t i = 0; i < bytes.size();) {
    *bad = i;
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t size = lead < 0x80           ? 1
                             : (lead >> 5) == 0x06 ? 2
                             : (lead >> 4) == 0x0E ? 3
                             : (lead >> 3) == 0x1E ? 4
                                                   : 0;
    if (size == 0 || i + size > bytes.size()) return std::nullopt;
    char32_t code_point = size == 1 ? lead : lead & (0x7Fu >> size);
    for (std::size_t k = 1; k < size; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next >> 6) != 2) return std::nullopt;
      code_point = (code_point << 6) | (next & 0x3Fu);
    }
    const std::size_t shortest = code_point < 0x80      ? 1
                                 : code_point < 0x800   ? 2
                                 : code_point < 0x10000 ? 3
                                                        : 4;
    if (shortest != size || code_point > 0x10FFFF ||
        (code_point >= 0xD800 && code_point <= 0xDFFF)) {
      return std::nullopt;
    }
    code_points.push_back(code_point);
    i += size;
  }
  return code_points;
}

std::optional<std::u32string> SlowUtf16(std::string_view bytes, bool big_endian,
                                        std::size_t* bad = nullptr) {
  std::size_t unused;
  if (bad == nullptr) bad = &unused;
  *bad = bytes.size();
  if (bytes.size() % 2 != 0) return std::nullopt;
  const auto unit_at = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? (char32_t{a} << 8 | b) : (char32_t{b} << 8 | a);
  };
  std::u32string code_points;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const char32_t unit = unit_at(i);
    if (unit < 0xD800 || unit > 0xDFFF) {
      code_points.push_back(unit);
      continue;
    }
    const char32_t second = i + 2 < bytes.size() ? unit_at(i + 2) : 0;
    *bad = i;
    if (unit > 0xDBFF || second < 0xDC00 || second > 0xDFFF) return std::nullopt;
    code_points.push_back(0x10000 + ((unit - 0xD800) << 10) + (second - 0xDC00));
    i += 2;
  }
  return code_points;
}

std::string Utf8Of(const std::u32string& code_points) {
  std::string utf8;
  for (const char32_t code_point : code_points) AppendUtf8(code_point, utf8);
  return utf8;
}

// A decoded Unicode text splits as its characters do by the rules.
void CheckDecodedPages(const DecodedText& decoded, const std::string& reason,
                       const std::u32string& code_points) {
  FUZZ_CHECK(reason.empty() && SlowUtf8(decoded.text) == code_points);
  const SkinPages pages = SplitSkinText(decoded.text, SingleByteCodePage());
  const Pages<char32_t> expected = SplitSlowly<char32_t>(
      code_points,
      [](const std::u32string& text) { return std::vector<bool>(text.size() + 1, true); });
  FUZZ_CHECK(pages.Header() == Utf8Of(expected.header));
  FUZZ_CHECK(pages.NewRes() == Utf8Of(expected.new_res));
  FUZZ_CHECK(pages.Res() == Utf8Of(expected.res));
}

// The input as UTF-16 in either byte order and as UTF-8 with and without a
// mark: decoded when it is well-formed, refused when a mark says what it
// is and it is not, and split on its characters.
void CheckUnicodeAgainstTheRules(std::string_view input) {
  for (const bool big_endian : {false, true}) {
    std::string reason;
    const DecodedText decoded =
        DecodeText((big_endian ? "\xFE\xFF" : "\xFF\xFE") + std::string(input), &reason);
    const std::optional<std::u32string> code_points = SlowUtf16(input, big_endian);
    FUZZ_CHECK(decoded.encoding == (big_endian ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le));
    FUZZ_CHECK(reason.empty() == code_points.has_value());
    if (code_points) CheckDecodedPages(decoded, reason, *code_points);
  }
  const std::optional<std::u32string> code_points = SlowUtf8(input);
  std::string marked_reason;
  const DecodedText marked = DecodeText("\xEF\xBB\xBF" + std::string(input), &marked_reason);
  FUZZ_CHECK(marked.encoding == TextEncoding::kUtf8 &&
             marked_reason.empty() == code_points.has_value());
  if (code_points) CheckDecodedPages(marked, marked_reason, *code_points);
  if (input.starts_with("\xEF\xBB\xBF") || input.starts_with("\xFF\xFE") ||
      input.starts_with("\xFE\xFF"))
    return;
  std::string unmarked_reason;
  const DecodedText unmarked = DecodeText(std::string(input), &unmarked_reason);
  const bool long_characters = code_points && std::any_of(code_points->begin(), code_points->end(),
                                                          [](char32_t c) { return c >= 0x800; });
  FUZZ_CHECK(unmarked.encoding == (long_characters ? TextEncoding::kUtf8 : TextEncoding::kAnsi));
  FUZZ_CHECK(unmarked_reason.empty());
  if (long_characters) CheckDecodedPages(unmarked, unmarked_reason, *code_points);
  if (!long_characters) FUZZ_CHECK(unmarked.text == input);
}

// What a skin text file gives by the rules, read slowly: the reason it is
// refused, or its encoding and its pages in code page 932.
struct SlowFile {
  std::string reason;
  TextEncoding encoding = TextEncoding::kAnsi;
  std::array<std::string, 3> pages;
};

// A code point in code page 932 as the fake platform holds it, or as one
// of the substitutes for other systems' tables, or as a reference.
std::string SlowAnsi(char32_t code_point, const FakePlatform& platform) {
  static const std::map<char32_t, std::string_view> kSubstitutes = {
      {0x301C, "\x81\x60"}, {0x2016, "\x81\x61"}, {0x2212, "\x81\x7C"}, {0x2014, "\x81\x5C"},
      {0x00A2, "\x81\x91"}, {0x00A3, "\x81\x92"}, {0x00AC, "\x81\xCA"}};
  const std::string utf8 = Utf8Of(std::u32string(1, code_point));
  std::string ansi;
  if (platform.EncodeAnsi(utf8, ansi) == utf8.size()) return ansi;
  const auto substitute = kSubstitutes.find(code_point);
  if (substitute != kSubstitutes.end()) return std::string(substitute->second);
  return "&#" + std::to_string(static_cast<unsigned long>(code_point)) + ";";
}

SlowFile ReadSlowly(std::string_view file, const FakePlatform& platform) {
  SlowFile slow;
  std::optional<std::u32string> code_points;
  std::size_t bad = 0;
  if (file.empty()) {
    slow.reason = kEmptyFile;
  } else if (file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF")) {
    const bool big_endian = file[0] == '\xFE';
    slow.encoding = big_endian ? TextEncoding::kUtf16Be : TextEncoding::kUtf16Le;
    code_points = SlowUtf16(file.substr(2), big_endian, &bad);
    if (file.size() % 2 != 0) {
      slow.reason = Utf16OddSize(file.size());
    } else if (!code_points) {
      slow.reason = Utf16UnpairedSurrogate(2 + bad);
    }
  } else if (file.starts_with("\xEF\xBB\xBF")) {
    slow.encoding = TextEncoding::kUtf8;
    code_points = SlowUtf8(file.substr(3), &bad);
    if (!code_points) slow.reason = IllFormedUtf8(3 + bad);
  } else {
    code_points = SlowUtf8(file);
    if (code_points && std::any_of(code_points->begin(), code_points->end(),
                                   [](char32_t c) { return c >= 0x800; })) {
      slow.encoding = TextEncoding::kUtf8;
    } else {
      const Pages<char> pages = SplitSlowly(file, CodePage932());
      slow.pages = {pages.header, pages.new_res, pages.res};
      return slow;
    }
  }
  if (slow.reason.empty() && code_points->empty()) slow.reason = kNoContent;
  if (!slow.reason.empty()) return slow;
  const Pages<char32_t> pages = SplitSlowly<char32_t>(*code_points, [](const std::u32string& text) {
    return std::vector<bool>(text.size() + 1, true);
  });
  const std::array<const std::u32string*, 3> in_order = {&pages.header, &pages.new_res, &pages.res};
  for (std::size_t part = 0; part < in_order.size(); ++part) {
    for (const char32_t c : *in_order[part]) slow.pages[part] += SlowAnsi(c, platform);
  }
  return slow;
}

// The file fed in pieces so small that every line end, name and character
// falls across two: refused for the same reason, or the same pages, each
// written from its own bytes in pieces.
void CheckStreamedFile(std::string_view file) {
  const FakePlatform platform;
  const SlowFile slow = ReadSlowly(file, platform);
  // 13: longer than the bytes a piece is joined with, as the program reads.
  for (const std::size_t piece : {1u, 2u, 3u, 7u, 13u}) {
    const auto feed = [&](std::uint64_t begin, std::uint64_t end, auto& to) {
      for (auto at = static_cast<std::size_t>(begin); at < end; at += piece) {
        to.Feed(file.substr(at, std::min<std::size_t>(piece, end - at)));
      }
    };
    SkinTextScanner scanner(CodePage932());
    feed(0, file.size(), scanner);
    SkinLayout layout;
    std::string reason;
    FUZZ_CHECK(scanner.Finish(&layout, &reason) == slow.reason.empty());
    FUZZ_CHECK(reason == slow.reason);
    if (!reason.empty()) continue;
    FUZZ_CHECK(layout.encoding == slow.encoding);
    for (std::size_t part = 0; part < layout.pages.size(); ++part) {
      std::string written;
      PageWriter writer(layout.encoding, layout.pages[part].line_end_after, platform,
                        [&written](std::string_view bytes) {
                          written += bytes;
                          return true;
                        });
      feed(layout.pages[part].begin, layout.pages[part].end, writer);
      FUZZ_CHECK(writer.Finish());
      FUZZ_CHECK(written == slow.pages[part]);
    }
  }
}

// Characters of every length and lead byte that UTF-8 has, and now and then
// bytes that are none, so that long well-formed stretches reach each check.
std::string MixedUtf8(FuzzedDataProvider& data) {
  static constexpr std::array<std::array<char32_t, 2>, 7> kRanges = {{{0x20, 0x7E},
                                                                      {0x80, 0x7FF},
                                                                      {0x800, 0xFFF},
                                                                      {0x1000, 0xCFFF},
                                                                      {0xD000, 0xD7FF},
                                                                      {0xE000, 0xFFFF},
                                                                      {0x10000, 0x10FFFF}}};
  static constexpr std::array<std::string_view, 9> kNoCharacters = {
      "\xED\xA0\x80",     "\xE0\x9F\xBF",     "\xC0\xAF", "\xC1\xBF", "\xF0\x8F\xBF\xBF",
      "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\x80",     "\xE3\x81"};
  std::string text;
  while (data.remaining_bytes() > 0) {
    const auto kind = data.ConsumeIntegralInRange<std::size_t>(0, kRanges.size() + 1);
    if (kind < kRanges.size()) {
      AppendUtf8(data.ConsumeIntegralInRange(kRanges[kind][0], kRanges[kind][1]), text);
    } else if (kind == kRanges.size()) {
      text += kCrLf;
    } else if (data.ConsumeIntegralInRange(0, 15) == 0) {
      text += kNoCharacters[data.ConsumeIntegralInRange<std::size_t>(0, kNoCharacters.size() - 1)];
    }
  }
  return text;
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

// Pages written over the decoded text itself are the pages written apart.
void CheckPagesInPlace(std::string_view input) {
  std::string reason;
  DecodedText decoded = DecodeText("\xEF\xBB\xBF" + std::string(input), &reason);
  if (!reason.empty()) return;
  const FakePlatform platform;
  const SkinPages apart = SplitSkinText(decoded.text, SingleByteCodePage());
  const SkinPages in_place = PagesInAnsi(std::move(decoded), platform);
  FUZZ_CHECK(in_place.Header() == ToAnsi(apart.Header(), platform, Unencodable::kReference));
  FUZZ_CHECK(in_place.NewRes() == ToAnsi(apart.NewRes(), platform, Unencodable::kReference));
  FUZZ_CHECK(in_place.Res() == ToAnsi(apart.Res(), platform, Unencodable::kReference));
}

// Page bytes, with names of pages, line ends and lead bytes in them often.
std::string FuzzPage(FuzzedDataProvider& data) {
  static constexpr std::array<std::string_view, 9> kPieces = {
      "Header.htm", "NewRes.htm", "New.htm", "Res.htm", "\r\n", "\r", "\n", "\x83", "\xE3\x81\x82"};
  std::string page;
  for (std::size_t piece = data.ConsumeIntegralInRange<std::size_t>(0, 6); piece > 0; --piece) {
    page +=
        data.ConsumeBool()
            ? std::string(kPieces[data.ConsumeIntegralInRange<std::size_t>(0, kPieces.size() - 1)])
            : data.ConsumeRandomLengthString(16);
  }
  return page;
}

// Packing any three pages gives a text that converts back into them, but
// for exactly the pages that the slow reading of the rules says would
// change; those the pack refuses.
void CheckPackRoundTrip(FuzzedDataProvider& data) {
  const std::string name = data.ConsumeRandomLengthString(16);
  std::array<std::string, 3> pages;
  for (std::string& page : pages) page = FuzzPage(data);
  const PackedSkin packed = PackSkinText(name, pages, CodePage932());

  std::array<std::string, 3> converted;
  const std::optional<std::u32string> code_points = SlowUtf8(packed.text);
  const bool unicode = code_points && std::any_of(code_points->begin(), code_points->end(),
                                                  [](char32_t c) { return c >= 0x800; });
  if (unicode) {
    const Pages<char32_t> slow = SplitSlowly<char32_t>(
        *code_points,
        [](const std::u32string& text) { return std::vector<bool>(text.size() + 1, true); });
    converted = {Utf8Of(slow.header), Utf8Of(slow.new_res), Utf8Of(slow.res)};
  } else {
    const Pages<char> slow = SplitSlowly(packed.text, CodePage932());
    converted = {slow.header, slow.new_res, slow.res};
  }
  std::vector<std::string_view> changed;
  for (std::size_t part = 0; part < pages.size(); ++part) {
    std::string expected = pages[part];
    if (!expected.empty() && !expected.ends_with(kCrLf)) expected += kCrLf;
    const bool ascii = std::all_of(expected.begin(), expected.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (converted[part] != expected || (unicode && !ascii)) changed.push_back(kPageFiles[part]);
  }
  FUZZ_CHECK(packed.changed == changed);
}

}  // namespace
}  // namespace brellam

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  brellam::CheckAgainstTheRules(input, brellam::CodePage932());
  brellam::CheckAgainstTheRules(input, brellam::SingleByteCodePage());
  brellam::CheckUnicodeAgainstTheRules(input);
  brellam::CheckPagesInPlace(input);
  brellam::CheckStreamedFile(input);
  FuzzedDataProvider data(bytes, size);
  brellam::CheckBuiltSkinSplitsBack(data);
  FuzzedDataProvider pack_data(bytes, size);
  brellam::CheckPackRoundTrip(pack_data);
  FuzzedDataProvider utf8_data(bytes, size);
  const std::string mixed = brellam::MixedUtf8(utf8_data);
  brellam::CheckUnicodeAgainstTheRules(mixed);
  brellam::CheckStreamedFile(mixed);
  return 0;
}
