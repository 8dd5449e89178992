// The split of a whole text in memory: each page written by a page writer
// (PageRenamer, PageWriter) over the text it comes from, so that a large
// text needs no second buffer.
#ifndef BRELLAM_CONVERSION_PAGES_OVER_TEXT_H_
#define BRELLAM_CONVERSION_PAGES_OVER_TEXT_H_

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "conversion/skin_text.h"

namespace brellam {

// `make_writer(lines, sink)` makes the writer of a page: Feed, then Finish.
template <typename MakeWriter>
SkinPages WritePagesOver(std::string text, const std::array<PageLines, 3>& pages,
                         MakeWriter&& make_writer) {
  std::array<std::size_t, 3> in_order = {0, 1, 2};
  std::sort(in_order.begin(), in_order.end(),
            [&pages](std::size_t a, std::size_t b) { return pages[a].begin < pages[b].begin; });
  std::array<ByteRange, 3> written_pages;
  // What is written ends at `written`; what is still to be read has moved
  // on by `moved` where a page needed more room than its text had.
  std::size_t written = 0;
  std::size_t moved = 0;
  std::string piece;
  for (const std::size_t part : in_order) {
    std::size_t read = static_cast<std::size_t>(pages[part].begin) + moved;
    const auto end = [&] { return static_cast<std::size_t>(pages[part].end) + moved; };
    written_pages[part].begin = written;
    auto writer = make_writer(pages[part], [&](std::string_view bytes) {
      if (written + bytes.size() > read) {
        // Room for these bytes and more like them, paid for by the rest.
        const std::size_t room = std::max(written + bytes.size() - read, (text.size() - read) / 8);
        text.insert(read, room, '\0');
        read += room;
        moved += room;
      }
      std::memcpy(text.data() + written, bytes.data(), bytes.size());
      written += bytes.size();
      return true;
    });
    // Each piece is read into a copy before anything is written for it.
    while (read < end()) {
      piece.assign(text, read, std::min(kPagePiece, end() - read));
      read += piece.size();
      writer.Feed(piece);
    }
    writer.Finish();
    written_pages[part].end = written;
  }
  text.resize(written);
  return {std::move(text), written_pages[0], written_pages[1], written_pages[2]};
}

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_PAGES_OVER_TEXT_H_
