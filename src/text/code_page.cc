#include "text/code_page.h"

namespace brellam {

namespace {

void Mark(std::array<bool, 256>& table, int first, int last) {
  for (int b = first; b <= last; ++b) table[static_cast<std::size_t>(b)] = true;
}

CodePage MakeCodePage932() {
  CodePage cp;
  cp.number = 932;
  Mark(cp.lead, 0x81, 0x9F);
  Mark(cp.lead, 0xE0, 0xFC);
  Mark(cp.trail, 0x40, 0x7E);
  Mark(cp.trail, 0x80, 0xFC);
  return cp;
}

}  // namespace

const CodePage& CodePage932() {
  static const CodePage cp = MakeCodePage932();
  return cp;
}

const CodePage& SingleByteCodePage() {
  static const CodePage cp;
  return cp;
}

bool StartsCharacter(std::string_view text, std::size_t pos, const CodePage& code_page) {
  // A byte that is no lead byte always ends a character, so a character
  // starts right after it; parse forward from there.
  std::size_t i = pos;
  while (i > 0 && code_page.IsLead(text[i - 1])) --i;
  while (i < pos) {
    const bool pair =
        code_page.IsLead(text[i]) && i + 1 < text.size() && code_page.IsTrail(text[i + 1]);
    i += pair ? 2 : 1;
  }
  return i == pos;
}

}  // namespace brellam
