#include "conversion/frm_main.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/dropped_items.h"
#include "conversion/messages.h"
#include "conversion/settings_text.h"
#include "conversion/skin_file.h"
#include "conversion/skin_name.h"
#include "conversion/skin_pack.h"
#include "conversion/skin_pages.h"
#include "conversion/skin_text.h"
#include "conversion/summary.h"
#include "conversion/text_encoding.h"
#include "helpers/folders.h"
#include "helpers/path.h"
#include "helpers/replacement_record.h"
#include "helpers/set_replacement.h"
#include "helpers/text_file.h"
#include "text/file_name_case.h"
#include "text/path_grammar.h"
#include "text/shown_text.h"

namespace brellam {

namespace {

Message Failure(std::string_view prompt, std::string_view detail = {}) {
  std::string text(prompt);
  if (!detail.empty()) text.append("\n").append(detail);
  return {std::move(text), false};
}

// However many runs pack the same folder, each finds a name of its own.
constexpr int kMaxPackedNumber = 9999;

constexpr std::string_view kSettingsFile = "setting.skn";
// The host opens its pages with the ANSI API, whose path holds MAX_PATH
// bytes, its NUL among them.
constexpr std::size_t kMostAnsiPathBytes = 259;

std::string SkinFolderOf(const HostFolder& host, std::string_view name, PathStyle style) {
  return JoinPath(JoinPath(host.path, "skin", style), name, style);
}

// Why the host, reading `text` in its ANSI code page, could not; empty
// when it could.
std::string CodePageLacks(const Platform& platform, std::string_view text) {
  std::string ansi;
  const std::size_t taken = platform.EncodeAnsi(text, ansi);
  if (taken == text.size()) return {};
  return NotInCodePage(platform.AnsiCodePage().number, text.substr(taken));
}

// A file's path, and under it why.
std::string PathAndWhy(std::string_view path, std::string_view why) {
  return ShownText(path) + "\n" + std::string(why);
}

// A skin name the host could not open a folder by, from the file or folder
// `shown`; of the reasons, only a character the code page lacks needs
// pointing out.
Message Unusable(const Platform& platform, std::string_view shown, std::string_view name) {
  const std::string lacks = CodePageLacks(platform, name);
  return Failure(kUnusableName, lacks.empty() ? ShownText(shown) : PathAndWhy(shown, lacks));
}

// A run that finds the lock file gone makes the folder again; so many
// times in a row, something keeps removing it.
constexpr int kLockAttempts = 3;

// What the message says of a set replacement; `unread` when the skin text
// could not be read again.
Message Worded(const Replaced& replaced, const std::string& lock, bool unread) {
  std::string_view prompt = kUnwritten;
  std::string detail;
  const auto line = [&detail](std::string_view path, std::string_view why) {
    if (!detail.empty()) detail += '\n';
    detail.append(ShownText(path)).append("\n").append(why);
  };
  std::span<const FileProblem> problems = replaced.problems;
  // The skin text changed between the two looks, or could not be read
  // again: nothing was swapped in, and what could not be removed after is
  // still named. The page it was read for is not what failed.
  if (replaced.result == SetResult::kOldKept && !problems.empty() &&
      (unread || problems.front().status == Status::kChanged)) {
    prompt = kBadSkinText;
    const FileProblem& first = problems.front();
    detail = first.status == Status::kChanged ? kChangedWhileRead : Why(first.status, first.reason);
    problems = problems.subspan(1);
  }
  switch (replaced.result) {
    case SetResult::kInPlace:
      prompt = kDone;
      break;
    case SetResult::kOldKept:
      break;
    case SetResult::kMixed:
      prompt = kNotRestored;
      for (const std::string& page : replaced.new_pages) line(page, kNewPage);
      break;
    case SetResult::kLockGone:
      line(lock, kInUse);
      break;
    case SetResult::kLinked:
      prompt = kNoFolder;
      break;
  }
  for (const FileProblem& problem : problems) {
    line(problem.path, Why(problem.status, problem.reason));
  }
  Message message = Failure(prompt, detail);
  message.success = replaced.result == SetResult::kInPlace;
  return message;
}

}  // namespace

int frmMain::ConvertSkin() {
  Message message;
  try {
    message = ConvertDropped();
  } catch (const std::exception& e) {
    message = Failure(kUnexpected, ShownText(e.what()));
  }
  platform_.ShowMessage(message);
  return message.success ? 0 : 1;
}

Status frmMain::GetSkinPath(std::string* path, std::string* reason, HostFolder* folder) const {
  std::string why;
  const Status status = platform_.ReadSetting("Kyrlen", "Path", "Path", path, &why);
  if (status == Status::kMissing) return status;
  if (status != Status::kOk) {
    *reason = Why(status, why);
    return Status::kFailed;
  }
  // Anything else would put skins where the host never looks, or make a
  // host folder of its own.
  const PathStyle stored = platform_.SettingPaths();
  const PathStyle style = platform_.Paths();
  // The file system would read such a path only up to the NUL: a different
  // folder from the one stored.
  if (path->find('\0') != std::string::npos) {
    *reason = kHostHasNul;
    return Status::kFailed;
  }
  if (!IsAbsolutePath(*path, stored)) {
    *reason = kHostNotAbsolute;
    return Status::kFailed;
  }
  // As the host reads it: a Windows path by Windows' rules.
  std::string host_path = *path;
  if (stored == PathStyle::kWindows) {
    WindowsPathReading read = ReadWindowsPath(*path);
    if (read.refused) {
      *reason = NameHostCannotOpen(read.name);
      return Status::kFailed;
    }
    host_path = std::move(read.path);
  }
  std::string here;
  if (const Status found = platform_.SettingPathHere(host_path, &here, &why);
      found != Status::kOk) {
    *reason = Why(found, why);
    return Status::kFailed;
  }
  // The path of the host's program, or of its folder.
  const bool names_folder = platform_.KindOf(here) == FileKind::kFolder;
  folder->path = names_folder ? JoinPath(here, "", style) : GetParentPath(here, style);
  if (!names_folder && platform_.KindOf(folder->path) != FileKind::kFolder) {
    *reason = kHostFolderMissing;
    return Status::kFailed;
  }
  if (stored == PathStyle::kWindows) {
    folder->shown = OrdinaryWindowsPath(names_folder ? JoinPath(host_path, "", stored)
                                                     : GetParentPath(host_path, stored));
  } else {
    // Wine shows the host a Unix path on its drive Z:.
    folder->shown = "Z:" + folder->path;
    std::replace(folder->shown.begin(), folder->shown.end(), '/', '\\');
  }
  // The host opens its pages with the ANSI API.
  *reason = CodePageLacks(platform_, folder->shown);
  return reason->empty() ? Status::kOk : Status::kFailed;
}

Message frmMain::ConvertDropped() {
  const std::vector<std::string> items = DroppedItems(
      platform_.ReadCommandLine(),
      [this](const std::string& path) { return platform_.KindOf(path) != FileKind::kMissing; });
  if (items.empty()) return Failure(kNothingDropped);
  std::vector<FileKind> kinds;
  for (const std::string& item : items) kinds.push_back(platform_.KindOf(item));
  // A folder is packed where it is: only skin texts need the host, and
  // without it each says so.
  std::string host_path;
  HostFolder host;
  Message no_host;
  const auto folders = std::count(kinds.begin(), kinds.end(), FileKind::kFolder);
  if (folders < std::ssize(kinds)) {
    std::string reason;
    const Status found = GetSkinPath(&host_path, &reason, &host);
    if (found != Status::kOk) {
      // What is stored, or where it could not be read.
      no_host = found == Status::kMissing
                    ? Failure(kNoHost)
                    : Failure(kNoHost,
                              PathAndWhy(host_path.empty() ? platform_.SettingSource() : host_path,
                                         reason));
      if (folders == 0) return no_host;
      host = {};
    }
  }
  if (items.size() == 1) return ConvertItem(items.front(), kinds.front(), host);

  const PathStyle style = platform_.Paths();
  std::vector<Message> messages;
  // The skin folders this drop converted into, by the long names Windows
  // tells apart, and their items: a later item reaching the same folder
  // would replace one.
  std::vector<std::pair<std::string, std::size_t>> converted;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const bool text = kinds[i] != FileKind::kFolder;
    std::string skin = text ? SkinNameOf(GetFileName(platform_.LongName(items[i]), style)) : "";
    if (text && !host.path.empty() && IsUsableSkinName(skin, platform_)) {
      skin = GetFileName(platform_.LongName(SkinFolderOf(host, skin, style)), style);
    }
    skin = WindowsUpperCase(skin);
    const auto earlier = std::find_if(converted.begin(), converted.end(),
                                      [&skin](const auto& done) { return done.first == skin; });
    Message message = text && host.path.empty() ? no_host
                      : text && earlier != converted.end()
                          ? Failure(kSameSkinTwice, ShownText(items[earlier->second]))
                          : ConvertItem(items[i], kinds[i], host);
    if (text && message.success) converted.emplace_back(skin, i);
    message.prompt = ShownText(GetFileName(WithoutTrailingSeparators(items[i], style), style)) +
                     "\n" + message.prompt;
    messages.push_back(std::move(message));
  }
  return Summary(messages);
}

Message frmMain::ConvertItem(const std::string& path, FileKind kind, const HostFolder& host) {
  try {
    return kind == FileKind::kFolder ? Pack(path) : Convert(path, kind, host);
  } catch (const std::exception& e) {
    return Failure(kUnexpected, ShownText(e.what()));
  }
}

Message frmMain::Pack(const std::string& folder) {
  const PathStyle style = platform_.Paths();
  // "." or "Blue/..": the text is named after the folder's own name.
  std::string current;
  std::string why;
  if (!IsFullPath(folder, style)) {
    if (const Status found = platform_.CurrentFolder(&current, &why); found != Status::kOk) {
      return Failure(kNotSkinFolder, PathAndWhy(folder, Why(found, why)));
    }
  }
  const std::string path = FullPath(folder, current, style);
  // A short (8.3) name would name the text after itself.
  const std::string name = GetFileName(platform_.LongName(path), style);
  // A drive or the root has no folder beside it to write into.
  if (name.empty() || (style == PathStyle::kWindows && name.ends_with(':'))) {
    return Failure(kNotSkinFolder, ShownText(folder));
  }
  // Its text could not be converted back.
  if (!IsUsableSkinName(name, platform_)) return Unusable(platform_, path, name);
  // One set, old or new: a conversion replacing the pages holds the
  // folder's lock, and one that was stopped left its record. Without a lock
  // file, a conversion that began meanwhile has made one.
  const std::string lock_path = JoinPath(path, kLockFileName, style);
  std::array<std::string, 3> pages;
  for (int attempt = 0;; ++attempt) {
    std::unique_ptr<HeldLock> lock;
    why.clear();  // not the reason a missing lock file gave the first time
    const Status locked =
        platform_.LockFile(path, kLockFileName, LockMode::kShared, Links::kFollow, &lock, &why);
    if (locked != Status::kOk && locked != Status::kMissing) {
      return Failure(kNotSkinFolder, PathAndWhy(lock_path, Why(locked, why)));
    }
    if (platform_.KindOf(JoinPath(path, kRecordFileName, style)) != FileKind::kMissing) {
      return Failure(kNotSkinFolder, PathAndWhy(folder, kInterrupted));
    }
    for (std::size_t part = 0; part < pages.size(); ++part) {
      // In whatever letter case it has, as the host under Wine would find it.
      std::string name_found;
      if (const Status found = platform_.NameInFolder(
              JoinPath(path, "", style), std::string(kPageFiles[part]), &name_found, &why);
          found != Status::kOk) {
        return Failure(kNotSkinFolder,
                       PathAndWhy(JoinPath(path, kPageFiles[part], style), Why(found, why)));
      }
      // Only what is in the folder itself: a link could bring any file of
      // the user's into a text meant to be shared.
      const std::string page = JoinPath(path, name_found, style);
      const Status read = ReadFileBytes(platform_, page, &pages[part], &why);
      if (read != Status::kOk) return Failure(kNotSkinFolder, PathAndWhy(page, Why(read, why)));
    }
    if (locked == Status::kOk || attempt > 0 || platform_.KindOf(lock_path) == FileKind::kMissing) {
      break;
    }
  }
  // The pages are held whole here: pages too large for memory are refused.
  PackedSkin packed;
  try {
    packed = PackSkinText(ToAnsi(name, platform_, Unencodable::kQuestionMark), pages,
                          platform_.AnsiCodePage());
  } catch (const std::bad_alloc&) {
    return Failure(kNotSkinFolder, PathAndWhy(folder, kTooLarge));
  }
  if (!packed.changed.empty()) {
    std::string pages_that_change;
    for (const std::string_view page : packed.changed) {
      pages_that_change.append("\n").append(ShownText(JoinPath(path, page, style)));
    }
    return {std::string(kPackChangesPages) + pages_that_change, false};
  }

  // Beside the folder, and never over anything: the first free name of
  // "Blue.txt", "Blue (2).txt", ...
  const std::string beside = GetParentPath(path, style) + name;
  std::string reason;
  for (int number = 1; number <= kMaxPackedNumber; ++number) {
    const std::string text_path =
        beside + (number == 1 ? "" : " (" + std::to_string(number) + ")") + ".txt";
    const Status written = WriteNewFile(platform_, text_path, packed.text, &reason);
    if (written == Status::kOk) {
      // Its name is durable too, or the user hears why it may not be.
      std::string done = std::string(kDone) + "\n" + ShownText(text_path);
      if (const Status synced = platform_.SyncFolderOf(text_path, &reason); synced != Status::kOk) {
        done.append("\n").append(PathAndWhy(GetParentPath(text_path, style), Why(synced, reason)));
      }
      return {std::move(done), true};
    }
    if (written != Status::kTaken) {
      return Failure(kUnwritten, PathAndWhy(text_path, Why(written, reason)));
    }
  }
  return Failure(kUnwritten, ShownText(beside + ".txt"));
}

Message frmMain::Convert(const std::string& source_path, FileKind kind, const HostFolder& host) {
  // Only a file is a skin text: a pipe or a device is refused before
  // anything is made for it.
  if (kind == FileKind::kOther) return Failure(kBadSkinText, kNeitherFileNorFolder);

  const PathStyle style = platform_.Paths();
  const std::string file_name = GetFileName(platform_.LongName(source_path), style);
  const std::string skin_name = SkinNameOf(file_name);
  if (!IsUsableSkinName(skin_name, platform_)) return Unusable(platform_, file_name, skin_name);
  const std::string skin_path = SkinFolderOf(host, skin_name, style);
  std::string longest;
  platform_.EncodeAnsi(host.shown + "skin\\" + skin_name + "\\" + std::string(kSettingsFile),
                       longest);
  if (longest.size() > kMostAnsiPathBytes) {
    return Failure(kNoFolder,
                   PathAndWhy(skin_path, PathTooLong(longest.size(), kMostAnsiPathBytes)));
  }
  // Windows would take a name that is another folder's short (8.3) one for
  // that folder.
  if (platform_.KindOf(skin_path) == FileKind::kFolder) {
    const std::string long_path = platform_.LongName(skin_path);
    if (!IsSameFileName(GetFileName(long_path, style), skin_name)) {
      return Failure(kUnusableName, PathAndWhy(long_path, kShortNameOfAnother));
    }
  }

  // Looked through before anything is made: a refused text leaves nothing.
  // Its pages are read again as they are written, from the same handle.
  std::string reason;
  std::unique_ptr<FileReader> source;
  bool unread = false;
  SkinLayout layout;
  Status read = ReadTextFile(platform_, source_path, &source, &reason);
  const FileIdentity opened = read == Status::kOk ? source->Identity() : FileIdentity{};
  if (read == Status::kOk) read = ScanSkinText(*source, platform_.AnsiCodePage(), &layout, &reason);
  if (read != Status::kOk) return Failure(kBadSkinText, Why(read, reason));

  const std::string settings =
      ToAnsi(BuildSettingsText(skin_name, platform_.Today(), platform_.DateSeparator()), platform_,
             Unencodable::kQuestionMark);
  const auto page = [&](std::size_t part, bool last) {
    return [&, part, last](FileWriter& file, std::string* why) {
      const Status written =
          WritePage(*source, layout.pages[part], layout.encoding, platform_, file, why, &unread);
      // Changed between the looks, its pages might not be the text's.
      return written == Status::kOk && last && !(source->Identity() == opened) ? Status::kChanged
                                                                               : written;
    };
  };
  const std::array<std::pair<std::string_view, NewFile::Write>, 4> files = {{
      {kPageFiles[0], page(0, false)},
      {kPageFiles[1], page(1, false)},
      {kPageFiles[2], page(2, true)},
      {kSettingsFile, FileOfBytes({}, settings).write},
  }};

  Replaced replaced;
  std::string skin_folder;
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    std::vector<std::string> made_folders;
    if (const Status made = MakeFolders(platform_, host.path, {"skin", skin_name}, &skin_folder,
                                        &reason, &made_folders);
        made != Status::kOk) {
      RemoveMadeFolders(platform_, made_folders);
      return Failure(kNoFolder, PathAndWhy(skin_folder, Why(made, reason)));
    }
    // Each under the name it has, in whatever letter case, as the host
    // under Wine would open it.
    std::vector<NewFile> set;
    for (const auto& [name, write] : files) {
      std::string found;
      if (const Status looked = platform_.NameInFolder(JoinPath(skin_folder, "", style),
                                                       std::string(name), &found, &reason);
          looked != Status::kOk) {
        return Failure(kUnwritten,
                       PathAndWhy(JoinPath(skin_folder, name, style), Why(looked, reason)));
      }
      set.push_back({JoinPath(skin_folder, found, style), write});
    }
    replaced = WriteTextFiles(platform_, skin_folder, set, made_folders);
    if (replaced.result != SetResult::kLockGone) break;
  }
  return Worded(replaced, JoinPath(skin_folder, kLockFileName, style), unread);
}

}  // namespace brellam
