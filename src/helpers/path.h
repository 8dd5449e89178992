// Path-name helpers. Pure: they only look at the text.
#ifndef BRELLAM_HELPERS_PATH_H_
#define BRELLAM_HELPERS_PATH_H_

#include <string>
#include <string_view>

#include "platform/path_style.h"

namespace brellam {

// The part after the last separator; empty when the path ends with one.
std::string GetFileName(std::string_view path, PathStyle style);

// The part up to and including the last separator; empty when there is none.
std::string GetParentPath(std::string_view path, PathStyle style);

}  // namespace brellam

#endif  // BRELLAM_HELPERS_PATH_H_
