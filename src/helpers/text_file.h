// Whole files of text in the ANSI code page, kept as their bytes.
#ifndef BRELLAM_HELPERS_TEXT_FILE_H_
#define BRELLAM_HELPERS_TEXT_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace brellam {

// The whole file into `bytes`: -1 when it cannot be read, 0 when it is
// empty, else the number of bytes read; `bytes` is replaced only then.
// For -1 and 0, `reason` (when given) says why there is nothing.
std::int64_t ReadFileBytes(Platform& platform, const std::string& path, std::string& bytes,
                           std::string* reason = nullptr);

// The file's bytes; the empty text when it is missing, unreadable or empty,
// and then `reason` (when given) says which.
std::string ReadTextFile(Platform& platform, const std::string& path,
                         std::string* reason = nullptr);

// Writes exactly `text` to `path` through a new temporary file beside it,
// so an existing file is either replaced whole or left as it was, even
// after a crash or power loss. False on any failure, with the temporary
// file removed; no other file is ever removed.
bool WriteTextFile(Platform& platform, const std::string& path, std::string_view text);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_TEXT_FILE_H_
