#include "conversion/skin_pack.h"

#include <algorithm>

#include "conversion/skin_text.h"
#include "conversion/text_encoding.h"

namespace brellam {

namespace {

std::string Comment(std::string_view text) { return "<!-- " + std::string(text) + " -->"; }

// What converting the packed text should give for a page.
std::string AsConverted(const std::string& page) {
  if (page.empty() || page.ends_with(kLineEnd)) return page;
  return page + std::string(kLineEnd);
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

PackedSkin PackSkinText(std::string_view skin_name, const std::array<std::string, 3>& pages,
                        const CodePage& code_page) {
  PackedSkin packed;
  std::string& text = packed.text;
  // Line 0 never reaches a page.
  text = Comment(skin_name) + std::string(kLineEnd);
  for (std::size_t part = 0; part < 2; ++part) {
    text += Comment(kPageFiles[part]) + std::string(kLineEnd) + AsConverted(pages[part]);
  }
  text += Comment(kPageFiles[2]);
  // Converting ends every line with CR LF, the last one too.
  std::string_view res = pages[2];
  if (res.ends_with(kLineEnd)) res.remove_suffix(kLineEnd.size());
  if (!pages[2].empty()) text.append(kLineEnd).append(res);

  // The promise is checked the way the text will be converted. A text that
  // would read as UTF-8 also has each page written back in the code page:
  // any page with more than ASCII comes back as other bytes.
  // Its own bytes are well-formed whatever it reads as: no reason arises.
  std::string unused;
  DecodedText decoded = DecodeText(text, &unused);
  const bool unicode = decoded.encoding != TextEncoding::kAnsi;
  const SkinPages converted =
      SplitSkinText(std::move(decoded.text), unicode ? SingleByteCodePage() : code_page);
  const std::array<std::string_view, 3> got = {converted.Header(), converted.NewRes(),
                                               converted.Res()};
  for (std::size_t part = 0; part < pages.size(); ++part) {
    if (got[part] != AsConverted(pages[part]) || (unicode && !IsAscii(pages[part]))) {
      packed.changed.push_back(kPageFiles[part]);
    }
  }
  return packed;
}

}  // namespace brellam
