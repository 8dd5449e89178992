// Whole files of text in the ANSI code page, kept as their bytes.
#ifndef BRELLAM_HELPERS_TEXT_FILE_H_
#define BRELLAM_HELPERS_TEXT_FILE_H_

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace brellam {

// A file of the program's own or of a dropped folder, whole: only a
// regular file of its own in that folder, never what a link there leads
// to. Status and reason as Platform::ReadFile answers them; `bytes` is
// replaced only on kOk.
Status ReadFileBytes(Platform& platform, const std::string& path, std::string* bytes,
                     std::string* reason);

// A skin text, opened to be read in pieces (never whole: it may be larger
// than memory), through a link too. Its bytes stay in their encoding.
Status ReadTextFile(Platform& platform, const std::string& path, std::unique_ptr<FileReader>* file,
                    std::string* reason);

// A new file holding exactly `bytes`, on the disk when it answers kOk;
// only where nothing has the name (kTaken), and nothing is left of it
// when it fails.
Status WriteNewFile(Platform& platform, const std::string& path, std::string_view bytes,
                    std::string* reason);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_TEXT_FILE_H_
