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
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
  if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) return true;
  if (!upper.starts_with("COM") && !upper.starts_with("LPT")) return false;
  // A digit, or a superscript one, two or three (in UTF-8).
  const std::string_view number = std::string_view(upper).substr(3);
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\u00B9" ||
         number == "\u00B2" || number == "\u00B3";
}

bool IsRefusedByWindows(std::string_view name) {
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  const bool bad_char = name.find_first_of(kForbidden) != std::string_view::npos;
  // Windows drops dots and blanks at the end of a name: "Blue." and
  // "Blue " would be another skin's folder "Blue".
  const bool dropped_end = name.back() == '.' || name.back() == ' ';
  return bad_char || dropped_end || IsReservedDeviceName(name);
}

// A line break in the name would start another line of setting.skn.
bool HasControlCharacter(std::string_view name) {
  return std::any_of(name.begin(), name.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

std::string SkinNameOf(std::string_view file_name) {
  return std::string(file_name.substr(0, file_name.rfind('.')));
}

bool IsUsableSkinName(std::string_view name, PathStyle style) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.find('/') != std::string_view::npos || HasControlCharacter(name)) return false;
  return style == PathStyle::kPosix || !IsRefusedByWindows(name);
}

}  // namespace brellam
