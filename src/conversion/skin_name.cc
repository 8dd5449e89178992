#include "conversion/skin_name.h"

#include <algorithm>
#include <array>

namespace brellam {

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsReservedDeviceName(std::string_view name) {
  // Windows takes these as devices whatever follows the first dot, and
  // ignores blanks at the end of the part before it.
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  std::string upper(base);
  std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

bool IsRefusedByWindows(std::string_view name) {
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  const bool bad_char = std::any_of(name.begin(), name.end(), [&](char c) {
    return static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos;
  });
  const bool dots_and_blanks = name.find_first_not_of(". ") == std::string_view::npos;
  return bad_char || dots_and_blanks || IsReservedDeviceName(name);
}

}  // namespace

std::string SkinNameOf(std::string_view file_name) {
  return std::string(file_name.substr(0, file_name.rfind('.')));
}

bool IsUsableSkinName(std::string_view name, PathStyle style) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.find('/') != std::string_view::npos) return false;
  return style == PathStyle::kPosix || !IsRefusedByWindows(name);
}

}  // namespace brellam
