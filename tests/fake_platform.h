// An in-memory platform, so that the run and the helpers can be tested with
// either path style and with failures a real disk rarely gives on demand.
#ifndef BRELLAM_TESTS_FAKE_PLATFORM_H_
#define BRELLAM_TESTS_FAKE_PLATFORM_H_

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "helpers/path.h"
#include "platform/platform.h"

namespace brellam {

class FakePlatform : public Platform {
 public:
  // What the test sets up.
  std::string argument_text;
  std::optional<std::vector<std::string>> given_arguments;  // as POSIX hands them over
  std::string host_path;  // the stored value of Kyrlen's install path
  std::string current_folder = "C:\\work";
  PathStyle style = PathStyle::kWindows;
  LocalDate today{2004, 3, 5};
  std::set<std::string> folders;                       // each with its trailing separator
  std::map<std::string, std::string> files;            // path to bytes
  std::map<std::string, std::string> refused_folders;  // path to the reason given
  std::set<std::string> unwritable;                    // CreateNewFile fails there
  std::set<std::string> read_only;                     // RenameReplacing fails onto these
  std::set<std::string> others;                        // neither file nor folder: a pipe
  // Permission bits and modification time, where a test cares.
  std::map<std::string, std::pair<int, std::int64_t>> stamps;
  bool no_links = false;                           // KeepAside can only copy
  std::size_t read_piece = 1 << 20;                // the most one Read gives
  std::set<std::string> lock_files;                // lock files there are
  std::map<std::string, LockMode> held_elsewhere;  // lock files other processes hold
  int lock_gone = 0;                               // times LockFile finds it removed
  // Another run makes the folder of the value, in another letter case, as
  // the one of the key is made.
  std::map<std::string, std::string> twin_made_with;
  bool settings_store_fails = false;
  bool out_of_memory_on_read = false;
  bool seek_fails = false;  // a text cannot be read again, as on a drive pulled out
  std::deque<std::uint64_t> random_numbers;  // then 7 for ever
  // The operation of `writes` with that number fails (and with
  // `fail_after_too` every later one), or is where the system stops:
  // FakePlatform::Crash is thrown before it is carried out, and from then
  // on nothing that unwinds changes a file: as after a kill.
  std::optional<std::size_t> fail_at;
  bool fail_after_too = false;
  std::optional<std::size_t> crash_at;
  std::function<void(std::size_t)> before_operation;  // given the number of each
  struct Crash {};
  bool crashed = false;

  // What the code under test did.
  std::vector<Message> shown;
  std::vector<std::string> created_folders;
  mutable std::vector<std::string> tested_folders;
  // Each write, replacement, sync, removal, listing and lock, in order.
  std::vector<std::string> writes;
  std::set<std::string> locked;
  std::size_t largest_read = 0;  // the most a Read asked for
  int signals_held = 0;
  int renamed_with_signals_free = 0;

  CommandLine ReadCommandLine() const override {
    return {argument_text, given_arguments ? *given_arguments : SplitCommandLine(argument_text)};
  }
  void ShowMessage(const Message& message) override { shown.push_back(message); }
  Status ReadSetting(std::string_view application, std::string_view section, std::string_view key,
                     std::string* value, std::string* reason) const override {
    if (settings_store_fails) {
      *reason = "settings store unreadable";
      return Status::kFailed;
    }
    const bool host = application == "Kyrlen" && section == "Path" && key == "Path";
    if (!host || host_path.empty()) return Status::kMissing;
    *value = host_path;
    return Status::kOk;
  }

  std::string SettingSource() const override { return "HKEY_CURRENT_USER\\Kyrlen"; }
  PathStyle SettingPaths() const override { return style; }
  Status SettingPathHere(const std::string& path, std::string* here, std::string*) const override {
    *here = path;
    return Status::kOk;
  }

  PathStyle Paths() const override { return style; }
  const CodePage& AnsiCodePage() const override { return CodePage932(); }
  // Enough of code page 932 for the tests: ASCII and a few characters.
  Encoded EncodeAnsiInto(std::string_view utf8, char* out) const override {
    static const std::map<std::string_view, std::string_view> kTable = {
        {"ソ", "\x83\x5C"}, {"表", "\x95\x5C"}, {"あ", "\x82\xA0"}, {"～", "\x81\x60"}};
    Encoded encoded;
    while (encoded.taken < utf8.size()) {
      std::string_view bytes = utf8.substr(encoded.taken, 1);
      if (static_cast<unsigned char>(utf8[encoded.taken]) >= 0x80) {
        const auto known = kTable.find(utf8.substr(encoded.taken, 3));
        if (known == kTable.end()) break;
        bytes = known->second;
        encoded.taken += 2;
      }
      std::memmove(out + encoded.written, bytes.data(), bytes.size());
      encoded.written += bytes.size();
      ++encoded.taken;
    }
    return encoded;
  }
  std::string DateSeparator() const override { return "/"; }
  LocalDate Today() const override { return today; }
  std::uint64_t RandomNumber() override {
    if (random_numbers.empty()) return 7;
    const std::uint64_t number = random_numbers.front();
    random_numbers.pop_front();
    return number;
  }

  Status CurrentFolder(std::string* path, std::string*) const override {
    *path = current_folder;
    return Status::kOk;
  }
  FileKind KindOf(const std::string& path) const override {
    tested_folders.push_back(path);
    if (folders.count(Key(path)) || folders.count(Key(path) + Separator(style))) {
      return FileKind::kFolder;
    }
    if (others.count(Key(path))) return FileKind::kOther;
    if (lock_files.count(Key(path))) return FileKind::kFile;
    return files.count(Key(path)) ? FileKind::kFile : FileKind::kMissing;
  }
  std::string LongName(const std::string& path) const override { return path; }
  Status CreateFolder(const std::string& path, std::string* reason) override {
    if (refused_folders.count(path)) {
      *reason = refused_folders.at(path);
      return Status::kFailed;
    }
    if (!folders.count(Key(GetParentPath(path.substr(0, path.size() - 1), style)))) {
      *reason = "no parent folder";
      return Status::kFailed;
    }
    folders.insert(Key(path));
    created_folders.push_back(path);
    if (twin_made_with.count(path)) folders.insert(twin_made_with.at(path));
    return Status::kOk;
  }
  Status ReadFile(const std::string& path, std::string* bytes, std::string* reason,
                  Links) override {
    if (out_of_memory_on_read) throw std::bad_alloc();
    if (KindOf(path) == FileKind::kFolder || others.count(Key(path))) {
      *reason = "not a file";
      return Status::kNotFile;
    }
    const auto file = files.find(Key(path));
    if (file == files.end()) {
      *reason = "No such file";
      return Status::kMissing;
    }
    *bytes = file->second;
    return Status::kOk;
  }
  // On POSIX, the one entry of the name in any letter case (ASCII will do
  // here).
  Status NameInFolder(const std::string& folder, const std::string& name, std::string* found,
                      std::string* reason) override {
    *found = name;
    if (style == PathStyle::kWindows) return Status::kOk;
    reason->clear();
    std::set<std::string> entries;
    int matches = 0;  // not counted by the NULs: a fuzzed name may hold them
    for (const auto& [file, bytes] : files) entries.insert(file);
    for (const std::string& entry : folders) entries.insert(entry.substr(0, entry.size() - 1));
    for (const std::string& entry : entries) {
      if (!entry.starts_with(folder) || entry.find('/', folder.size()) != std::string::npos) {
        continue;
      }
      const std::string other = entry.substr(folder.size());
      if (std::equal(other.begin(), other.end(), name.begin(), name.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
          })) {
        *found = other;
        reason->append(other).push_back('\0');
        ++matches;
      }
    }
    return matches > 1 ? Status::kCaseTwins : Status::kOk;
  }
  Status RemoveFolder(const std::string& path, std::string* reason) override {
    if (!Do("remove the folder " + path, reason)) return Status::kFailed;
    std::vector<std::string> names;
    ListFolder(path, &names, reason);
    writes.pop_back();
    if (!names.empty()) {
      *reason = "not empty";
      return Status::kFailed;
    }
    return folders.erase(Key(path)) + folders.erase(Key(path) + Separator(style)) > 0
               ? Status::kOk
               : Status::kMissing;
  }
  Status ListFolder(const std::string& folder, std::vector<std::string>* names,
                    std::string* reason) override {
    if (!Do("list " + folder, reason)) return Status::kFailed;
    names->clear();
    std::string prefix = Key(folder);
    if (prefix.empty() || prefix.back() != Separator(style)) prefix += Separator(style);
    std::set<std::string> entries(lock_files.begin(), lock_files.end());
    for (const auto& [file, bytes] : files) entries.insert(file);
    for (const std::string& entry : folders) entries.insert(entry.substr(0, entry.size() - 1));
    for (const std::string& entry : entries) {
      if (entry.size() > prefix.size() && entry.starts_with(prefix) &&
          entry.find(Separator(style), prefix.size()) == std::string::npos) {
        names->push_back(entry.substr(prefix.size()));
      }
    }
    return Status::kOk;
  }
  Status OpenForReading(const std::string& path, Links links, std::unique_ptr<FileReader>* file,
                        std::string* reason) override {
    std::string bytes;
    const Status status = ReadFile(path, &bytes, reason, links);
    if (status == Status::kOk) *file = std::make_unique<Reader>(*this, Key(path), bytes);
    return status;
  }
  Status CreateNewFile(const std::string& path, const std::string* bits_of,
                       std::unique_ptr<FileWriter>* file, std::string* reason) override {
    if (files.count(Key(path)) || others.count(Key(path))) return Status::kTaken;
    if (unwritable.count(Key(path)) || !folders.count(Key(GetParentPath(path, style)))) {
      *reason = "unwritable";
      return Status::kFailed;
    }
    files[Key(path)] = "";
    if (bits_of != nullptr && stamps.count(Key(*bits_of))) {
      stamps[Key(path)] = {stamps[Key(*bits_of)].first, 0};
    }
    *file = std::make_unique<Writer>(*this, Key(path));
    return Status::kOk;
  }
  Status KeepAside(const std::string& path, const std::string& aside,
                   std::string* reason) override {
    if (!Do("keep " + path + " as " + aside, reason)) return Status::kFailed;
    if (files.count(Key(aside))) return Status::kTaken;
    if (!files.count(Key(path))) return Status::kMissing;
    if (read_only.count(Key(path))) {
      *reason = "read-only";
      return Status::kFailed;
    }
    if (no_links) return Status::kNoLinks;
    files[Key(aside)] = files[Key(path)];
    if (stamps.count(Key(path))) stamps[Key(aside)] = stamps[Key(path)];
    return Status::kOk;
  }
  Status RenameReplacing(const std::string& from, const std::string& to,
                         std::string* reason) override {
    if (!Do("replace " + to, reason)) return Status::kFailed;
    if (signals_held == 0) ++renamed_with_signals_free;
    if (read_only.count(Key(to)) || !files.count(Key(from))) {
      *reason = "read-only";
      return Status::kFailed;
    }
    files[Key(to)] = files[Key(from)];
    files.erase(Key(from));
    stamps.erase(Key(to));
    if (auto moved = stamps.extract(Key(from))) {
      moved.key() = Key(to);
      stamps.insert(std::move(moved));
    }
    return Status::kOk;
  }
  Status SyncFolderOf(const std::string& path, std::string* reason) override {
    return Do("sync the folder of " + path, reason) ? Status::kOk : Status::kFailed;
  }
  Status RemoveFile(const std::string& path, std::string* reason) override {
    if (!Do("remove " + path, reason)) return Status::kFailed;
    stamps.erase(Key(path));
    return files.erase(Key(path)) ? Status::kOk : Status::kMissing;
  }
  Status LockFile(const std::string& folder, std::string_view name, LockMode mode, Links,
                  std::unique_ptr<HeldLock>* lock, std::string* reason) override {
    const std::string path = JoinPath(folder, name, style);
    if (!Do("lock " + path, reason)) return Status::kFailed;
    if (KindOf(folder) != FileKind::kFolder) return Status::kMissing;
    if (lock_gone > 0) {
      --lock_gone;
      *reason = "No such file";  // as the system says
      return Status::kMissing;
    }
    const auto other = held_elsewhere.find(Key(path));
    if (other != held_elsewhere.end() &&
        (mode == LockMode::kExclusive || other->second == LockMode::kExclusive)) {
      return Status::kBusy;
    }
    if (mode == LockMode::kShared && !lock_files.count(Key(path))) return Status::kMissing;
    lock_files.insert(Key(path));
    locked.insert(path);
    *lock = std::make_unique<Lock>(*this, path);
    return Status::kOk;
  }
  std::unique_ptr<HeldSignals> HoldSignals() override { return std::make_unique<Signals>(*this); }

 private:
  class Reader : public FileReader {
   public:
    Reader(FakePlatform& platform, std::string path, std::string bytes)
        : platform_(platform), path_(std::move(path)), bytes_(std::move(bytes)) {}
    Status Read(char* into, std::size_t size, std::size_t* got, std::string*) override {
      platform_.largest_read = std::max(platform_.largest_read, size);
      *got = std::min({size, platform_.read_piece, bytes_.size() - std::min(at_, bytes_.size())});
      if (*got > 0) std::memcpy(into, bytes_.data() + at_, *got);
      at_ += *got;
      return Status::kOk;
    }
    Status Seek(std::uint64_t offset, std::string* reason) override {
      if (platform_.seek_fails) return Answer(Status::kFailed, reason, "injected fault");
      at_ = static_cast<std::size_t>(offset);
      return Status::kOk;
    }
    FileIdentity Identity() const override {
      // A file written to since it was opened is another version of it.
      if (platform_.files.count(path_) && platform_.files.at(path_) != bytes_) return {1, 1, 1, 1};
      const auto stamp = platform_.stamps.find(path_);
      return {0, 0, bytes_.size(), stamp == platform_.stamps.end() ? 0 : stamp->second.second};
    }

   private:
    FakePlatform& platform_;
    std::string path_;
    std::string bytes_;
    std::size_t at_ = 0;
  };

  // Its bytes reach the file only once flushed.
  class Writer : public FileWriter {
   public:
    Writer(FakePlatform& platform, std::string path)
        : platform_(platform), path_(std::move(path)) {}
    ~Writer() override {
      if (!finished_ && !platform_.crashed) {
        platform_.files.erase(path_);
        platform_.stamps.erase(path_);
      }
    }
    Status Write(std::string_view bytes, std::string*) override {
      bytes_.append(bytes);
      return Status::kOk;
    }
    Status Finish(const FileIdentity* dated_like, std::string* reason) override {
      if (!platform_.Do("write and flush " + path_, reason)) return Status::kFailed;
      platform_.files[path_] = bytes_;
      if (dated_like != nullptr) platform_.stamps[path_].second = dated_like->modified;
      finished_ = true;
      return Status::kOk;
    }

   private:
    FakePlatform& platform_;
    std::string path_;
    std::string bytes_;
    bool finished_ = false;
  };

  class Lock : public HeldLock {
   public:
    Lock(FakePlatform& platform, std::string path) : platform_(platform), path_(std::move(path)) {}
    ~Lock() override {
      if (platform_.crashed) return;
      platform_.locked.erase(path_);
      platform_.writes.push_back("let go " + path_);
    }
    Status RemoveLockFile(std::string* reason) override {
      if (!platform_.Do("remove " + path_, reason)) return Status::kFailed;
      platform_.lock_files.erase(platform_.Key(path_));
      return Status::kOk;
    }

   private:
    FakePlatform& platform_;
    std::string path_;
  };

  class Signals : public HeldSignals {
   public:
    explicit Signals(FakePlatform& platform) : platform_(platform) { ++platform_.signals_held; }
    ~Signals() override { --platform_.signals_held; }

   private:
    FakePlatform& platform_;
  };

  // Logs the operation; false, with a reason, where it is to fail.
  bool Do(std::string operation, std::string* reason) {
    writes.push_back(std::move(operation));
    if (before_operation) before_operation(writes.size() - 1);
    if (crash_at == writes.size() - 1) {
      crashed = true;
      throw Crash{};
    }
    const std::size_t at = writes.size() - 1;
    if (!fail_at || (at != *fail_at && !(fail_after_too && at > *fail_at))) return true;
    *reason = "injected fault";
    return false;
  }

  // Windows takes "/" for "\"; the fake keeps every path with "\".
  std::string Key(std::string path) const {
    if (style == PathStyle::kWindows) std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }
};

}  // namespace brellam

#endif  // BRELLAM_TESTS_FAKE_PLATFORM_H_
