#include "conversion/settings_text.h"

#include <cstdio>

namespace brellam {

namespace {

std::string ZeroPadded(int value, int width) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%0*d", width, value);
  return digits;
}

}  // namespace

std::string BuildSettingsText(std::string_view skin_name, LocalDate date,
                              std::string_view date_separator) {
  std::string text;
  text.append("#Title=").append(skin_name).append("\r\n");
  text.append("#Creator=ブレラム\r\n");
  text.append("#Date=")
      .append(ZeroPadded(date.year, 4))
      .append(date_separator)
      .append(ZeroPadded(date.month, 2))
      .append(date_separator)
      .append(ZeroPadded(date.day, 2))
      .append("\r\n");
  text.append("#Comment=このスキンはブレラムによって生成されました\r\n");
  text.append("#NameTagDelete=0\r\n");
  text.append("#MessageTabDelete=0\r\n");
  return text;
}

}  // namespace brellam
