#include "conversion/skin_name.h"

#include <algorithm>
#include <array>

#include "text/ascii.h"

namespace brellam {

namespace {

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
// C1 controls are U+0080-U+009F, "\xC2\x80"-"\xC2\x9F" in UTF-8.
bool HasControlCharacter(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
    const bool c1 = c == 0xC2 && next >= 0x80 && next <= 0x9F;
    if (c < 0x20 || c == 0x7F || c1) return true;
  }
  return false;
}

}  // namespace

std::string SkinNameOf(std::string_view file_name) {
  return std::string(file_name.substr(0, file_name.rfind('.')));
}

bool IsUsableSkinName(std::string_view name, const Platform& platform) {
  if (name.empty() || name == "." || name == "..") return false;
  if (HasControlCharacter(name) || IsRefusedByWindows(name)) return false;
  // Not the look-alikes page text may take: the host would see another name.
  std::string ansi;
  return platform.EncodeAnsi(name, ansi) == name.size();
}

}  // namespace brellam
