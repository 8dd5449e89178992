// The prompts of the run's one message box.
#ifndef BRELLAM_CONVERSION_MESSAGES_H_
#define BRELLAM_CONVERSION_MESSAGES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace brellam {

inline constexpr std::string_view kNothingDropped = "なにもD&Dされてないがな";
// Followed, when a path is stored, by that path and the reason.
inline constexpr std::string_view kNoHost = "Kyrlenが無いみたいな気がする";
inline constexpr std::string_view kBadSkinText = "スキンファイルが不正な気がする";
inline constexpr std::string_view kDone = "たぶん正常に終了";

// Followed by the file name, or by the folder the name would reach and why.
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
  return "Kyrlen が開けない名前「" + std::string(name) + "」がある";
}
// `character` as shown, e.g. "U+00EB".
inline std::string NotInCodePage(int code_page, std::string_view character) {
  return "コードページ " + std::to_string(code_page) + " にない文字 " + std::string(character);
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
inline constexpr std::string_view kIsLink = "リンクなので、その先には書き込まない";
inline constexpr std::string_view kNotOurRecord = "brellam が残した記録として読めない";
inline constexpr std::string_view kInterrupted =
    "途中で止まった変換の後始末が済んでいない（このスキンをもう一度変換すると済む）";
inline std::string_view StatusReason(Status status) {
  switch (status) {
    case Status::kBusy:
      return kInUse;
    case Status::kLinked:
      return kIsLink;
    case Status::kNotFile:
      return kNotOurRecord;
    default:
      return {};
  }
}

// Followed by the reason.
inline constexpr std::string_view kUnexpected = "予期しないエラーで止まった気がする";

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_MESSAGES_H_
