#include "conversion/frm_main.h"

#include <array>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion/dropped_items.h"
#include "conversion/messages.h"
#include "conversion/settings_text.h"
#include "conversion/skin_name.h"
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

// The pages as the host reads them, in the ANSI code page: the pages of a
// skin text in UTF-8 or UTF-16 are split on its own characters, then encoded.
SkinPages PagesInAnsi(DecodedText skin_text, const Platform& platform) {
  if (skin_text.encoding == TextEncoding::kAnsi) {
    return SplitSkinText(std::move(skin_text.text), platform.AnsiCodePage());
  }
  // Page names are ASCII, which UTF-8 never uses inside a longer character:
  // every byte of a name starts a character.
  const SkinPages unicode = SplitSkinText(std::move(skin_text.text), SingleByteCodePage());
  SkinPages pages;
  pages.text.reserve(unicode.text.size());
  for (const auto& [from, to] :
       {std::pair{unicode.header, &pages.header}, std::pair{unicode.new_res, &pages.new_res},
        std::pair{unicode.res, &pages.res}}) {
    to->begin = pages.text.size();
    AppendAnsi(unicode.Page(from), platform, Unencodable::kReference, pages.text);
    to->end = pages.text.size();
  }
  return pages;
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
  try {
    return platform_.ReadSetting("Kyrlen", "Path", "Path");
  } catch (const std::exception&) {
    return {};
  }
}

Message frmMain::ConvertDropped() {
  const std::vector<std::string> items = DroppedItems(
      platform_.ReadCommandLine(),
      [this](const std::string& path) { return platform_.KindOf(path) != FileKind::kMissing; });
  if (items.empty()) return Failure(kNothingDropped);
  const std::string host_path = GetSkinPath();
  if (host_path.empty()) return Failure(kNoHost);
  if (items.size() == 1) return ConvertItem(items.front(), host_path);

  // One box for all: each item's name, then its own message.
  const PathStyle style = platform_.Paths();
  Message all{{}, true};
  for (const std::string& item : items) {
    const Message message = ConvertItem(item, host_path);
    std::string_view name = item;
    while (name.size() > 1 && IsSeparator(name.back(), style)) name.remove_suffix(1);
    if (!all.prompt.empty()) all.prompt += "\n\n";
    all.prompt += GetFileName(name, style) + "\n" + message.prompt;
    all.success = all.success && message.success;
  }
  return all;
}

Message frmMain::ConvertItem(const std::string& source_path, const std::string& host_path) {
  try {
    return Convert(source_path, host_path);
  } catch (const FolderError& e) {
    return Failure(kNoFolder, e.path() + "\n" + e.reason());
  } catch (const std::exception& e) {
    return Failure(kUnexpected, e.what());
  }
}

Message frmMain::Convert(const std::string& source_path, const std::string& host_path) {
  // Only a file is a skin text: a folder, a pipe or a device is refused
  // before anything is made for it.
  const FileKind kind = platform_.KindOf(source_path);
  if (kind == FileKind::kFolder || kind == FileKind::kOther) return Failure(kBadSkinText);

  const PathStyle style = platform_.Paths();
  const std::string file_name = GetFileName(source_path, style);
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
