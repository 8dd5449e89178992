#include "text/utf16.h"

#include "text/utf8.h"

namespace brellam {

std::size_t AppendUtf16(std::string_view bytes, bool big_endian, std::string& utf8) {
  const auto unit = [&](std::size_t at) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return big_endian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
  };
  utf8.reserve(utf8.size() + bytes.size() / 2 * 3);
  for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
    char32_t code_point = unit(at);
    if (code_point >= 0xD800 && code_point <= 0xDFFF) {
      const bool high = code_point <= 0xDBFF;
      const char32_t low = high && at + 3 < bytes.size() ? unit(at + 2) : 0;
      if (!high || low < 0xDC00 || low > 0xDFFF) return at;
      code_point = 0x10000 + ((code_point - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(code_point, utf8);
  }
  return std::string_view::npos;
}

}  // namespace brellam
