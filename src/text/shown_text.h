// Outside text (a dropped name, a path, a stored setting) made safe to show.
#ifndef BRELLAM_TEXT_SHOWN_TEXT_H_
#define BRELLAM_TEXT_SHOWN_TEXT_H_

#include <string>
#include <string_view>

namespace brellam {

// The UTF-8 text with every control character (C0, DEL, C1), the line and
// paragraph separators (U+2028, U+2029) and every byte
// that is no UTF-8 written as "\xHH", one per byte: a name can neither
// break its line of a message nor drive the terminal that shows it.
std::string ShownText(std::string_view utf8);

}  // namespace brellam

#endif  // BRELLAM_TEXT_SHOWN_TEXT_H_
