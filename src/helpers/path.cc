#include "helpers/path.h"

namespace brellam {

namespace {

// Index just past the last separator, or 0 when there is none.
std::size_t AfterLastSeparator(std::string_view path, PathStyle style) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1], style)) return i;
  }
  return 0;
}

}  // namespace

std::string GetFileName(std::string_view path, PathStyle style) {
  return std::string(path.substr(AfterLastSeparator(path, style)));
}

std::string GetParentPath(std::string_view path, PathStyle style) {
  return std::string(path.substr(0, AfterLastSeparator(path, style)));
}

}  // namespace brellam
