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

namespace {

// Where the character that holds the run of lead bytes just before `pos`
// starts: a byte that is no lead byte always ends a character.
std::size_t RunStart(std::string_view text, std::size_t pos, const CodePage& code_page,
                     bool lead_before) {
  std::size_t i = pos;
  while (i > 0 && code_page.IsLead(text[i - 1])) --i;
  return i == 0 && lead_before && !text.empty() && code_page.IsTrail(text[0]) ? 1 : i;
}

}  // namespace

bool StartsCharacterAfterLeads(std::string_view text, std::size_t pos, const CodePage& code_page,
                               bool lead_before) {
  // Parse forward from the start of the run.
  std::size_t i = RunStart(text, pos, code_page, lead_before);
  while (i < pos) {
    const bool pair =
        code_page.IsLead(text[i]) && i + 1 < text.size() && code_page.IsTrail(text[i + 1]);
    i += pair ? 2 : 1;
  }
  return i == pos;
}

bool EndsInLead(std::string_view text, const CodePage& code_page, bool lead_before) {
  if (text.empty()) return lead_before;
  std::size_t i = RunStart(text, text.size(), code_page, lead_before);
  while (i + 1 < text.size()) i += code_page.IsTrail(text[i + 1]) ? 2u : 1u;
  return i + 1 == text.size() && code_page.IsLead(text[i]);
}

}  // namespace brellam
