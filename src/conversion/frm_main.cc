#include "conversion/frm_main.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/dropped_items.h"
#include "conversion/messages.h"
#include "conversion/settings_text.h"
#include "conversion/skin_name.h"
#include "conversion/skin_pack.h"
#include "conversion/skin_pages.h"
#include "conversion/skin_text.h"
#include "helpers/folders.h"
#include "helpers/path.h"
#include "helpers/text_encoding.h"
#include "helpers/text_file.h"

namespace brellam {

namespace {

Message Failure(std::string_view prompt, std::string_view detail = {}) {
  std::string text(prompt);
  if (!detail.empty()) text.append("\n").append(detail);
  return {std::move(text), false};
}

// However many runs pack the same folder, each finds a name of its own.
constexpr int kMaxPackedNumber = 9999;

std::string_view WithoutTrailingSeparators(std::string_view path, PathStyle style) {
  while (path.size() > 1 && IsSeparator(path.back(), style)) path.remove_suffix(1);
  return path;
}

}  // namespace

int frmMain::ConvertSkin() {
  Message message;
  try {
    message = ConvertDropped();
  } catch (const std::exception& e) {
    message = Failure(kUnexpected, e.what());
  }
  platform_.ShowMessage(message);
  return message.success ? 0 : 1;
}

std::string frmMain::GetSkinPath() const {
  std::string path;
  std::string reason;
  if (platform_.ReadSetting("Kyrlen", "Path", "Path", &path, &reason) != Status::kOk) return {};
  return path;
}

Message frmMain::ConvertDropped() {
  const std::vector<std::string> items = DroppedItems(
      platform_.ReadCommandLine(),
      [this](const std::string& path) { return platform_.KindOf(path) != FileKind::kMissing; });
  if (items.empty()) return Failure(kNothingDropped);
  std::vector<FileKind> kinds;
  for (const std::string& item : items) kinds.push_back(platform_.KindOf(item));
  // A folder is packed where it is: only skin texts need the host.
  std::string host_path;
  if (std::count(kinds.begin(), kinds.end(), FileKind::kFolder) < std::ssize(kinds)) {
    host_path = GetSkinPath();
    if (host_path.empty()) return Failure(kNoHost);
  }
  if (items.size() == 1) return ConvertItem(items.front(), kinds.front(), host_path);

  // One box for all: each item's name, then its own message.
  const PathStyle style = platform_.Paths();
  Message all{{}, true};
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Message message = ConvertItem(items[i], kinds[i], host_path);
    if (!all.prompt.empty()) all.prompt += "\n\n";
    all.prompt +=
        GetFileName(WithoutTrailingSeparators(items[i], style), style) + "\n" + message.prompt;
    all.success = all.success && message.success;
  }
  return all;
}

Message frmMain::ConvertItem(const std::string& path, FileKind kind, const std::string& host_path) {
  try {
    return kind == FileKind::kFolder ? Pack(path) : Convert(path, kind, host_path);
  } catch (const FolderError& e) {
    return Failure(kNoFolder, e.path() + "\n" + e.reason());
  } catch (const std::exception& e) {
    return Failure(kUnexpected, e.what());
  }
}

Message frmMain::Pack(const std::string& folder) {
  const PathStyle style = platform_.Paths();
  const std::string_view path = WithoutTrailingSeparators(folder, style);
  const std::string name = GetFileName(platform_.LongName(std::string(path)), style);
  // A drive or the root has no folder beside it to write into.
  if (name.empty() || (style == PathStyle::kWindows && name.ends_with(':'))) {
    return Failure(kNotSkinFolder, folder);
  }
  std::array<std::string, 3> pages;
  for (std::size_t part = 0; part < pages.size(); ++part) {
    const std::string page = std::string(path) + Separator(style) + std::string(kPageFiles[part]);
    if (platform_.KindOf(page) != FileKind::kFile) return Failure(kNotSkinFolder, folder);
    if (ReadFileBytes(platform_, page, pages[part]) < 0) return Failure(kBadSkinText, page);
  }
  const PackedSkin packed = PackSkinText(ToAnsi(name, platform_, Unencodable::kQuestionMark), pages,
                                         platform_.AnsiCodePage());
  if (!packed.changed.empty()) {
    std::string pages_that_change;
    for (const std::string_view page : packed.changed) {
      pages_that_change.append("\n").append(path).append(1, Separator(style)).append(page);
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
    const Status written = platform_.WriteNewFile(text_path, packed.text, &reason);
    if (written == Status::kOk) return {std::string(kDone) + "\n" + text_path, true};
    if (written != Status::kTaken) return Failure(kUnwritten, text_path);
  }
  return Failure(kUnwritten, beside + ".txt");
}

Message frmMain::Convert(const std::string& source_path, FileKind kind,
                         const std::string& host_path) {
  // Only a file is a skin text: a pipe or a device is refused before
  // anything is made for it.
  if (kind == FileKind::kOther) return Failure(kBadSkinText);

  const PathStyle style = platform_.Paths();
  const std::string file_name = GetFileName(platform_.LongName(source_path), style);
  const std::string skin_name = SkinNameOf(file_name);
  if (!IsUsableSkinName(skin_name, style)) return Failure(kUnusableName, file_name);

  const std::string skin_folder =
      GetParentPath(host_path, style) + "skin" + Separator(style) + skin_name;
  MakeFolders(platform_, skin_folder);

  DecodedText skin_text = DecodeText(ReadTextFile(platform_, source_path));
  if (skin_text.text.empty()) return Failure(kBadSkinText, skin_text.error);
  const SkinPages pages = PagesInAnsi(std::move(skin_text), platform_);
  const std::string settings =
      ToAnsi(BuildSettingsText(skin_name, platform_.Today(), platform_.DateSeparator()), platform_,
             Unencodable::kQuestionMark);

  const std::array<std::pair<std::string_view, std::string_view>, 4> files = {{
      {"Header.htm", pages.Header()},
      {"NewRes.htm", pages.NewRes()},
      {"Res.htm", pages.Res()},
      {"setting.skn", settings},
  }};
  std::string unwritten;
  for (const auto& [name, text] : files) {
    const std::string path = skin_folder + Separator(style) + std::string(name);
    if (!WriteTextFile(platform_, path, text)) unwritten.append("\n").append(path);
  }
  if (!unwritten.empty()) return {std::string(kUnwritten) + unwritten, false};
  return {std::string(kDone), true};
}

}  // namespace brellam
