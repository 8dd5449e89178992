#include "text/settings_ini.h"

#include "text/ascii.h"
#include "text/utf8.h"

namespace brellam {

namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kAsciiBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kAsciiBlanks) - first + 1);
}

// The next line, without its LF or CR LF; `rest` moves past it.
std::string_view NextLine(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// People write a path with blanks in quotes, as on a command line.
std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

std::string ReadIniValue(std::string_view ini_text, std::string_view section,
                         std::string_view key) {
  std::string_view rest = ini_text;
  if (rest.starts_with(kUtf8ByteOrderMark)) rest.remove_prefix(kUtf8ByteOrderMark.size());
  bool in_section = false;
  while (!rest.empty()) {
    const std::string_view line = Trimmed(NextLine(rest));
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      in_section = close != std::string_view::npos &&
                   SameNameIgnoringCase(Trimmed(line.substr(1, close - 1)), section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (in_section && equals != std::string_view::npos &&
        SameNameIgnoringCase(Trimmed(line.substr(0, equals)), key)) {
      return std::string(Unquoted(Trimmed(line.substr(equals + 1))));
    }
  }
  return {};
}

}  // namespace brellam
