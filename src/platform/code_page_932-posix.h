// UTF-8 into code page 932 through the C library's iconv, character for
// character as Windows holds it, never as a look-alike.
#ifndef BRELLAM_PLATFORM_CODE_PAGE_932_POSIX_H_
#define BRELLAM_PLATFORM_CODE_PAGE_932_POSIX_H_

#include <iconv.h>

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

#include "text/utf8.h"

namespace brellam {

class CodePage932Encoder {
 public:
  // A code page 932 code as its bytes; the second is 0 for a one-byte code.
  using Code = std::array<char, 2>;

  // Once `table_from` bytes were encoded, texts are encoded through a table
  // made once from the C library's: it takes a few milliseconds to make,
  // and pays only for large texts.
  explicit CodePage932Encoder(std::size_t table_from) : table_from_(table_from) {}
  ~CodePage932Encoder();
  CodePage932Encoder(const CodePage932Encoder&) = delete;
  CodePage932Encoder& operator=(const CodePage932Encoder&) = delete;

  // As Platform::EncodeAnsiInto.
  Encoded Encode(std::string_view utf8, char* out);

 private:
  // Opened at the first use and kept: a page is encoded in many pieces.
  iconv_t to_932_ = reinterpret_cast<iconv_t>(-1);
  iconv_t from_932_ = reinterpret_cast<iconv_t>(-1);
  std::vector<Code> table_;
  std::size_t table_from_;
  std::size_t encoded_ = 0;
};

}  // namespace brellam

#endif  // BRELLAM_PLATFORM_CODE_PAGE_932_POSIX_H_
