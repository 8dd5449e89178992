// The skin's name, taken from the name of the dropped file.
#ifndef BRELLAM_CONVERSION_SKIN_NAME_H_
#define BRELLAM_CONVERSION_SKIN_NAME_H_

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace brellam {

// The file name cut just before its last "."; the whole name when it has none.
std::string SkinNameOf(std::string_view file_name);

// Whether the name can stand as one folder inside the skin folder and as
// the title line of its settings: not empty, not "." or "..", no control
// character, none of the names Windows refuses or reads as something else
// (a device, a subfolder, another name) on either platform, since the host
// runs on Windows or under Wine, and every character one the ANSI code page
// holds as itself, since the host reads names in it.
bool IsUsableSkinName(std::string_view name, const Platform& platform);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_NAME_H_
