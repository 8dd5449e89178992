// The skin settings file, "setting.skn".
#ifndef BRELLAM_CONVERSION_SETTINGS_TEXT_H_
#define BRELLAM_CONVERSION_SETTINGS_TEXT_H_

#include <string>
#include <string_view>

#include "platform/local_date.h"

namespace brellam {

// Six lines, each ending in CR LF, in Unicode (UTF-8): the caller converts
// them to the code page the file is written in.
std::string BuildSettingsText(std::string_view skin_name, LocalDate date,
                              std::string_view date_separator);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SETTINGS_TEXT_H_
