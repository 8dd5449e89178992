#include "conversion/skin_layout.h"

#include "conversion/messages.h"

namespace brellam {

bool SkinTextScanner::Finish(SkinLayout* layout, std::string* reason) {
  if (!check_.Finish(&layout->encoding, reason)) return false;
  if (check_.Size() == check_.MarkSize()) {
    *reason = check_.Size() == 0 ? kEmptyFile : kNoContent;
    return false;
  }
  marks_.Finish();
  const Reading reading =
      layout->encoding == TextEncoding::kAnsi ? Reading::kCodePage : Reading::kUnicode;
  const std::array<PageLines, 3> pages = marks_.Pages(reading);
  for (std::size_t part = 0; part < pages.size(); ++part) {
    const auto byte = [this](std::uint64_t unit) {
      return check_.MarkSize() + unit * check_.UnitSize();
    };
    layout->pages[part] = {byte(pages[part].begin), byte(pages[part].end),
                           pages[part].line_end_after};
  }
  return true;
}

}  // namespace brellam
