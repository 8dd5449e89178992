#include "text/file_name_case.h"

#include <algorithm>

#include "text/ascii.h"
#include "text/utf8.h"

namespace brellam {

namespace {

// Within [first, last], upper and lower case alternate, the upper first
// when `upper_even`.
bool InPairs(char32_t c, char32_t first, char32_t last, bool upper_even) {
  return c >= first && c <= last && ((c % 2 == 0) != upper_even);
}

char32_t UpperCase(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(AsciiUpper(static_cast<char>(c)));
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1
  if (c == 0xFF) return 0x178;
  if ((InPairs(c, 0x100, 0x137, true) && c != 0x131) || InPairs(c, 0x139, 0x148, false) ||
      InPairs(c, 0x14A, 0x177, true) || InPairs(c, 0x179, 0x17E, false)) {
    return c - 1;
  }
  // Greek: the accented vowels sit apart; final sigma stays (U+03C2).
  if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) return c - 0x20;
  if (c == 0x3AC) return 0x386;
  if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
  if (c == 0x3CC) return 0x38C;
  if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
  // Cyrillic.
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  if (InPairs(c, 0x460, 0x481, true) || InPairs(c, 0x48A, 0x4BF, true) ||
      InPairs(c, 0x4D0, 0x52F, true)) {
    return c - 1;
  }
  if (InPairs(c, 0x4C1, 0x4CE, false)) return c - 1;
  if (c == 0x4CF) return 0x4C0;
  if (c >= 0x2170 && c <= 0x217F) return c - 0x10;  // small Roman numerals
  if (c >= 0x24D0 && c <= 0x24E9) return c - 0x1A;  // circled letters
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 0x20;  // full-width Latin
  return c;
}

}  // namespace

std::string WindowsUpperCase(std::string_view utf8) {
  std::string upper;
  upper.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Character c = Utf8At(utf8, at);
    if (c.well_formed) {
      AppendUtf8(UpperCase(c.code_point), upper);
    } else {
      upper.append(utf8.substr(at, c.size));
    }
    at += c.size;
  }
  return upper;
}

bool WineNameIn(const std::vector<std::string>& names, std::string_view wanted, std::string& found,
                std::string* twin_names, CaseTwins twins) {
  if (twins == CaseTwins::kVeryNameWins && std::ranges::find(names, wanted) != names.end()) {
    found = wanted;
    return true;
  }
  std::vector<const std::string*> matches;
  for (const std::string& name : names) {
    if (IsSameFileName(name, wanted)) matches.push_back(&name);
  }
  if (matches.size() > 1) {
    // In the same order whatever order the folder lists them in.
    std::ranges::sort(matches, [](const std::string* a, const std::string* b) { return *a < *b; });
    twin_names->clear();
    for (const std::string* match : matches) twin_names->append(*match).push_back('\0');
    return false;
  }
  found = matches.empty() ? std::string(wanted) : *matches.front();
  return true;
}

}  // namespace brellam
