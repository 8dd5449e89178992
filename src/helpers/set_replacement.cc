#include "helpers/set_replacement.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "helpers/folders.h"
#include "helpers/path.h"
#include "helpers/replacement_record.h"
#include "helpers/text_file.h"
#include "text/path_grammar.h"

namespace brellam {

namespace {

// Another name is tried when one is taken; after so many, someone is
// taking them on purpose.
constexpr int kNameAttempts = 16;

bool Contains(const std::vector<std::string>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

class SetReplacement {
 public:
  SetReplacement(Platform& platform, const std::string& folder, std::span<const NewFile> files,
                 std::span<const std::string> made_folders)
      : platform_(platform), folder_(folder), files_(files), made_(made_folders) {
    for (const NewFile& file : files) {
      record_.push_back({GetFileName(file.path, style_), {}, {}});
      names_.push_back(record_.back().name);
    }
  }

  Replaced Run() {
    if (HoldLock() && Recover()) {
      if (WriteNew() && KeepOld() && WriteRecord() && Swap()) {
        outcome_.result = SetResult::kInPlace;
        FlushFolder();
      } else if (!PutBack()) {
        // What tells the next run where things stand stays.
        outcome_.result = SetResult::kMixed;
        return std::move(outcome_);
      }
      CleanUp();
    }
    if (outcome_.result == SetResult::kInPlace) {
      for (const std::string& made : made_) Flush(made);
    } else if (outcome_.result == SetResult::kOldKept) {
      RemoveWhatItMade();
    }
    return std::move(outcome_);
  }

 private:
  // The steps, in the order they run: each answers whether the run goes on.

  bool HoldLock() {
    const Status status = platform_.LockFile(folder_, kLockFileName, LockMode::kExclusive,
                                             Links::kRefuse, &lock_, &reason_);
    if (status == Status::kOk) return true;
    if (status == Status::kMissing) {
      outcome_.result = SetResult::kLockGone;
    } else if (status == Status::kLinked) {
      outcome_.result = SetResult::kLinked;
      Problem(folder_, status);
    } else {
      Problem(PathOf(kLockFileName), status);
    }
    return false;
  }

  // A record left by a stopped run says how far it got: the old set goes
  // back unless every new file had been swapped in. Then every file of
  // ours that any run left goes, the record last.
  bool Recover() {
    std::vector<std::string> names;
    if (const Status listed = platform_.ListFolder(folder_, &names, &reason_);
        listed != Status::kOk) {
      Problem(folder_, listed);
      return false;
    }
    const bool recorded = Contains(names, kRecordFileName);
    const std::string record_path = PathOf(kRecordFileName);
    if (recorded) {
      std::string text;
      const Status read = ReadFileBytes(platform_, record_path, &text, &reason_);
      if (read != Status::kOk) return NotRestored(record_path, read);
      const ReadRecord record = ParseRecord(text, names_);
      // Whole, but naming what no run of ours writes: not ours to act on.
      if (record.whole && !record.ours) return NotRestored(record_path, Status::kForeign);
      if (record.whole && !PutBackRecorded(record.files, names)) return false;
    }
    for (const std::string& name : names) {
      if (IsLeftoverOf(name, names_)) platform_.RemoveFile(PathOf(name), &reason_);
    }
    // The set is whole all the same: only this run stops.
    if (const Status removed = recorded ? platform_.RemoveFile(record_path, &reason_) : Status::kOk;
        removed != Status::kOk) {
      Problem(record_path, removed);
      return false;
    }
    return true;
  }

  // Each new file under a name of its own, on the disk, with the old
  // page's permission bits.
  bool WriteNew() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const NewFile& file = files_[i];
      std::unique_ptr<FileWriter> writer;
      const Status status =
          FreshName(file.path, kNewEnding, record_[i].new_name, [&](const std::string& path) {
            return platform_.CreateNewFile(path, &file.path, &writer, &reason_);
          });
      Status written = status;
      if (status == Status::kOk) written = file.write(*writer, &reason_);
      if (written == Status::kOk) written = writer->Finish(nullptr, &reason_);
      if (written != Status::kOk) {
        record_[i].new_name.clear();
        Problem(file.path, written);
        return false;
      }
    }
    return true;
  }

  // Each old page under a second name, a link or else a flushed copy,
  // before any is replaced: a copy a kill cut short is never relied on.
  bool KeepOld() {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      const std::string& path = files_[i].path;
      std::string& kept = record_[i].kept_name;
      Status status = FreshName(path, kKeptEnding, kept, [&](const std::string& aside) {
        return platform_.KeepAside(path, aside, &reason_);
      });
      if (status == Status::kNoLinks) {
        status = FreshName(path, kKeptEnding, kept,
                           [&](const std::string& aside) { return KeepCopy(path, aside); });
      }
      if (status == Status::kMissing) kept.clear();
      if (status != Status::kOk && status != Status::kMissing) {
        kept.clear();
        Problem(path, status);
        return false;
      }
    }
    return true;
  }

  // On the disk, and its name too, with every name made so far, before
  // the first swap.
  bool WriteRecord() {
    const std::string path = PathOf(kRecordFileName);
    const std::string text = RecordText(record_);
    Status status = WriteNewFile(platform_, path, text, &reason_);
    recorded_ = status == Status::kOk;
    if (recorded_) status = platform_.SyncFolderOf(path, &reason_);
    if (status != Status::kOk) Problem(path, status);
    return status == Status::kOk;
  }

  // From the first swap until the set is whole again, a signal waits.
  bool Swap() {
    signals_ = platform_.HoldSignals();
    for (; swapped_ < files_.size(); ++swapped_) {
      const std::string& path = files_[swapped_].path;
      const Status swapped =
          platform_.RenameReplacing(PathOf(record_[swapped_].new_name), path, &reason_);
      if (swapped != Status::kOk) {
        Problem(path, swapped);
        return false;
      }
    }
    signals_.reset();
    return true;
  }

  // The old set back, the last replaced first.
  bool PutBack() {
    bool whole = true;
    for (std::size_t i = swapped_; i-- > 0;) {
      if (PutBackOne(record_[i])) continue;
      whole = false;
      outcome_.new_pages.insert(outcome_.new_pages.begin(), files_[i].path);
    }
    if (swapped_ > 0) FlushFolder();
    signals_.reset();
    return whole;
  }

  // Whatever the run leaves of its own, the record last: the set is whole.
  void CleanUp() {
    const bool in_place = outcome_.result == SetResult::kInPlace;
    for (std::size_t i = 0; i < record_.size(); ++i) {
      // A new file swapped in has no name of its own left, nor an old page
      // put back a kept one.
      if (i >= swapped_) Remove(record_[i].new_name);
      if (i >= swapped_ || in_place) Remove(record_[i].kept_name);
    }
    if (recorded_) Remove(kRecordFileName);
  }

  // A new skin folder that got no file would be listed by the host as a
  // broken skin. The lock file goes while still held, so that a run that
  // waited for it sees it went, and makes the folder again.
  void RemoveWhatItMade() {
    if (made_.empty()) return;
    if (lock_ != nullptr && lock_->RemoveLockFile(&reason_) != Status::kOk) return;
    lock_.reset();
    RemoveMadeFolders(platform_, made_);
  }

  // Helpers of the steps.

  std::string PathOf(std::string_view name) const { return JoinPath(folder_, name, style_); }

  void Problem(std::string path, Status status) {
    outcome_.problems.push_back({std::move(path), status, std::exchange(reason_, {})});
  }

  bool NotRestored(std::string path, Status status) {
    outcome_.result = SetResult::kMixed;
    Problem(std::move(path), status);
    return false;
  }

  void Remove(std::string_view name) {
    if (name.empty()) return;
    const Status status = platform_.RemoveFile(PathOf(name), &reason_);
    if (status != Status::kOk && status != Status::kMissing) Problem(PathOf(name), status);
  }

  // The names in the folder.
  void FlushFolder() {
    const Status flushed = platform_.SyncFolderOf(PathOf(kLockFileName), &reason_);
    if (flushed != Status::kOk) Problem(folder_, flushed);
  }

  // A folder's own name, into the folder it is in.
  void Flush(std::string_view folder) {
    const std::string path(WithoutTrailingSeparators(folder, style_));
    const Status flushed = platform_.SyncFolderOf(path, &reason_);
    if (flushed != Status::kOk) Problem(path, flushed);
  }

  // Makes a new file of a name no other process can guess beside `path`,
  // and sets `name` to its name in the folder.
  template <typename Make>
  Status FreshName(const std::string& path, std::string_view ending, std::string& name,
                   const Make& make) {
    Status status = Status::kTaken;
    for (int attempt = 0; attempt < kNameAttempts && status == Status::kTaken; ++attempt) {
      name = TemporaryName(GetFileName(path, style_), platform_.RandomNumber(), ending);
      status = make(PathOf(name));
    }
    if (status != Status::kOk) name.clear();
    return status == Status::kTaken ? Status::kFailed : status;
  }

  // Where the drive has no links: a copy, with the page's permission bits
  // and its date, on the disk before it is relied on.
  Status KeepCopy(const std::string& path, const std::string& aside) {
    std::unique_ptr<FileReader> page;
    Status status = platform_.OpenForReading(path, Links::kRefuse, &page, &reason_);
    if (status != Status::kOk) return status;
    std::unique_ptr<FileWriter> copy;
    status = platform_.CreateNewFile(aside, &path, &copy, &reason_);
    if (status != Status::kOk) return status;
    std::string piece(std::size_t{64} << 10, '\0');
    std::size_t got = 0;
    while ((status = page->Read(piece.data(), piece.size(), &got, &reason_)) == Status::kOk &&
           got > 0) {
      status = copy->Write(std::string_view(piece.data(), got), &reason_);
      if (status != Status::kOk) return status;
    }
    if (status != Status::kOk) return status;
    const FileIdentity dated = page->Identity();
    return copy->Finish(&dated, &reason_);
  }

  bool PutBackOne(const RecordedFile& file) {
    const std::string path = PathOf(file.name);
    const Status status = file.kept_name.empty()
                              ? platform_.RemoveFile(path, &reason_)
                              : platform_.RenameReplacing(PathOf(file.kept_name), path, &reason_);
    if (status == Status::kOk || (file.kept_name.empty() && status == Status::kMissing)) {
      return true;
    }
    Problem(file.kept_name.empty() ? path : PathOf(file.kept_name), status);
    return false;
  }

  // The recorded run's set made whole: old again, unless every new file
  // had taken its page's place. `names` is what the folder holds.
  bool PutBackRecorded(const std::vector<RecordedFile>& files,
                       const std::vector<std::string>& names) {
    const bool all_swapped = std::none_of(files.begin(), files.end(), [&](const auto& file) {
      return Contains(names, file.new_name);
    });
    if (all_swapped) return true;
    signals_ = platform_.HoldSignals();
    bool whole = true;
    for (std::size_t i = files.size(); i-- > 0;) {
      const RecordedFile& file = files[i];
      // Not swapped, or put back already: its kept file is the old page.
      if (Contains(names, file.new_name)) continue;
      if (!file.kept_name.empty() && !Contains(names, file.kept_name)) continue;
      if (PutBackOne(file)) continue;
      whole = false;
      outcome_.new_pages.insert(outcome_.new_pages.begin(), PathOf(file.name));
    }
    if (whole) FlushFolder();
    signals_.reset();
    if (!whole) outcome_.result = SetResult::kMixed;
    return whole;
  }

  Platform& platform_;
  const std::string& folder_;
  std::span<const NewFile> files_;
  std::span<const std::string> made_;
  const PathStyle style_ = platform_.Paths();
  std::vector<std::string> names_;    // each file's name in the folder
  std::vector<RecordedFile> record_;  // each file's names, as the record holds them
  std::unique_ptr<HeldLock> lock_;
  std::unique_ptr<HeldSignals> signals_;
  std::size_t swapped_ = 0;
  bool recorded_ = false;
  Replaced outcome_;
  std::string reason_;
};

}  // namespace

NewFile FileOfBytes(std::string path, std::string_view bytes) {
  return {std::move(path),
          [bytes](FileWriter& file, std::string* reason) { return file.Write(bytes, reason); }};
}

Replaced WriteTextFiles(Platform& platform, const std::string& folder,
                        std::span<const NewFile> files, std::span<const std::string> made_folders) {
  return SetReplacement(platform, folder, files, made_folders).Run();
}

}  // namespace brellam
