#include "conversion/skin_file.h"

#include <algorithm>
#include <memory>

#include "conversion/skin_pages.h"

namespace brellam {

Status ScanSkinText(FileReader& file, const CodePage& code_page, SkinLayout* layout,
                    std::string* reason) {
  SkinTextScanner scanner(code_page);
  const auto piece = std::make_unique_for_overwrite<char[]>(kReadPiece);
  for (;;) {
    std::size_t got = 0;
    const Status read = file.Read(piece.get(), kReadPiece, &got, reason);
    if (read != Status::kOk) return read;
    if (got == 0) break;
    scanner.Feed(std::string_view(piece.get(), got));
  }
  return scanner.Finish(layout, reason) ? Status::kOk : Status::kNotFile;
}

Status WritePage(FileReader& file, const PageLines& lines, TextEncoding encoding,
                 const Platform& platform, FileWriter& out, std::string* reason, bool* unread) {
  Status written = Status::kOk;
  PageWriter writer(encoding, lines.line_end_after, platform, [&](std::string_view bytes) {
    written = out.Write(bytes, reason);
    return written == Status::kOk;
  });
  Status status = file.Seek(lines.begin, reason);
  const auto piece = std::make_unique_for_overwrite<char[]>(kReadPiece);
  for (std::uint64_t left = lines.end - lines.begin; status == Status::kOk && left > 0;) {
    std::size_t got = 0;
    status =
        file.Read(piece.get(), static_cast<std::size_t>(std::min<std::uint64_t>(left, kReadPiece)),
                  &got, reason);
    // Shorter than the first look found it: it changed since.
    if (status == Status::kOk && got == 0) return Status::kChanged;
    if (status == Status::kOk && !writer.Feed(std::string_view(piece.get(), got))) return written;
    left -= got;
  }
  *unread = status != Status::kOk;
  if (status != Status::kOk) return status;
  return writer.Finish() ? Status::kOk : written;
}

}  // namespace brellam
