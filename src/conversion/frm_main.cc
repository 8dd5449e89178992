#include "conversion/frm_main.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string_view>
#include <utility>

#include "conversion/messages.h"
#include "conversion/settings_text.h"
#include "conversion/skin_name.h"
#include "conversion/skin_text.h"
#include "helpers/folders.h"
#include "helpers/path.h"
#include "helpers/text_file.h"

namespace brellam {

namespace {

Message Failure(std::string_view prompt, std::string_view detail = {}) {
  std::string text(prompt);
  if (!detail.empty()) text.append("\n").append(detail);
  return {std::move(text), false};
}

std::string WithoutQuotes(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return text;
}

}  // namespace

int frmMain::ConvertSkin() {
  Message message;
  try {
    message = Convert();
  } catch (const FolderError& e) {
    message = Failure(kNoFolder, e.path() + "\n" + e.reason());
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

Message frmMain::Convert() {
  // Several dropped files arrive as one text; it then names no file and
  // reading it fails below.
  const std::string source_path = WithoutQuotes(platform_.ArgumentText());
  if (source_path.empty()) return Failure(kNothingDropped);

  const PathStyle style = platform_.Paths();
  const std::string file_name = GetFileName(source_path, style);
  const std::string skin_name = SkinNameOf(file_name);
  const std::string host_path = GetSkinPath();
  if (host_path.empty()) return Failure(kNoHost);
  if (!IsUsableSkinName(skin_name, style)) return Failure(kUnusableName, file_name);

  const std::string skin_folder =
      GetParentPath(host_path, style) + "skin" + Separator(style) + skin_name;
  MakeFolders(platform_, skin_folder);

  std::string skin_text = ReadTextFile(platform_, source_path);
  if (skin_text.empty()) return Failure(kBadSkinText);
  const SkinPages pages = SplitSkinText(std::move(skin_text), platform_.AnsiCodePage());
  const std::string settings =
      platform_.ToAnsi(BuildSettingsText(skin_name, platform_.Today(), platform_.DateSeparator()));

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
