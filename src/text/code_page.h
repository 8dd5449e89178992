// Which bytes of an ANSI code page pair up into one double-byte character:
// all that a search through text kept in the code page's bytes needs to
// know to keep a trail byte from starting a match.
#ifndef BRELLAM_TEXT_CODE_PAGE_H_
#define BRELLAM_TEXT_CODE_PAGE_H_

#include <array>
#include <cstddef>
#include <string_view>

namespace brellam {

struct CodePage {
  int number = 0;                 // as Windows numbers code pages; 0 when none
  std::array<bool, 256> lead{};   // may start a double-byte character
  std::array<bool, 256> trail{};  // may end one that a lead byte started

  bool IsLead(char c) const { return lead[static_cast<unsigned char>(c)]; }
  bool IsTrail(char c) const { return trail[static_cast<unsigned char>(c)]; }
};

// Code page 932: lead 0x81-0x9F and 0xE0-0xFC, trail 0x40-0x7E and 0x80-0xFC.
const CodePage& CodePage932();

// A code page with single-byte characters only.
const CodePage& SingleByteCodePage();

// Whether a character starts at `pos`: no lead byte before it claims the
// byte at `pos` as its trail. Looks back only over the run of lead bytes
// that ends just before `pos`, so a scan that asks at growing positions
// stays linear as long as the bytes it asks about are not lead bytes.
// `lead_before`: `text` is a piece of a longer text, just after a lead byte
// that starts a character, which takes text[0] when that is a trail byte.
bool StartsCharacterAfterLeads(std::string_view text, std::size_t pos, const CodePage& code_page,
                               bool lead_before);
inline bool StartsCharacter(std::string_view text, std::size_t pos, const CodePage& code_page,
                            bool lead_before = false) {
  // A byte that is no lead byte always ends a character.
  return (pos > 0 && !code_page.IsLead(text[pos - 1])) ||
         StartsCharacterAfterLeads(text, pos, code_page, lead_before);
}

// Whether `text` ends in a lead byte that starts a character, so that the
// text after it begins as StartsCharacter's `lead_before` says.
bool EndsInLead(std::string_view text, const CodePage& code_page, bool lead_before = false);

}  // namespace brellam

#endif  // BRELLAM_TEXT_CODE_PAGE_H_
