#include "text/shown_text.h"

#include "text/utf8.h"

namespace brellam {

std::string ShownText(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const Utf8Character c = Utf8At(utf8, at);
    // The line and paragraph separators break a line as surely as a line
    // feed where a desktop dialog lays the text out.
    const bool control = c.code_point < 0x20 || (c.code_point >= 0x7F && c.code_point <= 0x9F) ||
                         c.code_point == 0x2028 || c.code_point == 0x2029;
    if (c.well_formed && !control) {
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

}  // namespace brellam
