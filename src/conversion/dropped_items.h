// What was dropped on the program: one file or folder, or several.
#ifndef BRELLAM_CONVERSION_DROPPED_ITEMS_H_
#define BRELLAM_CONVERSION_DROPPED_ITEMS_H_

#include <functional>
#include <string>
#include <vector>

#include "text/command_line.h"

namespace brellam {

// The dropped paths, in the order given; none when nothing was dropped.
// One path when a single argument names an existing file as given (a
// double quote is a legal character of a POSIX file name), when the whole
// text with its double quotes removed names one (a path with blanks that
// arrived without quotes), or when there is only one argument; else each
// argument is one path.
std::vector<std::string> DroppedItems(const CommandLine& command_line,
                                      const std::function<bool(const std::string&)>& exists);

}  // namespace brellam

#endif  // BRELLAM_CONVERSION_DROPPED_ITEMS_H_
