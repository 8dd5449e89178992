// Whole files of text in the ANSI code page, kept as their bytes.
#ifndef BRELLAM_HELPERS_TEXT_FILE_H_
#define BRELLAM_HELPERS_TEXT_FILE_H_

#include <cstdint>
#include <span>
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

// One file of a set that WriteTextFiles puts in place.
struct NewFile {
  std::string path;
  std::string_view bytes;
};

struct Replaced {
  // The new set is in place, every file of it.
  bool in_place = false;
  // Lines for the message, each path followed by its reason. When not in
  // place: the file that could not be written, then each file kept aside
  // that could not be put back. When in place: what could not be flushed
  // or removed after it.
  std::string detail;
};

// The lock file that a folder's set replacements take turns on.
inline constexpr std::string_view kLockFileName = ".brellam.lock";

// Writes the files of `files`, all in `folder`, as one set that replaces
// the old one atomically and durably: at every
// moment, a crash included, each exists whole, old or new (or is missing
// when it was); when anything fails the old set is put back. No temporary
// or kept file is left but one that could not be removed, named in
// `detail`. The folder is flushed once, at the end, and each folder of
// `made_folders` into the folder it is in. Another run writing the same
// folder waits for this one.
Replaced WriteTextFiles(Platform& platform, const std::string& folder,
                        std::span<const NewFile> files, std::span<const std::string> made_folders);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_TEXT_FILE_H_
