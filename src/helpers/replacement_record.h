// The names a set replacement gives its files, and the record it keeps in
// the folder while pages are being swapped, so that the next run can tell
// whether a run that was stopped had put its whole set in place. Pure:
// names and text only.
#ifndef BRELLAM_HELPERS_REPLACEMENT_RECORD_H_
#define BRELLAM_HELPERS_REPLACEMENT_RECORD_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brellam {

// The lock file that a folder's set replacements take turns on.
inline constexpr std::string_view kLockFileName = ".brellam.lock";
// There only from just before the first page is swapped until the set is
// whole again and every other file of the run is gone.
inline constexpr std::string_view kRecordFileName = ".brellam.record";

// Beside the file `name`, under a name no other process can guess:
// "<name>.brellam-<16 hex digits><ending>".
inline constexpr std::string_view kNewEnding = ".tmp";
inline constexpr std::string_view kKeptEnding = ".old";
std::string TemporaryName(std::string_view name, std::uint64_t number, std::string_view ending);

// Whether `name` is a temporary or kept file of ours for one of `files`,
// which may be named in another letter case.
bool IsLeftoverOf(std::string_view name, std::span<const std::string> files);

// One page of the set, by its name in the folder: its new file, and the
// name its old one is kept under (empty when there was none).
struct RecordedFile {
  std::string name;
  std::string new_name;
  std::string kept_name;
  bool operator==(const RecordedFile&) const = default;
};

std::string RecordText(std::span<const RecordedFile> files);

// The record's files, when the text is a whole record whose every name is
// one of ours for one of `files`; nothing for a text cut short, which a
// run stopped before its first swap leaves.
struct ReadRecord {
  bool whole = false;
  bool ours = false;  // a whole record naming only what it may
  std::vector<RecordedFile> files;
};
ReadRecord ParseRecord(std::string_view text, std::span<const std::string> files);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_REPLACEMENT_RECORD_H_
