#include "helpers/text_file.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "helpers/path.h"
#include "text/shown_text.h"

namespace brellam {

namespace {

// Another name is tried when one is taken; after so many, someone is
// taking them on purpose.
constexpr int kNameAttempts = 16;

// Beside the file, under a name no other process can guess, so that nothing
// can have been laid there in wait for it.
std::string TemporaryName(const std::string& path, std::uint64_t number,
                          std::string_view ending = ".tmp") {
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(number));
  return path + ".brellam-" + hex + std::string(ending);
}

}  // namespace

std::int64_t ReadFileBytes(Platform& platform, const std::string& path, std::string& bytes,
                           std::string* reason) {
  std::string read;
  std::string why;
  if (platform.ReadFile(path, &read, &why, Links::kFollow) != Status::kOk) {
    if (reason != nullptr) *reason = std::move(why);
    return -1;
  }
  const auto size = static_cast<std::int64_t>(read.size());
  if (size > 0) bytes = std::move(read);
  return size;
}

std::string ReadTextFile(Platform& platform, const std::string& path, std::string* reason) {
  std::string bytes;
  ReadFileBytes(platform, path, bytes, reason);
  return bytes;
}

Replaced WriteTextFiles(Platform& platform, const std::string& folder,
                        std::span<const NewFile> files, std::span<const std::string> made_folders) {
  const PathStyle style = platform.Paths();
  Replaced outcome;
  const auto note = [&outcome](std::string_view path, std::string_view reason) {
    if (!outcome.detail.empty()) outcome.detail += '\n';
    outcome.detail.append(ShownText(path)).append("\n").append(reason);
  };
  std::string reason;

  // A lock file the system lets go of, however the run ends. It stays in
  // the folder, where the host reads only the pages by name and lists
  // nothing: removing it would let a run that waited lock a file gone.
  const std::string lock = JoinPath(folder, kLockFileName, style);
  if (platform.LockFile(lock, &reason) != Status::kOk) {
    note(lock, reason);
    return outcome;
  }
  struct Unlock {
    Platform& held_by;
    const std::string& held;
    ~Unlock() { held_by.UnlockFile(held); }
  } unlock{platform, lock};

  // The new name of each file, or the one it is kept under.
  const auto new_name = [&](const std::string& path, std::string_view ending, const auto& make,
                            std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      name = TemporaryName(path, platform.RandomNumber(), ending);
      const Status status = make(name);
      if (status != Status::kTaken) return status;
    }
    return Status::kFailed;
  };
  std::vector<std::string> temporaries(files.size());
  std::vector<std::string> kept(files.size());

  // Every page is on the disk before any takes an old one's place.
  std::size_t failed = files.size();
  std::size_t renamed = 0;
  for (std::size_t i = 0; i < files.size() && failed == files.size(); ++i) {
    const NewFile& file = files[i];
    if (new_name(
            file.path, ".tmp",
            [&](const std::string& name) {
              return platform.WriteReplacement(name, file.bytes, file.path, &reason);
            },
            temporaries[i]) != Status::kOk) {
      temporaries[i].clear();
      failed = i;
    }
  }
  for (; renamed < files.size() && failed == files.size(); ++renamed) {
    const std::string& path = files[renamed].path;
    const Status aside = new_name(
        path, ".old",
        [&](const std::string& name) { return platform.KeepAside(path, name, &reason); },
        kept[renamed]);
    if (aside == Status::kMissing) kept[renamed].clear();
    if ((aside != Status::kOk && aside != Status::kMissing) ||
        platform.RenameReplacing(temporaries[renamed], path, &reason) != Status::kOk) {
      if (aside != Status::kOk) kept[renamed].clear();
      failed = renamed;
      break;
    }
    temporaries[renamed].clear();
  }

  if (failed < files.size()) {
    note(files[failed].path, reason);
    // The old set back, the last replaced first.
    for (std::size_t i = renamed; i-- > 0;) {
      const Status back = kept[i].empty()
                              ? platform.RemoveFile(files[i].path, &reason)
                              : platform.RenameReplacing(kept[i], files[i].path, &reason);
      // One that cannot be put back stays, and is named.
      if (back != Status::kOk) note(kept[i].empty() ? files[i].path : kept[i], reason);
      kept[i].clear();
    }
  } else {
    outcome.in_place = true;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (const std::string* leftover : {&temporaries[i], &kept[i]}) {
      if (!leftover->empty() && platform.RemoveFile(*leftover, &reason) != Status::kOk) {
        note(*leftover, reason);
      }
    }
  }

  // Once, after the last name changed; and each folder made into its own.
  if (renamed == 0 && !outcome.in_place) return outcome;
  if (platform.SyncFolderOf(files.front().path, &reason) != Status::kOk && outcome.in_place) {
    note(folder, reason);
  }
  if (!outcome.in_place) return outcome;
  for (const std::string& made : made_folders) {
    std::string_view path = made;
    while (path.size() > 1 && IsSeparator(path.back(), style)) path.remove_suffix(1);
    if (platform.SyncFolderOf(std::string(path), &reason) != Status::kOk) {
      note(made, reason);
    }
  }
  return outcome;
}

}  // namespace brellam
