#include "conversion/skin_pages.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace brellam {

SkinPages PagesInAnsi(DecodedText skin_text, const Platform& platform) {
  if (skin_text.encoding == TextEncoding::kAnsi) {
    return SplitSkinText(std::move(skin_text.text), platform.AnsiCodePage());
  }
  // Page names are ASCII, which UTF-8 never uses inside a longer character:
  // every byte of a name starts a character.
  SkinPages pages = SplitSkinText(std::move(skin_text.text), SingleByteCodePage());
  std::string& text = pages.text;
  std::array<ByteRange*, 3> in_order = {&pages.header, &pages.new_res, &pages.res};
  std::sort(in_order.begin(), in_order.end(),
            [](const ByteRange* a, const ByteRange* b) { return a->begin < b->begin; });
  // What is written ends at `written`; what is still to be read has moved
  // back by `moved` where a reference needed room.
  std::size_t written = 0;
  std::size_t moved = 0;
  std::string replacement;
  for (ByteRange* range : in_order) {
    std::size_t read = range->begin + moved;
    range->begin = written;
    while (true) {
      const std::size_t end = range->end + moved;
      const Encoded encoded =
          platform.EncodeAnsiInto(std::string_view(text).substr(read, end - read), &text[written]);
      written += encoded.written;
      read += encoded.taken;
      if (read == end) break;
      replacement.clear();
      const std::size_t size =
          AppendReplacement(text, read, platform, Unencodable::kReference, replacement);
      if (written + replacement.size() > read + size) {
        // Room for this reference and more like it, paid for by the rest.
        const std::size_t room =
            std::max(written + replacement.size() - read - size, (text.size() - read) / 8);
        text.insert(read, room, '\0');
        read += room;
        moved += room;
      }
      std::memcpy(&text[written], replacement.data(), replacement.size());
      written += replacement.size();
      read += size;
    }
    range->end = written;
  }
  text.resize(written);
  return pages;
}

}  // namespace brellam
