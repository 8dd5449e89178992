// Command lines as Windows hands them over: one text, split into arguments
// the way its C runtime does.
#ifndef BRELLAM_TEXT_COMMAND_LINE_H_
#define BRELLAM_TEXT_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace brellam {

struct CommandLine {
  std::string text;  // what follows the program's own path
  std::vector<std::string> arguments;
};

// Blanks and tabs separate arguments except between double quotes, which
// are dropped; "" inside quotes is one quote; backslashes are literal
// unless they stand before a quote, where each pair gives one backslash and
// an odd one makes the quote literal.
std::vector<std::string> SplitCommandLine(std::string_view text);

}  // namespace brellam

#endif  // BRELLAM_TEXT_COMMAND_LINE_H_
