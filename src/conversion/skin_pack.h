// Packing a skin folder's pages back into one skin text, the form in which
// a skin travels.
#ifndef BRELLAM_CONVERSION_SKIN_PACK_H_
#define BRELLAM_CONVERSION_SKIN_PACK_H_

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/skin_text.h"
#include "text/code_page.h"

namespace brellam {

struct PackedSkin {
  std::string text;
  // The page files whose pages converting `text` would not give back; the
  // text must not be written when there are any.
  std::vector<std::string_view> changed;
};

// The pages (bytes of the ANSI code page, in kPageFiles' order) as one skin
// text: a comment naming the skin, then each part's marker line and page,
// every line ending in CR LF, and no more CR LF at the end than converting
// adds back. Converting it gives each page back, except that a page that
// did not end with CR LF gains one; `changed` lists the pages for which
// that does not hold (a page naming another page, for one). Pure.
PackedSkin PackSkinText(std::string_view skin_name, const std::array<std::string, 3>& pages,
                        const CodePage& code_page);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_PACK_H_
