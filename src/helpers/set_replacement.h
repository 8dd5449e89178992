// Replacing the files of a folder as one set, whatever stops the run: at
// every moment, a crash or a kill included, the folder holds the old set
// or the new one, or a mixture that the record left beside it lets the
// next run make whole again.
#ifndef BRELLAM_HELPERS_SET_REPLACEMENT_H_
#define BRELLAM_HELPERS_SET_REPLACEMENT_H_

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace brellam {

// One file of a set: where it goes, and what writes its bytes, in pieces
// where it likes.
struct NewFile {
  using Write = std::function<Status(FileWriter& file, std::string* reason)>;
  std::string path;
  Write write;
};

// A file of these bytes.
NewFile FileOfBytes(std::string path, std::string_view bytes);

// A file the outcome speaks of, what happened to it, and the system's
// reason where it gave one.
struct FileProblem {
  std::string path;
  Status status = Status::kFailed;
  std::string reason;
  bool operator==(const FileProblem&) const = default;
};

enum class SetResult {
  kInPlace,   // the new set is there, every file of it
  kOldKept,   // nothing of the set changed
  kMixed,     // pages are new and old side by side, as the record says
  kLockGone,  // the lock file went while the run waited: make the folder again
  kLinked,    // the folder is a link: nothing was written through it
};

struct Replaced {
  SetResult result = SetResult::kOldKept;
  // kInPlace: what could not be flushed or removed after. kOldKept: the
  // lock or the file that failed, then what of the run could not be
  // removed. kMixed: what could not be put back or removed.
  // kLinked: the folder.
  std::vector<FileProblem> problems;
  // kMixed: the pages that are new.
  std::vector<std::string> new_pages;
};

// Writes `files`, all in `folder`, as one set that replaces the old one,
// atomically and durably. The folder's lock is held throughout; a set that
// a stopped run left mixed is made whole first, and every file that run
// left is removed. Each new file is written and flushed under a temporary
// name, each old one kept under a second name, and the record written,
// before the first is swapped in; a failed swap puts the old set back. The
// folder is flushed after the swap, and each folder of `made_folders` into
// the folder it is in; when a folder that the run made got no file, it is
// removed again, innermost first. Another run writing the same folder
// waits for this one, and a pack reading it too.
Replaced WriteTextFiles(Platform& platform, const std::string& folder,
                        std::span<const NewFile> files, std::span<const std::string> made_folders);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_SET_REPLACEMENT_H_
