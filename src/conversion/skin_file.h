// A skin text file read in pieces, twice: once to find how it is encoded
// and where its pages lie, once more for each page as it is written.
// Memory does not grow with the file.
#ifndef BRELLAM_CONVERSION_SKIN_FILE_H_
#define BRELLAM_CONVERSION_SKIN_FILE_H_

#include <cstddef>
#include <string>

#include "conversion/skin_layout.h"
#include "platform/platform.h"

namespace brellam {

// The most one read of a skin text asks for.
inline constexpr std::size_t kReadPiece = 64 << 10;

// Reads `file` from its start to its end, in pieces, into `layout`: kOk, or
// kFailed with the system's reason, or kNotFile with the reason a skin text
// is refused for (SkinTextScanner::Finish).
Status ScanSkinText(FileReader& file, const CodePage& code_page, SkinLayout* layout,
                    std::string* reason);

// Writes the page of `file` that `lines` says, in the ANSI code page, to
// `out`; sets `unread` when what failed was reading `file` again.
Status WritePage(FileReader& file, const PageLines& lines, TextEncoding encoding,
                 const Platform& platform, FileWriter& out, std::string* reason, bool* unread);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_FILE_H_
