#include "helpers/replacement_record.h"

#include <algorithm>
#include <cstdio>

#include "text/file_name_case.h"

namespace brellam {

namespace {

constexpr std::string_view kMarker = ".brellam-";
constexpr std::size_t kHexDigits = 16;
constexpr std::string_view kFirstLine = "brellam record 1";
constexpr std::string_view kLastLine = "end";

// Of the form TemporaryName gives `file` with `ending`, in any letter case
// of `file`: the case that the page itself has in the folder.
bool IsNameFor(std::string_view name, std::string_view file, std::string_view ending) {
  const std::size_t size = file.size() + kMarker.size() + kHexDigits + ending.size();
  if (name.size() != size || !name.ends_with(ending) ||
      name.substr(file.size(), kMarker.size()) != kMarker ||
      !IsSameFileName(name.substr(0, file.size()), file)) {
    return false;
  }
  const std::string_view hex = name.substr(file.size() + kMarker.size(), kHexDigits);
  return std::all_of(hex.begin(), hex.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool IsOneOf(std::string_view name, std::span<const std::string> files) {
  return std::any_of(files.begin(), files.end(),
                     [name](const std::string& file) { return IsSameFileName(name, file); });
}

// The next line of `text`, without its "\n"; false when there is none whole.
bool TakeLine(std::string_view& text, std::string_view& line) {
  const std::size_t end = text.find('\n');
  if (end == std::string_view::npos) return false;
  line = text.substr(0, end);
  text.remove_prefix(end + 1);
  return true;
}

}  // namespace

std::string TemporaryName(std::string_view name, std::uint64_t number, std::string_view ending) {
  char hex[kHexDigits + 1];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(number));
  return std::string(name).append(kMarker).append(hex).append(ending);
}

bool IsLeftoverOf(std::string_view name, std::span<const std::string> files) {
  return std::any_of(files.begin(), files.end(), [name](const std::string& file) {
    return IsNameFor(name, file, kNewEnding) || IsNameFor(name, file, kKeptEnding);
  });
}

std::string RecordText(std::span<const RecordedFile> files) {
  std::string text(kFirstLine);
  text += '\n';
  for (const RecordedFile& file : files) {
    text.append(file.name).append("\t").append(file.new_name).append("\t");
    text.append(file.kept_name).append("\n");
  }
  return text.append(kLastLine).append("\n");
}

ReadRecord ParseRecord(std::string_view text, std::span<const std::string> files) {
  ReadRecord record;
  std::string_view line;
  if (!TakeLine(text, line) || line != kFirstLine) return record;
  record.ours = true;
  while (TakeLine(text, line)) {
    if (line == kLastLine) {
      record.whole = text.empty();
      return record;
    }
    const std::size_t first = line.find('\t');
    const std::size_t second = first == line.npos ? line.npos : line.find('\t', first + 1);
    if (second == line.npos) {
      record.ours = false;
      continue;
    }
    RecordedFile file{std::string(line.substr(0, first)),
                      std::string(line.substr(first + 1, second - first - 1)),
                      std::string(line.substr(second + 1))};
    record.ours = record.ours && IsOneOf(file.name, files) &&
                  IsNameFor(file.new_name, file.name, kNewEnding) &&
                  (file.kept_name.empty() || IsNameFor(file.kept_name, file.name, kKeptEnding));
    record.files.push_back(std::move(file));
  }
  return record;
}

}  // namespace brellam
