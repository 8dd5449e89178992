// How the system the program runs on writes paths.
#ifndef BRELLAM_TEXT_PATH_STYLE_H_
#define BRELLAM_TEXT_PATH_STYLE_H_

namespace brellam {

// POSIX paths separate with "/" only; Windows paths take "\" and "/" alike,
// and a path that begins with two separators is a network (UNC) path.
enum class PathStyle { kPosix, kWindows };

inline bool IsSeparator(char c, PathStyle style) {
  return c == '/' || (style == PathStyle::kWindows && c == '\\');
}

inline char Separator(PathStyle style) { return style == PathStyle::kWindows ? '\\' : '/'; }

}  // namespace brellam

#endif  // BRELLAM_TEXT_PATH_STYLE_H_
