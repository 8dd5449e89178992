#include "text/command_line.h"

namespace brellam {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> arguments;
  std::size_t at = 0;
  while (true) {
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at == text.size()) return arguments;
    std::string& argument = arguments.emplace_back();
    bool quoted = false;
    while (at < text.size() && (quoted || !IsBlank(text[at]))) {
      std::size_t backslashes = 0;
      while (at + backslashes < text.size() && text[at + backslashes] == '\\') ++backslashes;
      if (backslashes > 0) {
        const bool before_quote = at + backslashes < text.size() && text[at + backslashes] == '"';
        argument.append(before_quote ? backslashes / 2 : backslashes, '\\');
        at += backslashes;
        if (before_quote && backslashes % 2 == 1) argument.push_back(text[at++]);
      } else if (text[at] != '"') {
        argument.push_back(text[at++]);
      } else if (quoted && at + 1 < text.size() && text[at + 1] == '"') {
        argument.push_back('"');
        at += 2;
      } else {
        quoted = !quoted;
        ++at;
      }
    }
  }
}

}  // namespace brellam
