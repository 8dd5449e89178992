#include "text/shown_text.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "text/character_kinds.h"
#include "text/utf8.h"

namespace brellam {

namespace {

// The size of ShownText's escape at `at`, or 0.
std::size_t EscapeAt(std::string_view line, std::size_t at) {
  if (line[at] != '\\' || at + 1 == line.size()) return 0;
  const std::size_t size = line[at + 1] == 'x'   ? 4
                           : line[at + 1] == 'u' ? 6
                           : line[at + 1] == 'U' ? 10
                                                 : 0;
  return size <= line.size() - at ? size : 0;
}

// `line` cut to kMostLineColumns.
std::string CutLine(std::string_view line) {
  // Where each character or escape starts, and its columns.
  std::vector<std::pair<std::size_t, std::size_t>> units;
  std::size_t columns = 0;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t escape = EscapeAt(line, at);
    const Utf8Character c = Utf8At(line, at);
    const std::size_t width = escape > 0 ? escape : c.well_formed ? Columns(c.code_point) : 1;
    units.emplace_back(at, width);
    columns += width;
    at += escape > 0 ? escape : c.size;
  }
  if (columns <= kMostLineColumns) return std::string(line);
  // "…" is a wide character in the fonts of code page 932.
  const std::size_t room = (kMostLineColumns - 2) / 2;
  std::size_t head = 0;
  for (std::size_t used = 0; used + units[head].second <= room; ++head) used += units[head].second;
  std::size_t tail = units.size();
  for (std::size_t used = 0; used + units[tail - 1].second <= room; --tail) {
    used += units[tail - 1].second;
  }
  return std::string(line.substr(0, units[head].first)) + "…" +
         std::string(line.substr(units[tail].first));
}

}  // namespace

std::string ShownText(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Character c = Utf8At(utf8, at);
    // The line and paragraph separators break a line as surely as a line
    // feed where a desktop dialog lays the text out.
    const bool control =
        IsControlCharacter(c.code_point) || c.code_point == 0x2028 || c.code_point == 0x2029;
    if (c.well_formed && IsFormatCharacter(c.code_point)) {
      char escape[16];
      std::snprintf(escape, sizeof escape, c.code_point > 0xFFFF ? "\\U%08X" : "\\u%04X",
                    static_cast<unsigned>(c.code_point));
      shown.append(escape);
    } else if (c.well_formed && !control) {
      shown.append(utf8.substr(at, c.size));
    } else {
      for (const char byte : utf8.substr(at, c.size)) {
        const auto b = static_cast<unsigned char>(byte);
        shown.append("\\x").append(1, kHex[b >> 4]).append(1, kHex[b & 0xF]);
      }
    }
    at += c.size;
  }
  return shown;
}

std::string CutLongLines(std::string_view text) {
  std::string shown;
  for (std::size_t begin = 0; begin <= text.size();) {
    const std::size_t end = std::min(text.find('\n', begin), text.size());
    if (begin > 0) shown += '\n';
    shown += CutLine(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return shown;
}

}  // namespace brellam
