// The first of the two looks through a skin text file: how it is encoded
// and where its pages lie, found in pieces of the file, keeping nothing of
// the text.
#ifndef BRELLAM_CONVERSION_SKIN_LAYOUT_H_
#define BRELLAM_CONVERSION_SKIN_LAYOUT_H_

#include <array>
#include <string>
#include <string_view>

#include "conversion/skin_text.h"
#include "conversion/text_encoding.h"
#include "text/code_page.h"

namespace brellam {

struct SkinLayout {
  TextEncoding encoding = TextEncoding::kAnsi;
  // Header, NewRes and Res, as offsets of the file's bytes.
  std::array<PageLines, 3> pages;
};

// Fed the file's bytes in pieces of any size, decides the encoding as
// DecodeText does and finds the pages as SplitSkinText does, in the text's
// own characters; PageWriter then writes each page from its bytes.
class SkinTextScanner {
 public:
  explicit SkinTextScanner(const CodePage& code_page)
      : marks_(code_page), check_([this](std::string_view units) { marks_.Feed(units); }) {}
  SkinTextScanner(const SkinTextScanner&) = delete;
  SkinTextScanner& operator=(const SkinTextScanner&) = delete;

  void Feed(std::string_view bytes) { check_.Feed(bytes); }
  // After the last piece: false, with the reason, for bytes that DecodeText
  // refuses, no bytes at all, or no text after a byte-order mark.
  bool Finish(SkinLayout* layout, std::string* reason);

 private:
  SkinMarks marks_;
  EncodingCheck check_;
};

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_LAYOUT_H_
