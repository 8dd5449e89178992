// Whole files of text in the ANSI code page, kept as their bytes.
#ifndef BRELLAM_HELPERS_TEXT_FILE_H_
#define BRELLAM_HELPERS_TEXT_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace brellam {

// The whole file into `bytes`, following links: -1 when it cannot be read,
// and then `reason` (when given) says why; 0 when it is empty; else the
// number of bytes read, and `bytes` is replaced only then.
std::int64_t ReadFileBytes(Platform& platform, const std::string& path, std::string& bytes,
                           std::string* reason = nullptr);

// The file's bytes, as ReadFileBytes reads them; the empty text when it is
// missing, unreadable or empty, and then `reason` (when given) says why
// for the first two and is left alone for an empty file.
std::string ReadTextFile(Platform& platform, const std::string& path,
                         std::string* reason = nullptr);

// A new file holding exactly `bytes`, on the disk when it answers kOk;
// only where nothing has the name (kTaken), and nothing is left of it
// when it fails.
Status WriteNewFile(Platform& platform, const std::string& path, std::string_view bytes,
                    std::string* reason);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_TEXT_FILE_H_
