// Every word the run's one message box shows: its prompts, and the
// reasons under them, which the layers below answer as a Status and the
// system's own text. Every outside text goes through ShownText here.
#ifndef BRELLAM_CONVERSION_MESSAGES_H_
#define BRELLAM_CONVERSION_MESSAGES_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "text/character_kinds.h"
#include "text/shown_text.h"
#include "text/utf8.h"

namespace brellam {

inline constexpr std::string_view kNothingDropped = "なにもD&Dされてないがな";
// Alone when nothing is stored; else followed by what is stored, or by the
// file (or registry key) that could not be read, and the reason.
inline constexpr std::string_view kNoHost = "Kyrlenが無いみたいな気がする";
inline constexpr std::string_view kBadSkinText = "スキンファイルが不正な気がする";
inline constexpr std::string_view kDone = "たぶん正常に終了";

// Followed by the file name, and a character the code page lacks, or by
// the folder the name would reach and why.
inline constexpr std::string_view kUnusableName = "ファイル名がスキン名に使えない気がする";
// Windows would take the name for that folder's long one.
inline constexpr std::string_view kShortNameOfAnother =
    "スキン名が別のフォルダの短い名前（8.3 形式）になっている";
// Followed by one line per file. Nothing changed: the old skin is whole.
inline constexpr std::string_view kUnwritten = "書き込めなかったファイルがある気がする";
// Followed by each page that is new, with kNewPage under it, and each
// file that could not be put back or removed, with the reason.
inline constexpr std::string_view kNotRestored = "古いスキンに戻せなかった気がする";
inline constexpr std::string_view kNewPage = "新しいページ";
// Followed by the folder and the system's reason.
inline constexpr std::string_view kNoFolder = "フォルダを作れなかった気がする";
// Why the host could not open a page: its path is longer than an ANSI
// program's buffer holds.
inline std::string PathTooLong(std::size_t bytes, std::size_t most) {
  return "パスが " + std::to_string(bytes) + " バイト（上限 " + std::to_string(most) + " バイト）";
}
// Followed by the folder, or by a page that is no file of its own and why.
inline constexpr std::string_view kNotSkinFolder = "スキンのフォルダではない気がする";
// Followed by one line per page file.
inline constexpr std::string_view kPackChangesPages = "まとめるとページが変わる気がする";
// Followed by the earlier item's path.
inline constexpr std::string_view kSameSkinTwice = "同じドロップに同じ名前のスキンがある気がする";
// The last lines of a summary too long to show each item.
inline std::string MoreFailures(std::size_t count) {
  return "ほかに失敗が " + std::to_string(count) + " 個";
}
inline std::string OthersDone(std::size_t count) {
  return "ほかの " + std::to_string(count) + " 個はたぶん正常に終了";
}
// Why a stored host path is not used.
inline constexpr std::string_view kHostHasNul = "パスに NUL 文字が入っている";
inline constexpr std::string_view kHostNotAbsolute = "絶対パスではない";
inline constexpr std::string_view kHostFolderMissing = "そのフォルダが無い";
// `name` as shown: one the host would not open by, as Windows reads its path.
inline std::string NameHostCannotOpen(std::string_view name) {
  return "Kyrlen が開けない名前「" + ShownText(name) + "」がある";
}
// `rest` starts with the first character the host's ANSI code page lacks,
// or with bytes that are no UTF-8: "U+3099", and the character itself
// where it shows alone ("U+00EB「ë」").
inline std::string NotInCodePage(int code_page, std::string_view rest) {
  const Utf8Character c = Utf8At(rest, 0);
  std::string character = ShownText(rest.substr(0, c.size));
  if (c.well_formed) {
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(c.code_point));
    character = StandsAlone(c.code_point) ? number + ("「" + character + "」") : number;
  }
  return "コードページ " + std::to_string(code_page) + " にない文字 " + character;
}

// Why a skin text's bytes are refused; `offset` counts from 0.
inline std::string AtByte(std::uint64_t offset) {
  return "（先頭から " + std::to_string(offset + 1) + " バイト目）";
}
inline std::string Utf16OddSize(std::uint64_t size) {
  return "UTF-16 なのにバイト数が奇数（" + std::to_string(size) + " バイト）";
}
inline std::string Utf16UnpairedSurrogate(std::uint64_t offset) {
  return "UTF-16 の対になっていないサロゲート" + AtByte(offset);
}
inline std::string IllFormedUtf8(std::uint64_t offset) {
  return "UTF-8 として正しくないバイト" + AtByte(offset);
}
inline constexpr std::string_view kEmptyFile = "0 バイト";
inline constexpr std::string_view kNoContent = "中身が無い";
inline constexpr std::string_view kNeitherFileNorFolder = "ファイルでもフォルダでもない";

// Why, where the system gave no reason of its own.
inline constexpr std::string_view kInUse = "ほかのプログラムが使っている";
inline constexpr std::string_view kChangedWhileRead = "読んでいる間にほかのプログラムが書き換えた";
inline constexpr std::string_view kIsLink = "リンクなので、その先には書き込まない";
inline constexpr std::string_view kNotOurRecord = "brellam が残した記録として読めない";
inline constexpr std::string_view kInterrupted =
    "途中で止まった変換の後始末が済んでいない（このスキンをもう一度変換すると済む）";
inline constexpr std::string_view kNotRegularFile = "通常のファイルではない";
inline constexpr std::string_view kTooLarge = "大きすぎてメモリに入らない";
inline constexpr std::string_view kUtf16Settings =
    "UTF-16 で書かれている（UTF-8 で保存すると読める）";
inline constexpr std::string_view kNotOnADrive = "ドライブ名から始まる絶対パスではない";

// The line under a file's path: why, for a status and the `reason` that
// came with it (see Status), the system's own reason as it gave it.
inline std::string Why(Status status, std::string_view reason) {
  switch (status) {
    case Status::kCaseTwins: {
      std::string names;
      for (std::size_t at = 0; at < reason.size();) {
        const std::size_t end = std::min(reason.find('\0', at), reason.size());
        names += "「" + ShownText(reason.substr(at, end - at)) + "」";
        at = end + 1;
      }
      return names + ": 大文字小文字だけが違う名前（Windows では同じ名前）";
    }
    case Status::kNotString:
      return "文字列ではない値（" + ShownText(reason) + "）";
    case Status::kNoSuchDrive:
      return "Wine にドライブ " + ShownText(reason) + " が無い";
    default:
      break;
  }
  if (!reason.empty()) return ShownText(reason);
  switch (status) {
    case Status::kMissing:
      return "見つからない";
    case Status::kTaken:
      return "同じ名前のものがすでにある";
    case Status::kNotFile:
      return std::string(kNotRegularFile);
    case Status::kBusy:
      return std::string(kInUse);
    case Status::kLinked:
      return std::string(kIsLink);
    case Status::kNoLinks:
      return "リンクを作れない";
    case Status::kTooLarge:
      return std::string(kTooLarge);
    case Status::kForeign:
      return std::string(kNotOurRecord);
    case Status::kUtf16:
      return std::string(kUtf16Settings);
    case Status::kNotOnADrive:
      return std::string(kNotOnADrive);
    default:
      return {};
  }
}

// Followed by the reason.
inline constexpr std::string_view kUnexpected = "予期しないエラーで止まった気がする";

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_MESSAGES_H_
