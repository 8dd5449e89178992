// Code page 932 as Wine's own data has it (tests/data/code_page_932.txt,
// made by make_code_page_932_table.py): a reference that shares nothing
// with the tables and encoders it checks.
#ifndef BRELLAM_TESTS_CODE_PAGE_932_REFERENCE_H_
#define BRELLAM_TESTS_CODE_PAGE_932_REFERENCE_H_

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "text/code_page.h"

namespace brellam {

struct CodePage932Reference {
  CodePage code_page;                        // lead bytes as listed, trails as used
  std::map<std::uint16_t, char32_t> reads;   // code to the character it reads as
  std::map<char32_t, std::uint16_t> writes;  // character to the code written for it
};

inline const CodePage932Reference& ReferenceCodePage932() {
  static const CodePage932Reference reference = [] {
    std::string path = BRELLAM_TEST_DATA "/code_page_932.txt";
#ifdef _WIN32
    if (path.starts_with("/")) path = "Z:" + path;  // Wine's drive for the Unix root
#endif
    std::ifstream in(path);
    if (!in) std::abort();
    CodePage932Reference table;
    table.code_page.number = 932;
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string first;
      fields >> first;
      if (first == "lead") {
        for (std::string byte; fields >> byte;)
          table.code_page.lead[std::stoul(byte, nullptr, 16)] = true;
        continue;
      }
      if (first.empty() || first[0] == '#') continue;
      std::string character;
      std::string mark;
      fields >> character >> mark;
      const auto code = static_cast<std::uint16_t>(std::stoul(first, nullptr, 16));
      const auto c = static_cast<char32_t>(std::stoul(character, nullptr, 16));
      table.reads[code] = c;
      if (mark == "=") table.writes[c] = code;
      if (code > 0xFF) table.code_page.trail[code & 0xFF] = true;
    }
    if (table.reads.size() < 7000) std::abort();
    return table;
  }();
  return reference;
}

}  // namespace brellam

#endif  // BRELLAM_TESTS_CODE_PAGE_932_REFERENCE_H_
