// The skin's name, taken from the name of the dropped file.
#ifndef BRELLAM_CONVERSION_SKIN_NAME_H_
#define BRELLAM_CONVERSION_SKIN_NAME_H_

#include <string>
#include <string_view>

#include "helpers/path.h"

namespace brellam {

// The file name cut just before its last "."; the whole name when it has none.
std::string SkinNameOf(std::string_view file_name);

// Whether the name can stand as one folder inside the skin folder and as
// the title line of its settings: not empty, not "." or "..", no control
// character, and on Windows none of the names the file system refuses or
// reads as something else (a device, a subfolder, another name).
bool IsUsableSkinName(std::string_view name, PathStyle style);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_SKIN_NAME_H_
